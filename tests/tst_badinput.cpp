// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <climits>
#include <numeric>

// Bad input in the two number fields, given with every command in every run
// state: the program must neither crash nor hang, and reads what it can.
// The texts are set directly, past the fields' validators, as a paste or a
// validator in another locale could leave them; what typing makes of them
// is checked apart.

namespace {

enum class State { Fresh, Sorting, Sweeping, Finished, Reshuffling, ReshufflingStartPending };
enum class Command { StartButton, ReturnKey, ResetButton };

const QList<std::pair<State, const char *>> states = {
    {State::Fresh, "Fresh"},
    {State::Sorting, "Sorting"},
    {State::Sweeping, "Sweeping"},
    {State::Finished, "Finished"},
    {State::Reshuffling, "Reshuffling"},
    {State::ReshufflingStartPending, "Reshuffling, start pending"},
};
const QList<std::pair<Command, const char *>> commands = {
    {Command::StartButton, "Trier"},
    {Command::ReturnKey, "Return"},
    {Command::ResetButton, "Réinitialiser"},
};

const int startBars = 12;
// Counts up to this are run to the end of the reshuffle, the sort and the
// sweep; larger ones only begin their reshuffle (see hugeCount).
const int finishLimit = 1000;
const int tickLimit = 10000000;

void finishSort(MainWindow &window)
{
    for (int i = 0; i < tickLimit && window.sortTimer->isActive(); ++i)
        window.QuickSortStep();
}

void finishSweep(MainWindow &window)
{
    for (int i = 0; i < tickLimit && window.finishTimer->isActive(); ++i)
        window.playSmoothEndSound();
}

void finishShuffle(MainWindow &window)
{
    for (int i = 0; i < tickLimit && window.shuffling; ++i)
        window.animateRandomization();
}

// Brings a window of 12 bars, sorted by Quick Sort without delay, into a
// run state.
void enter(MainWindow &window, State state)
{
    window.ui->delayLineEdit->setText("0");
    if (state == State::Fresh)
        return;
    window.startSorting();
    if (state == State::Sorting)
        return;
    finishSort(window);
    if (state == State::Sweeping)
        return;
    finishSweep(window);
    if (state == State::Finished)
        return;
    if (state == State::Reshuffling)
        window.reset();
    else
        window.startSorting();
}

void give(MainWindow &window, Command command)
{
    switch (command) {
    case Command::StartButton:
        window.ui->startSortingButton->click();
        break;
    case Command::ReturnKey:
        // As after typing: the field passes the key on to the window.
        QTest::keyClick(window.ui->delayLineEdit, Qt::Key_Return);
        break;
    case Command::ResetButton:
        window.ui->resetButton->click();
        break;
    }
}

bool lower(const QGraphicsRectItem *a, const QGraphicsRectItem *b)
{
    return a->rect().height() < b->rect().height();
}

bool isOneToN(QList<int> values, int n)
{
    QList<int> expected(n);
    std::iota(expected.begin(), expected.end(), 1);
    std::sort(values.begin(), values.end());
    return values == expected;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void inEveryState_data();
    void inEveryState();
    void typing_data();
    void typing();
    void smallCountsWithEveryAlgorithm_data();
    void smallCountsWithEveryAlgorithm();
    void hugeCount();

private:
    // Holds the audio library's device open from window to window: it would
    // otherwise open and close it, threads and all, for each of the hundreds
    // of windows made here.
    sf::SoundBuffer keepAudioOpen;
};

void TestBadInput::initTestCase()
{
    // The validators follow the default locale; the number parsing of the
    // program always reads the C locale.
    QLocale::setDefault(QLocale::c());
}

void TestBadInput::inEveryState_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("count");         // itemCount read from the count field
    QTest::addColumn<int>("bars");            // bars of the new row
    QTest::addColumn<QString>("countShown");  // the count field after the read
    QTest::addColumn<int>("interval");        // sortTimer interval from the delay field, ms
    QTest::addColumn<QString>("afterReturn"); // the delay field after Return in it
    QTest::addColumn<int>("returnInterval");  // sortTimer interval after that Return, ms

    const float most = MainWindow::maxItemCount;
    const QString nines(10000, '9');
    const QString letters(10000, 'x');
    QTest::newRow("empty") << "" << 0.0f << 0 << "" << 0 << "" << 0;
    QTest::newRow("minus") << "-" << 0.0f << 0 << "-" << 0 << "-" << 0;
    QTest::newRow("abc") << "abc" << 0.0f << 0 << "abc" << 0 << "abc" << 0;
    QTest::newRow("-5") << "-5" << 0.0f << 0 << "-5" << 0 << "-5" << 0;
    QTest::newRow("0") << "0" << 0.0f << 0 << "0" << 0 << "0" << 0;
    QTest::newRow("1") << "1" << 1.0f << 1 << "1" << 1 << "1" << 1;
    QTest::newRow("2") << "2" << 2.0f << 2 << "2" << 2 << "2" << 2;
    QTest::newRow("12.5") << "12.5" << 12.5f << 13 << "12.5" << 12 << "12.5" << 12;
    QTest::newRow("60") << "60" << 60.0f << 60 << "60" << 60 << "60" << 60;
    QTest::newRow("61") << "61" << 61.0f << 61 << "61" << 61 << "61" << 61;
    QTest::newRow("1e3") << "1e3" << 1000.0f << 1000 << "1e3" << 1000 << "1e3" << 1000;
    QTest::newRow("1e7") << "1e7" << most << 100000 << "100000" << 10000000 << "1e7" << 10000000;
    QTest::newRow("1e30") << "1e30" << most << 100000 << "100000" << INT_MAX << "1e30" << INT_MAX;
    QTest::newRow("inf") << "inf" << most << 100000 << "100000" << INT_MAX << "inf" << INT_MAX;
    QTest::newRow("-inf") << "-inf" << 0.0f << 0 << "-inf" << 0 << "-inf" << 0;
    QTest::newRow("nan") << "nan" << 0.0f << 0 << "nan" << 0 << "nan" << 0;
    // The number reading takes no group separator, but the field's own
    // clean-up on Return rewrites the text as the number 15.
    QTest::newRow("1,5") << "1,5" << 0.0f << 0 << "1,5" << 0 << "1.5e+01" << 15;
    QTest::newRow("10000 nines") << nines << most << 100000 << "100000" << INT_MAX << nines << INT_MAX;
    QTest::newRow("10000 letters") << letters << 0.0f << 0 << letters << 0 << letters << 0;
}

void TestBadInput::inEveryState()
{
    QFETCH(QString, text);
    QFETCH(float, count);
    QFETCH(int, bars);
    QFETCH(QString, countShown);
    QFETCH(int, interval);
    QFETCH(QString, afterReturn);
    QFETCH(int, returnInterval);

    for (const auto &[state, stateName] : states) {
        for (const auto &[command, commandName] : commands) {
            const QByteArray where = QByteArray(stateName) + ", " + commandName;
            MainWindow window;
            showWithBars(window, startBars);
            enter(window, state);
            window.ui->itemNumberLineEdit->setText(text);
            window.ui->delayLineEdit->setText(text);
            const bool wasShuffling = window.shuffling;
            const bool startsAtOnce = state == State::Fresh && command != Command::ResetButton;
            const int delay = command == Command::ReturnKey ? returnInterval : interval;

            give(window, command);
            if (command == Command::ReturnKey)
                QVERIFY2(window.ui->delayLineEdit->text() == afterReturn, where);

            if (wasShuffling) {
                // Ignored: the reshuffle under way goes on untouched.
                QVERIFY2(window.shuffling, where);
                QVERIFY2(window.itemCount == startBars, where);
                QVERIFY2(window.ui->itemNumberLineEdit->text() == text, where);
            } else if (startsAtOnce) {
                // Quick Sort starts on the bars shown, with the delay read.
                QVERIFY2(window.itemCount == startBars, where);
                QVERIFY2(window.sortTimer->isActive(), where);
                QVERIFY2(window.sortTimer->interval() == delay,
                         where + ": interval " + QByteArray::number(window.sortTimer->interval()));
            } else {
                // The count is read and a reshuffle to it begins.
                QVERIFY2(window.itemCount == count,
                         where + ": count " + QByteArray::number(window.itemCount));
                QVERIFY2(window.shuffledValues.size() == bars, where);
                QVERIFY2(isOneToN(window.shuffledValues, bars), where);
                QVERIFY2(window.ui->itemNumberLineEdit->text() == countShown, where);
                QVERIFY2(window.shuffling, where);
                QVERIFY2(window.startPending == (command != Command::ResetButton), where);
            }

            // A few real ticks, whatever they do.
            QTest::qWait(5);

            if (window.shuffledValues.size() > finishLimit)
                continue;
            const bool pending = window.startPending;
            finishShuffle(window);
            QVERIFY2(!window.shuffling, where + ": the reshuffle does not end");
            if (pending) {
                QVERIFY2(window.sortTimer->isActive(), where);
                QVERIFY2(window.sortTimer->interval() == delay, where);
            }
            const bool sorts = window.sortTimer->isActive();
            finishSort(window);
            finishSweep(window);
            QVERIFY2(!window.sortTimer->isActive() && !window.finishTimer->isActive(),
                     where + ": the run does not end");
            const int n = int(window.values.size());
            QVERIFY2(window.items.size() == n && window.brushes.size() == n, where);
            QVERIFY2(isOneToN(window.values, n), where);
            // Quick Sort orders the bars by height; above 950 bars some
            // neighbouring values share a height.
            if (sorts)
                QVERIFY2(std::is_sorted(window.items.begin(), window.items.end(), lower), where);
        }
    }
}

void TestBadInput::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept"); // what the field's validator lets through

    const QList<std::pair<QString, QString>> cases = {
        {"-", "-"},  {"abc", ""},   {"-5", "-5"}, {"12.5", "12.5"}, {"1e3", "1e3"},  {"1e30", "1e30"},
        {"inf", ""}, {"-inf", "-"}, {"nan", ""},  {"1,5", "1,5"},   {"1e7x", "1e7"},
    };
    for (const auto &[typed, kept] : cases)
        QTest::newRow(qPrintable(typed)) << typed << kept;
}

void TestBadInput::typing()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    MainWindow window;
    showWithBars(window, startBars);
    for (QLineEdit *field : {window.ui->itemNumberLineEdit, window.ui->delayLineEdit}) {
        field->clear();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), kept);
    }
}

void TestBadInput::smallCountsWithEveryAlgorithm_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bars");

    const QStringList names = MainWindow().algorithmNames;
    for (int algorithm = 0; algorithm < names.size(); ++algorithm) {
        for (const auto &[text, bars] : QList<std::pair<QString, int>>{
                 {"0", 0}, {"0.5", 1}, {"1", 1}, {"1.5", 2}, {"2", 2}, {"12.5", 13}, {"99.5", 100}}) {
            const QByteArray name = names[algorithm].toUtf8() + ", " + text.toUtf8();
            QTest::newRow(name) << algorithm << text << bars;
        }
    }
}

// Counts that the algorithms meet only through odd input: none, one, a
// fraction that builds one bar more than its whole part.
void TestBadInput::smallCountsWithEveryAlgorithm()
{
    QFETCH(int, algorithm);
    QFETCH(QString, text);
    QFETCH(int, bars);

    MainWindow window;
    showWithBars(window, startBars);
    window.ui->itemNumberLineEdit->setText(text);
    window.ui->delayLineEdit->setText("0");
    window.ui->sortingMethodsComboBox->setCurrentIndex(algorithm);
    window.reset();
    finishShuffle(window);
    QCOMPARE(window.values.size(), bars);

    window.startSorting();
    QTRY_VERIFY_WITH_TIMEOUT(!window.sortTimer->isActive(), 20000);
    finishSweep(window);
    QVERIFY(!window.finishTimer->isActive());
    QVERIFY(std::is_sorted(window.values.begin(), window.values.end()));
    QCOMPARE(window.items.size(), window.values.size());
    if (algorithm != window.algorithmNames.indexOf("Stalin Sort"))
        QVERIFY(isOneToN(window.values, bars));
}

// The largest count honoured is built to the end, from a count that asks
// for more.
void TestBadInput::hugeCount()
{
    MainWindow window;
    showWithBars(window, startBars);
    window.ui->itemNumberLineEdit->setText("1e30");
    window.reset();
    QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("100000"));
    finishShuffle(window);
    QVERIFY(!window.shuffling);
    QCOMPARE(window.values.size(), 100000);
    QCOMPARE(window.items.size(), 100000);
    QVERIFY(isOneToN(window.values, 100000));
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"

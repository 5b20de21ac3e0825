// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <climits>

namespace {

using Step = void (MainWindow::*)();

// The step operations in the order of the combo box.
const Step steps[] = {&MainWindow::QuickSortStep,     &MainWindow::MergeSortStep,
                      &MainWindow::RadixSortStep,     &MainWindow::HeapSortStep,
                      &MainWindow::ShellSortStep,     &MainWindow::ExchangeSortStep,
                      &MainWindow::BubbleSortStep,    &MainWindow::InsertionSortStep,
                      &MainWindow::SelectionSortStep, &MainWindow::StalinSortStep};

const int bubbleSort = 6;
const QString runningLabel = "Nombre d'échanges : \n...";

QString countLabel(qint64 count)
{
    return QString("Nombre d'échanges : \n%1").arg(count);
}

// Whether sortTimer is connected to `step`; the connection is kept.
bool connectedTo(MainWindow &window, Step step)
{
    if (!QObject::disconnect(window.sortTimer, &QTimer::timeout, &window, step))
        return false;
    QObject::connect(window.sortTimer, &QTimer::timeout, &window, step);
    return true;
}

QList<int> oneTo(int n)
{
    QList<int> list;
    for (int v = 1; v <= n; ++v)
        list.append(v);
    return list;
}

// A shown window with 12 bars in falling order (66 swaps for the bubble
// sort), the bubble sort chosen and the given delay. The shuffle animation
// takes a fifth of its usual time, to keep the test short.
void prepare(MainWindow &window, const QString &delay = "1")
{
    showWithBars(window, 12);
    window.shuffleDuration = 300;
    QList<int> falling = oneTo(12);
    std::reverse(falling.begin(), falling.end());
    arrange(window, falling);
    window.ui->sortingMethodsComboBox->setCurrentIndex(bubbleSort);
    window.ui->delayLineEdit->setText(delay);
}

} // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

    // Brings a freshly prepared window into `state` through the commands a
    // user gives, without letting it leave that state before returning.
    bool enter(MainWindow &window, const QString &state)
    {
        if (state == "Sorting" || state == "ReshufflingPending") {
            window.ui->delayLineEdit->setText("5");
            window.startSorting();
            if (!QTest::qWaitFor([&] { return window.swapCount >= 2; }))
                return false;
            if (state == "ReshufflingPending")
                window.startSorting();
        } else if (state == "Sweeping" || state == "Finished") {
            window.ui->delayLineEdit->setText("0");
            // A full-length sweep is easy to catch; Finished needs no wait.
            if (state == "Finished")
                window.smoothEndDuration = 100;
            window.startSorting();
            if (!QTest::qWaitFor([&] { return runState(window) == state; }))
                return false;
        } else if (state == "Reshuffling") {
            window.reset();
        } else if (state == "Paused") {
            if (!enter(window, "Sorting"))
                return false;
            QTest::keyClick(&window, Qt::Key_P);
        }
        return runState(window) == state;
    }

private slots:
    void algorithmTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");

        const QStringList texts = {"Quick Sort",     "Merge Sort",    "Radix Sort",  "Heap Sort",
                                   "Shell Sort",     "Exchange Sort", "Bubble Sort", "Insertion Sort",
                                   "Selection Sort", "Stalin Sort"};
        for (int k = 0; k < texts.size(); ++k)
            QTest::newRow(qPrintable(texts[k])) << k << texts[k];
    }

    void algorithmTable()
    {
        QFETCH(int, index);
        QFETCH(QString, text);

        MainWindow window;
        showWithBars(window, 12);
        QComboBox *box = window.ui->sortingMethodsComboBox;
        QCOMPARE(box->count(), 10);
        QCOMPARE(int(window.algorithms.size()), 10);
        QCOMPARE(box->itemText(index), text);
        QCOMPARE(window.algorithmNames.value(index), text);
        QCOMPARE(window.selectedAlgorithm, 0);

        box->setCurrentIndex(index);
        QCOMPARE(window.selectedAlgorithm, index);
        window.startSorting();
        QCOMPARE(receiverCount(window.sortTimer, SIGNAL(timeout())), 1);
        QVERIFY(connectedTo(window, steps[index]));
    }

    void freshWindow()
    {
        MainWindow window;
        prepare(window);
        QCOMPARE(runState(window), QString("Fresh"));
        QVERIFY(!window.startPending);
        QCOMPARE(window.ui->stepNumberLabel->text(), runningLabel);
        QVERIFY(!tonePlaying(window));
        QCOMPARE(receiverCount(window.finishTimer, SIGNAL(timeout())), 1);
    }

    void transitions_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("label"); // "count": the count before the command, "now": after it

        const QStringList ready = {"Fresh", "Sorting", "Paused", "Sweeping", "Finished"};
        const QStringList animating = {"Reshuffling", "ReshufflingPending"};
        for (const QString &command : QStringList{"start", "start button", "Return"}) {
            for (const QString &from : ready)
                QTest::newRow(qPrintable(from + ", " + command))
                    << from << command << (from == "Fresh" ? "Sorting" : "ReshufflingPending")
                    << runningLabel;
            for (const QString &from : animating)
                QTest::newRow(qPrintable(from + ", " + command)) << from << command << from << "";
        }
        for (const QString &command : QStringList{"reset", "reset button"}) {
            for (const QString &from : ready)
                QTest::newRow(qPrintable(from + ", " + command)) << from << command << "Reshuffling"
                                                                 << "count";
            for (const QString &from : animating)
                QTest::newRow(qPrintable(from + ", " + command)) << from << command << from << "";
        }
        for (const QString &from : ready + animating)
            QTest::newRow(qPrintable(from + ", keypad Enter")) << from << "keypad Enter" << from << "";
        // Pause and step: only a run of an algorithm pauses.
        for (const QString &from : ready + animating) {
            if (from == "Sorting")
                QTest::newRow("Sorting, P") << from << "P"
                                            << "Paused"
                                            << "count";
            else if (from == "Paused")
                QTest::newRow("Paused, P") << from << "P"
                                           << "Sorting" << runningLabel;
            else
                QTest::newRow(qPrintable(from + ", P")) << from << "P" << from << "";
            if (from == "Paused")
                QTest::newRow("Paused, Right") << from << "Right"
                                               << "Paused"
                                               << "now";
            else
                QTest::newRow(qPrintable(from + ", Right")) << from << "Right" << from << "";
        }
    }

    void transitions()
    {
        QFETCH(QString, from);
        QFETCH(QString, command);
        QFETCH(QString, to);
        QFETCH(QString, label);

        MainWindow window;
        prepare(window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(enter(window, from));
        const qint64 countBefore = window.swapCount;
        const QList<int> targetBefore = window.shuffledValues;
        const QList<int> valuesBefore = window.values;
        window.ui->stepNumberLabel->setText("unchanged");

        if (command == "start")
            window.startSorting();
        else if (command == "start button")
            QTest::mouseClick(window.ui->startSortingButton, Qt::LeftButton);
        else if (command == "Return")
            QTest::keyClick(&window, Qt::Key_Return);
        else if (command == "keypad Enter")
            QTest::keyClick(&window, Qt::Key_Enter, Qt::KeypadModifier);
        else if (command == "reset")
            window.reset();
        else if (command == "reset button")
            QTest::mouseClick(window.ui->resetButton, Qt::LeftButton);
        else if (command == "P")
            QTest::keyClick(&window, Qt::Key_P);
        else if (command == "Right")
            QTest::keyClick(&window, Qt::Key_Right);

        QCOMPARE(runState(window), to);
        const QString expectedLabel = label == "count"  ? countLabel(countBefore)
                                      : label == "now"  ? countLabel(window.swapCount)
                                      : label.isEmpty() ? "unchanged"
                                                        : label;
        QCOMPARE(window.ui->stepNumberLabel->text(), expectedLabel);
        QVERIFY(receiverCount(window.sortTimer, SIGNAL(timeout())) <= 1);
        QCOMPARE(receiverCount(window.finishTimer, SIGNAL(timeout())), 1);
        // Paused, the tone is silent but for the short sound of a step.
        const bool toneOn = to == "Paused" ? command == "Right" : to != "Fresh" && to != "Finished";
        QCOMPARE(tonePlaying(window), toneOn);
        if (to.startsWith("Reshuffling") && to != from) {
            QCOMPARE(window.swapCount, 0);
            QCOMPARE(window.smoothEndIndex, 0);
            QVERIFY(connectedTo(window, &MainWindow::animateRandomization));
        } else {
            // A step while paused is one tick: at most one exchange.
            QVERIFY(window.swapCount - countBefore <= (from == "Paused" && command == "Right" ? 1 : 0));
            QVERIFY(window.swapCount >= countBefore);
            QCOMPARE(window.shuffledValues, targetBefore);
        }
        if (from == "Fresh" && to == "Sorting") {
            // No reshuffle: the algorithm starts on the bars shown.
            QCOMPARE(window.values, valuesBefore);
            QVERIFY(connectedTo(window, &MainWindow::BubbleSortStep));
        }
    }

    // Start, run, end sweep, silence, with the counter label at each point.
    // The counter may start high: 100,000 falling bars need about 5e9
    // exchanges, past the range of a 32-bit count.
    void runFromFresh_data()
    {
        QTest::addColumn<qint64>("countBefore");

        QTest::newRow("from 0") << qint64(0);
        QTest::newRow("across 2^31") << qint64(INT_MAX) - 1;
    }

    void runFromFresh()
    {
        QFETCH(qint64, countBefore);

        MainWindow window;
        prepare(window, "0");
        window.swapCount = countBefore;
        window.startSorting();
        QCOMPARE(runState(window), QString("Sorting"));
        QCOMPARE(window.ui->stepNumberLabel->text(), runningLabel);
        QTRY_VERIFY(!window.sortTimer->isActive());
        QCOMPARE(window.values, oneTo(12));
        QCOMPARE(window.swapCount, countBefore + 66);
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(countBefore + 66));
        QCOMPARE(window.finishTimer->interval(), 83);
        QTRY_COMPARE(runState(window), QString("Finished"));
        QVERIFY(!tonePlaying(window));
        QCOMPARE(window.smoothEndIndex, 0);
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(countBefore + 66));
    }

    // A start during a run reshuffles, then runs again from a count of 0.
    void startDuringRun()
    {
        MainWindow window;
        prepare(window);
        QVERIFY(enter(window, "Sorting"));
        window.ui->delayLineEdit->setText("0");
        window.startSorting();
        QCOMPARE(runState(window), QString("ReshufflingPending"));
        QCOMPARE(window.ui->stepNumberLabel->text(), runningLabel);
        QCOMPARE(window.swapCount, 0);
        const QList<int> target = window.shuffledValues;

        QTRY_VERIFY(!window.shuffling);
        QVERIFY(connectedTo(window, &MainWindow::BubbleSortStep));
        QTRY_VERIFY(!window.sortTimer->isActive());
        QCOMPARE(window.values, oneTo(12));
        int inversions = 0;
        for (int i = 0; i < target.size(); ++i)
            for (int j = i + 1; j < target.size(); ++j)
                inversions += target[i] > target[j];
        QCOMPARE(window.swapCount, inversions);
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(inversions));
    }

    // A reset during a run stops it; nothing starts after the reshuffle.
    void resetDuringRun()
    {
        MainWindow window;
        prepare(window);
        QVERIFY(enter(window, "Sorting"));
        const qint64 count = window.swapCount;
        window.reset();
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(count));
        QTRY_COMPARE(runState(window), QString("Fresh"));
        QVERIFY(!tonePlaying(window));
        QCOMPARE(window.swapCount, 0);
        QTest::qWait(50);
        QCOMPARE(runState(window), QString("Fresh"));
        QCOMPARE(window.swapCount, 0);
    }

    // From the start that waits for the reshuffle to the end of the sweep,
    // the tone plays throughout, and sortTimer never has two handlers.
    void toneFromPendingReshuffleToRun()
    {
        MainWindow window;
        prepare(window, "0");
        QVERIFY(enter(window, "Finished"));
        int pendingSamples = 0;
        int sortingSamples = 0;
        int sweepingSamples = 0;
        int silent = 0;
        int mostReceivers = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, &window, [&] {
            const QString state = runState(window);
            if (state == "ReshufflingPending")
                ++pendingSamples;
            else if (state == "Sorting")
                ++sortingSamples;
            else if (state == "Sweeping")
                ++sweepingSamples;
            else
                return;
            silent += !tonePlaying(window);
            mostReceivers = std::max(mostReceivers, receiverCount(window.sortTimer, SIGNAL(timeout())));
        });
        probe.start(0);
        window.startSorting();
        QTRY_COMPARE(runState(window), QString("Finished"));
        QVERIFY(!tonePlaying(window));
        QVERIFY(pendingSamples > 0 && sortingSamples > 0 && sweepingSamples > 0);
        QCOMPARE(silent, 0);
        QCOMPARE(mostReceivers, 1);
    }

    void algorithmChosenAtEndOfAnimation_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::newRow("Bubble Sort") << bubbleSort;
        QTest::newRow("Stalin Sort") << 9;
        QTest::newRow("Quick Sort") << 0;
    }

    void algorithmChosenAtEndOfAnimation()
    {
        QFETCH(int, chosen);

        MainWindow window;
        prepare(window);
        window.ui->sortingMethodsComboBox->setCurrentIndex(4);
        window.startSorting();
        // A choice during a run leaves the run alone.
        window.ui->sortingMethodsComboBox->setCurrentIndex(chosen);
        QVERIFY(connectedTo(window, &MainWindow::ShellSortStep));

        window.startSorting();
        QCOMPARE(runState(window), QString("ReshufflingPending"));
        window.ui->sortingMethodsComboBox->setCurrentIndex((chosen + 1) % 10);
        QTest::qWait(20);
        window.ui->sortingMethodsComboBox->setCurrentIndex(chosen);
        QTRY_VERIFY(!window.shuffling);
        QCOMPARE(receiverCount(window.sortTimer, SIGNAL(timeout())), 1);
        QVERIFY(connectedTo(window, steps[chosen]));
    }

    // The delay is read when an algorithm starts, not during its run.
    void delayReadAtLaunch()
    {
        MainWindow window;
        prepare(window, "1");
        window.startSorting();
        QCOMPARE(window.sortTimer->interval(), 1);
        window.ui->delayLineEdit->setText("7");
        QTest::qWait(20);
        QCOMPARE(runState(window), QString("Sorting"));
        QCOMPARE(window.sortTimer->interval(), 1);
        window.startSorting();
        QTRY_VERIFY(!window.shuffling);
        QCOMPARE(window.sortTimer->interval(), 7);
    }

    void delayField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("interval");

        QTest::newRow("0") << "0" << 0;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("fraction dropped") << "2.9" << 2;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("comma") << "1,5" << 0;
        QTest::newRow("nan") << "nan" << 0;
        QTest::newRow("-inf") << "-inf" << 0;
        QTest::newRow("largest millisecond count") << "2147483000" << 2147483008;
        QTest::newRow("beyond a millisecond count") << "3000000000" << INT_MAX;
        QTest::newRow("1e30") << "1e30" << INT_MAX;
        QTest::newRow("beyond a float") << "1e300" << INT_MAX;
        QTest::newRow("inf") << "inf" << INT_MAX;
    }

    void delayField()
    {
        QFETCH(QString, text);
        QFETCH(int, interval);

        MainWindow window;
        prepare(window, text);
        window.startSorting();
        QVERIFY(window.sortTimer->isActive());
        QCOMPARE(window.sortTimer->interval(), interval);
    }

    // A count typed while the bars show a fresh shuffle waits for the
    // command after the next start.
    void countTypedInFresh_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("then start") << "start";
        QTest::newRow("then reset") << "reset";
    }

    void countTypedInFresh()
    {
        QFETCH(QString, then);

        MainWindow window;
        prepare(window);
        const QList<int> shown = window.values;
        window.ui->itemNumberLineEdit->setText("5");
        window.startSorting();
        QCOMPARE(runState(window), QString("Sorting"));
        QCOMPARE(window.values, shown);
        QCOMPARE(window.itemCount, 12.0f);

        if (then == "start")
            window.startSorting();
        else
            window.reset();
        QCOMPARE(window.itemCount, 5.0f);
        QCOMPARE(window.shuffledValues.size(), 5);
        QTRY_VERIFY(!window.shuffling);
        QCOMPARE(window.values.size(), 5);
        QCOMPARE(window.items.size(), 5);
    }

    void pitchOffset_data()
    {
        QTest::addColumn<float>("shown");
        QTest::addColumn<QString>("typed"); // typed before a second start, if any
        QTest::addColumn<float>("offset");

        QTest::newRow("12 bars") << 12.0f << "" << 0.0f;
        QTest::newRow("60 bars") << 60.0f << "" << 0.0f;
        QTest::newRow("61 bars") << 61.0f << "" << 30.0f;
        QTest::newRow("60.5 bars") << 60.5f << "" << 30.0f;
        QTest::newRow("no bars") << 0.0f << "" << 0.0f;
        QTest::newRow("61 bars, then 60 typed") << 61.0f << "60" << 0.0f;
        QTest::newRow("61 bars, then 12 typed") << 61.0f << "12" << 0.0f;
        QTest::newRow("61 bars, then 100 typed") << 61.0f << "100" << 30.0f;
    }

    void pitchOffset()
    {
        QFETCH(float, shown);
        QFETCH(QString, typed);
        QFETCH(float, offset);

        MainWindow window;
        showWithBars(window, shown);
        window.ui->delayLineEdit->setText("1000");
        window.startSorting();
        if (!typed.isEmpty()) {
            window.ui->itemNumberLineEdit->setText(typed);
            window.startSorting();
        }
        QCOMPARE(window.pitchOffset, offset);
    }

    // Once cleared, the offset stays 0 for larger counts, runs and shuffles.
    void pitchOffsetNeverRestored()
    {
        MainWindow window;
        prepare(window, "0");
        window.startSorting();
        QCOMPARE(window.pitchOffset, 0.0f);
        window.ui->itemNumberLineEdit->setText("100");
        window.shuffleDuration = 100;
        window.startSorting();
        QCOMPARE(window.pitchOffset, 0.0f);
        QTRY_VERIFY(!window.shuffling);
        window.reset();
        QTRY_COMPARE(runState(window), QString("Fresh"));
        window.startSorting();
        QCOMPARE(window.pitchOffset, 0.0f);
    }

    void sweepInterval_data()
    {
        QTest::addColumn<float>("bars");
        QTest::addColumn<int>("interval");

        QTest::newRow("no bars") << 0.0f << 1;
        QTest::newRow("1") << 1.0f << 1000;
        QTest::newRow("7") << 7.0f << 142;
        QTest::newRow("12") << 12.0f << 83;
        QTest::newRow("100") << 100.0f << 10;
        QTest::newRow("300") << 300.0f << 3;
        QTest::newRow("600") << 600.0f << 1;
        QTest::newRow("1500") << 1500.0f << 1;
    }

    void sweepInterval()
    {
        QFETCH(float, bars);
        QFETCH(int, interval);

        MainWindow window;
        showWithBars(window, bars);
        window.swapCount = 17;
        window.sortTimer->start(1000);
        window.stopTimer();
        QVERIFY(!window.sortTimer->isActive());
        QVERIFY(window.finishTimer->isActive());
        QCOMPARE(window.finishTimer->interval(), interval);
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(17));
    }

    // Every algorithm runs to its end on no bars and on one bar.
    void tinyRows_data()
    {
        QTest::addColumn<int>("algorithm");
        QTest::addColumn<float>("bars");
        for (int k = 0; k < 10; ++k) {
            QTest::newRow(qPrintable(QString("%1, no bars").arg(k))) << k << 0.0f;
            QTest::newRow(qPrintable(QString("%1, one bar").arg(k))) << k << 1.0f;
        }
    }

    void tinyRows()
    {
        QFETCH(int, algorithm);
        QFETCH(float, bars);

        MainWindow window;
        showWithBars(window, bars);
        window.smoothEndDuration = 10;
        window.ui->sortingMethodsComboBox->setCurrentIndex(algorithm);
        window.ui->delayLineEdit->setText("0");
        window.startSorting();
        QTRY_COMPARE(runState(window), QString("Finished"));
        QCOMPARE(window.ui->stepNumberLabel->text(), countLabel(window.swapCount));
        QVERIFY(!tonePlaying(window));
        QCOMPARE(window.values.size(), int(bars));
    }

    void openLink()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        MainWindow window;
        prepare(window);
        window.openLink();
        QTest::mouseClick(window.ui->velmoButton, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");

        const QUrl homepage(ORDAVEX_HOMEPAGE_URL);
        QVERIFY(homepage.isValid());
        QCOMPARE(catcher.urls, QList<QUrl>({homepage, homepage}));
        QCOMPARE(runState(window), QString("Fresh"));
    }

    // Escape ends the application's event loop from any state. Runs the real
    // loop, since quitting outside of it does nothing.
    void escapeQuits_data()
    {
        QTest::addColumn<QString>("state");
        for (const QString &state :
             QStringList{"Fresh", "Sorting", "Sweeping", "Finished", "Reshuffling", "ReshufflingPending"})
            QTest::newRow(qPrintable(state)) << state;
    }

    void escapeQuits()
    {
        QFETCH(QString, state);

        MainWindow window;
        prepare(window);
        QVERIFY(enter(window, state));
        QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, &window, [&] { QTest::keyClick(&window, Qt::Key_Escape); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(aboutToQuit.size(), 1);
    }
};

QTEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"

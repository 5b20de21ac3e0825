// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sorthelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// What a tick left behind: the row, the count and the tone's pitch.
struct Tick
{
    QList<int> values;
    qint64 swapCount;
    float pitch;

    bool operator==(const Tick &other) const
    {
        return values == other.values && swapCount == other.swapCount && qFuzzyCompare(pitch, other.pitch);
    }
};

Tick tickOf(const MainWindow &window)
{
    return {window.values, window.swapCount, window.tone.getPitch()};
}

} // namespace

class TestPause : public QObject
{
    Q_OBJECT

private slots:
    // A run paused at several points, stepped with the Right arrow and
    // resumed with P makes the same ticks, swaps and pitches, in the same
    // order, as the same row sorted straight through.
    void pausedRunMatchesStraightRun_data()
    {
        QTest::addColumn<QString>("algorithm");
        for (const QString &name : comboOrder)
            QTest::newRow(qPrintable(name)) << name;
    }

    void pausedRunMatchesStraightRun()
    {
        QFETCH(QString, algorithm);
        const QList<int> start = seededShuffle(80);

        QList<Tick> straight;
        {
            MainWindow window;
            showWithBars(window, 80);
            arrange(window, start);
            window.swapCount = 0;
            const Algorithm sort = algorithmNamed(algorithm);
            (window.*sort.entry)();
            window.sortTimer->stop();
            while (!window.finishTimer->isActive()) {
                (window.*sort.step)();
                straight.append(tickOf(window));
            }
        }

        MainWindow window;
        showWithBars(window, 80);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        arrange(window, start);
        window.swapCount = 0;
        window.ui->sortingMethodsComboBox->setCurrentIndex(int(comboOrder.indexOf(algorithm)));
        window.ui->delayLineEdit->setText("0");

        const QList<int> pauseAt = {1, 7, 30, 200};
        QList<Tick> paused;
        int pauses = 0;
        window.startSorting();
        // Connected after the step, so it sees each timed tick's result.
        connect(window.sortTimer, &QTimer::timeout, &window, [&] {
            paused.append(tickOf(window));
            if (pauseAt.contains(int(paused.size())))
                QTest::keyClick(&window, Qt::Key_P);
        });
        while (!window.finishTimer->isActive()) {
            QVERIFY(runUntil(
                [&] { return window.pauseControl->isPaused() || window.finishTimer->isActive(); }, 10000));
            if (window.finishTimer->isActive())
                break;
            QCOMPARE(runState(window), QString("Paused"));
            ++pauses;
            QVERIFY(!tonePlaying(window));
            QCOMPARE(window.ui->stepNumberLabel->text(),
                     QString("Nombre d'échanges : \n%1").arg(window.swapCount));
            for (int k = 0; k < 3 && window.pauseControl->isPaused(); ++k) {
                QTest::keyClick(&window, Qt::Key_Right);
                paused.append(tickOf(window));
                QVERIFY(!window.sortTimer->isActive());
            }
            if (window.pauseControl->isPaused()) {
                QCOMPARE(window.ui->stepNumberLabel->text(),
                         QString("Nombre d'échanges : \n%1").arg(window.swapCount));
                QTest::keyClick(&window, Qt::Key_P);
                QCOMPARE(runState(window), QString("Sorting"));
                QCOMPARE(window.sortTimer->interval(), 0);
                QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n..."));
            }
        }
        QVERIFY(pauses >= 3);
        QCOMPARE(paused.size(), straight.size());
        for (int t = 0; t < straight.size(); ++t)
            QVERIFY2(paused[t] == straight[t], qPrintable(QString("tick %1 differs").arg(t + 1)));
        QCOMPARE(window.ui->stepNumberLabel->text(),
                 QString("Nombre d'échanges : \n%1").arg(straight.last().swapCount));
    }

    // A step heard while paused sounds briefly and leaves the run paused;
    // the step that ends the run starts the end sweep, with the tone on.
    void stepWhilePaused()
    {
        MainWindow window;
        showWithBars(window, 3);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        arrange(window, {3, 2, 1});
        window.swapCount = 0;
        window.ui->sortingMethodsComboBox->setCurrentIndex(int(comboOrder.indexOf("bubble")));
        window.ui->delayLineEdit->setText("100000");
        window.startSorting();
        QTest::keyClick(&window, Qt::Key_P);
        QCOMPARE(runState(window), QString("Paused"));

        QTest::keyClick(&window, Qt::Key_Right);
        QCOMPARE(window.values, QList<int>({2, 3, 1}));
        QVERIFY(tonePlaying(window));
        QVERIFY(runUntil([&] { return !tonePlaying(window); }, 5000));
        QCOMPARE(runState(window), QString("Paused"));

        for (int k = 0; k < 20 && runState(window) == "Paused"; ++k)
            QTest::keyClick(&window, Qt::Key_Right);
        QCOMPARE(runState(window), QString("Sweeping"));
        QCOMPARE(window.values, QList<int>({1, 2, 3}));
        QVERIFY(tonePlaying(window));
        QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n3"));
        QVERIFY(runUntil([&] { return runState(window) == "Finished"; }, 5000));
        QVERIFY(!tonePlaying(window));
    }

    // Outside a pause the Right arrow is left to the controls: on a button
    // it moves the focus on, as it always did.
    void rightArrowOutsidePause()
    {
        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ui->resetButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window.ui->resetButton, Qt::Key_Right);
        QVERIFY(!window.ui->resetButton->hasFocus());
        QCOMPARE(runState(window), QString("Fresh"));
    }

    // In a number field the keys type as usual: no pause, no step.
    void numberFieldKeepsItsKeys_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("count") << "itemNumberLineEdit";
        QTest::newRow("delay") << "delayLineEdit";
    }

    void numberFieldKeepsItsKeys()
    {
        QFETCH(QString, field);

        MainWindow window;
        showWithBars(window, 12);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ui->delayLineEdit->setText("100000");
        window.startSorting();
        auto *edit = window.findChild<QLineEdit *>(field);
        edit->setFocus();
        edit->setCursorPosition(0);
        QTest::keyClick(edit, Qt::Key_P);
        QCOMPARE(runState(window), QString("Sorting"));

        window.pauseControl->togglePause();
        const QList<int> before = window.values;
        QTest::keyClick(edit, Qt::Key_Right);
        QCOMPARE(edit->cursorPosition(), 1);
        QCOMPARE(window.values, before);
        QTest::keyClick(edit, Qt::Key_P);
        QCOMPARE(runState(window), QString("Paused"));
    }
};

QTEST_MAIN(TestPause)
#include "tst_pause.moc"

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pacedtimer.h"

#include <QTest>
#include <QTimerEvent>

namespace {

// A paced timer on a clock of the test's own, whose timer events the test
// delivers itself: "qt" as QTimer's own timeout, "wake" as the paced timer's
// wake-up. Nothing runs the event loop, so no real timer event comes.
class ClockedTimer : public PacedTimer, public PacedTimer::Watcher
{
public:
    ClockedTimer()
        : PacedTimer(nullptr)
    {
        setWatcher(this);
        connect(this, &QTimer::timeout, this, [this] { ++timeouts; });
    }

    qint64 now = 0;
    int timeouts = 0;
    int starting = 0;
    int done = 0;

    void deliver(const QString &kind)
    {
        QTimerEvent event(kind == "wake" ? wakeTimerId() : timerId());
        timerEvent(&event);
    }
    bool wakeArmed() const { return wakeTimerId() != 0; }

    void timeoutStarting() override { ++starting; }
    void timeoutDone() override { ++done; }

protected:
    qint64 nowNs() const override { return now; }
};

} // namespace

class TestPacedTimer : public QObject
{
    Q_OBJECT

private slots:
    // Timer events at the times given (ms after the start): the timeouts
    // given by then, and whether a wake-up is armed for one still due.
    void timeouts_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<QStringList>("events"); // "qt 1.0", "wake 1.0", ...
        QTest::addColumn<QList<int>>("given");   // timeouts after each event
        QTest::addColumn<bool>("armed");         // after the last one

        QTest::newRow("on time") << 1 << QStringList{"qt 1.0", "qt 2.0", "qt 3.0"} << QList<int>{1, 2, 3}
                                 << false;
        // QTimer's wait, rounded up to a whole millisecond from when it
        // looks, falls behind; the grid makes the lag up.
        QTest::newRow("late, made up")
            << 1 << QStringList{"qt 1.4", "qt 2.8", "qt 4.2", "wake 4.2"} << QList<int>{1, 2, 3, 4} << false;
        QTest::newRow("stall of 30 ms, made up")
            << 1 << QStringList{"qt 30.0", "wake 30.1", "wake 30.2"} << QList<int>{1, 2, 3} << true;
        QTest::newRow("stall of 200 ms, not made up")
            << 1 << QStringList{"qt 200.0", "qt 200.5", "qt 201.0"} << QList<int>{1, 1, 2} << true;
        QTest::newRow("stall of 50 ms, the most made up")
            << 1 << QStringList{"qt 51.0"} << QList<int>{1} << true;
        QTest::newRow("woken early, waits")
            << 5 << QStringList{"qt 4.0", "wake 5.0", "qt 10.0"} << QList<int>{0, 1, 2} << false;
        QTest::newRow("within 50 us counts as on time")
            << 5 << QStringList{"qt 4.96"} << QList<int>{1} << false;
        QTest::newRow("20 ms, lag of 60 ms is not made up")
            << 20 << QStringList{"qt 80.0", "qt 100.0"} << QList<int>{1, 2} << false;
        QTest::newRow("20 ms, lag of 40 ms is made up")
            << 20 << QStringList{"qt 60.0", "wake 60.0", "wake 60.0"} << QList<int>{1, 2, 3} << false;
        QTest::newRow("no interval: every event")
            << 0 << QStringList{"qt 0.0", "qt 0.0", "qt 0.1"} << QList<int>{1, 2, 3} << false;
    }

    void timeouts()
    {
        QFETCH(int, interval);
        QFETCH(QStringList, events);
        QFETCH(QList<int>, given);
        QFETCH(bool, armed);

        ClockedTimer timer;
        timer.now = 1000000000;
        const qint64 start = timer.now;
        timer.start(interval);
        for (int k = 0; k < events.size(); ++k) {
            const QStringList parts = events[k].split(' ');
            timer.now = start + qint64(parts[1].toDouble() * 1e6);
            if (parts[0] == "wake")
                QVERIFY2(timer.wakeArmed(), qPrintable(events[k] + ": no wake-up was armed"));
            timer.deliver(parts[0]);
            QVERIFY2(timer.timeouts == given[k], qPrintable(QString("%1: %2 timeouts, expected %3")
                                                                .arg(events[k])
                                                                .arg(timer.timeouts)
                                                                .arg(given[k])));
        }
        QCOMPARE(timer.wakeArmed(), armed);
        QCOMPARE(timer.starting, timer.timeouts);
        QCOMPARE(timer.done, timer.timeouts);
    }

    // A start, a stop or a new interval starts the grid afresh: nothing is
    // owed for the time before.
    void restartsAfresh_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("stop, start") << "restart";
        QTest::newRow("new interval") << "interval";
        QTest::newRow("start again") << "start";
    }

    void restartsAfresh()
    {
        QFETCH(QString, change);

        ClockedTimer timer;
        timer.start(2);
        timer.now += 2000000;
        timer.deliver("qt");
        QCOMPARE(timer.timeouts, 1);
        timer.now += 30000000;
        if (change == "restart") {
            timer.stop();
            timer.start();
        } else if (change == "interval") {
            timer.setInterval(3);
        } else {
            timer.start(2);
        }
        timer.now += 500000;
        timer.deliver("qt");
        QCOMPARE(timer.timeouts, 1);
        QVERIFY(timer.wakeArmed());
        timer.now += timer.interval() * 1000000 - 500000;
        timer.deliver("wake");
        QCOMPARE(timer.timeouts, 2);
        QVERIFY(!timer.wakeArmed());
    }
};

QTEST_MAIN(TestPacedTimer)
#include "tst_pacedtimer.moc"

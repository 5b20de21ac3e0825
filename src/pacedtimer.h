// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef PACEDTIMER_H
#define PACEDTIMER_H

#include <QElapsedTimer>
#include <QProperty>
#include <QTimer>

// A repeating timer whose timeouts keep to their grid: the k-th timeout
// after a start comes k intervals after it, so that a 1 ms timer gives 1000
// timeouts a second.
//
// A plain QTimer sleeps until its next timeout rounded up to a whole
// millisecond from the moment it looks. At 1 ms each timeout came a little
// later than the last, and one was lost whenever the lag reached a whole
// interval: about 900 a second. A frame that took 5 ms lost 5. Here the
// QTimer's own timeouts only wake this one up, and a timeout that comes late
// is made up by the next ones coming sooner, one timeout at a time. Only a
// lag of up to maxLagMs is made up: after a longer stall the timer goes on
// at its pace from then, without a burst.
//
// Everything else is QTimer's: the interval, start, stop, isActive. A
// single-shot timer, or one of interval 0, is a plain QTimer.
class PacedTimer : public QTimer
{
public:
    explicit PacedTimer(QObject *parent);

    static constexpr int maxLagMs = 50;

    // Told around each timeout.
    class Watcher
    {
    public:
        virtual void timeoutStarting() = 0;
        virtual void timeoutDone() = 0;

    protected:
        ~Watcher() = default;
    };
    void setWatcher(Watcher *watcher) { this->watcher = watcher; }

protected:
    void timerEvent(QTimerEvent *event) override;
    // A steady clock, in nanoseconds (a test's clock may stand in).
    virtual qint64 nowNs() const { return clock.nsecsElapsed(); }
    int wakeTimerId() const { return wakeId; }

private:
    void restartGrid();
    void giveTimeout(QTimerEvent *event);
    void wakeIn(qint64 ns);
    void stopWaking();

    Watcher *watcher = nullptr;
    QElapsedTimer clock;
    qint64 startNs = 0;
    qint64 given = 0; // timeouts given since the start
    int wakeId = 0;   // a timer of our own, for a timeout due before QTimer's next
    QPropertyNotifier activeNotifier;
    QPropertyNotifier intervalNotifier;
};

#endif // PACEDTIMER_H

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pacedtimer.h"

#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr qint64 nsPerMs = 1000000;
// A wake-up this close before a timeout is due counts as on time: waiting
// for the rest would cost a whole millisecond.
constexpr qint64 earlyNs = 50000;

} // namespace

PacedTimer::PacedTimer(QObject *parent)
    : QTimer(parent)
{
    setTimerType(Qt::PreciseTimer);
    clock.start();
    // QTimer tells of every start and stop, and of a new interval, which
    // restarts a running timer.
    activeNotifier = bindableActive().addNotifier([this] { restartGrid(); });
    intervalNotifier = bindableInterval().addNotifier([this] { restartGrid(); });
}

void PacedTimer::restartGrid()
{
    stopWaking();
    startNs = nowNs();
    given = 0;
}

void PacedTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == wakeId) {
        stopWaking();
    } else if (event->timerId() != timerId()) {
        return;
    } else if (interval() <= 0 || isSingleShot()) {
        giveTimeout(event);
        return;
    }

    const qint64 intervalNs = interval() * nsPerMs;
    const qint64 elapsedNs = nowNs() - startNs;
    const qint64 passed = (elapsedNs + earlyNs) / intervalNs; // grid points passed
    if ((passed - given - 1) * interval() > maxLagMs)
        given = passed - 1; // a long stall: only the timeout due now is given
    if (passed <= given) {
        wakeIn((given + 1) * intervalNs - elapsedNs);
        return;
    }
    given += 1;
    QTimerEvent timeout(timerId());
    giveTimeout(&timeout);
    // The timeout may have stopped or restarted the timer.
    if (isActive() && given > 0 && passed > given)
        wakeIn(0);
}

void PacedTimer::giveTimeout(QTimerEvent *event)
{
    if (watcher)
        watcher->timeoutStarting();
    QTimer::timerEvent(event);
    if (watcher)
        watcher->timeoutDone();
}

void PacedTimer::wakeIn(qint64 ns)
{
    if (wakeId == 0)
        wakeId =
            QObject::startTimer(int((std::max<qint64>(ns, 0) + nsPerMs - 1) / nsPerMs), Qt::PreciseTimer);
}

void PacedTimer::stopWaking()
{
    if (wakeId != 0) {
        QObject::killTimer(wakeId);
        wakeId = 0;
    }
}

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef TESTHELPERS_H
#define TESTHELPERS_H

#include "mainwindow.h"
#include "pausecontrol.h"

#include <QEventLoop>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QList>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <utility>

// Shows the window at the given size with a first row of `count` bars:
// the first layout writes itemCount into the count field and builds from it.
inline void showWithBars(MainWindow &window, float count, QSize size = QSize(1920, 1080))
{
    window.itemCount = count;
    window.resize(size);
    window.show();
}

// Puts the row into the given order with uncounted swaps, as the shuffle
// animation does, so that bars, brushes and heights stay consistent.
inline void arrange(MainWindow &window, const QList<int> &order)
{
    for (int k = 0; k < order.size(); ++k)
        window.swapItems(k, int(window.values.indexOf(order[k])), false);
}

using SwapCall = std::pair<int, int>;

// What one run of an algorithm did, tick by tick.
struct RunRecord
{
    int ticks = 0;
    QList<SwapCall> swaps; // in call order, reconstructed and checked
    QString error;         // empty when every tick matched the expected calls
};

// The bars in the scene. The scene holds them in groups; a group left empty
// counts as a bar here, so that comparing counts catches it.
inline QList<QGraphicsItem *> barsInScene(const MainWindow &window)
{
    QList<QGraphicsItem *> bars;
    const QList<QGraphicsItem *> all = window.scene->items();
    for (QGraphicsItem *item : all) {
        if (qgraphicsitem_cast<QGraphicsRectItem *>(item) || item->childItems().isEmpty())
            bars.append(item);
    }
    return bars;
}

inline bool tonePlaying(const MainWindow &window)
{
    return window.tone.getStatus() == sf::Sound::Playing;
}

// The pitch that swapItems sets for a bar of `value`.
inline float pitchFor(const MainWindow &window, int value)
{
    const float step = window.maxFrequency / float(std::max(int(window.itemCount), 1));
    return (float(value) + window.pitchOffset) * step / (window.maxFrequency * 0.5f);
}

// Runs an algorithm entry, then its steps by hand until one calls stopTimer
// (which starts the end sweep), and checks each tick against `expected`:
// the swap count's rise says how many calls the tick made; replaying that
// many expected calls on the tick's starting row must give the row after
// it, and the pitch must come from the first slot of the last call.
inline RunRecord runSort(MainWindow &window, const std::function<void()> &entry,
                         const std::function<void()> &step, const QList<SwapCall> &expected,
                         int tickLimit = 1000000)
{
    RunRecord record;
    window.finishTimer->stop();
    entry();
    window.sortTimer->stop();
    int next = 0;
    while (!window.finishTimer->isActive() && record.ticks < tickLimit) {
        const QList<int> before = window.values;
        const qint64 countBefore = window.swapCount;
        step();
        ++record.ticks;
        const int calls = int(window.swapCount - countBefore);
        if (calls == 0 || !record.error.isEmpty())
            continue;
        QList<int> replay = before;
        float pitch = 0;
        for (int c = 0; c < calls; ++c, ++next) {
            if (next >= expected.size()) {
                record.error = QString("tick %1 made more swaps than expected").arg(record.ticks);
                break;
            }
            const auto [i, j] = expected[next];
            pitch = pitchFor(window, replay[i]);
            replay.swapItemsAt(i, j);
            record.swaps.append(expected[next]);
        }
        if (record.error.isEmpty() && replay != window.values)
            record.error = QString("tick %1 does not match the expected swaps").arg(record.ticks);
        if (record.error.isEmpty() && !qFuzzyCompare(pitch, window.tone.getPitch()))
            record.error = QString("tick %1 sets pitch %2, expected %3")
                               .arg(record.ticks)
                               .arg(window.tone.getPitch())
                               .arg(pitch);
    }
    if (record.error.isEmpty() && next != expected.size())
        record.error = QString("%1 swaps made, %2 expected").arg(next).arg(expected.size());
    window.finishTimer->stop();
    return record;
}

// How many connections a signal of `sender` has, e.g. SIGNAL(timeout()).
// QObject::receivers is protected; a member pointer taken in a subclass may
// still be applied to any QObject.
inline int receiverCount(const QObject *sender, const char *signal)
{
    struct Access : QObject
    {
        static int count(const QObject *object, const char *signal)
        {
            return (object->*&Access::receivers)(signal);
        }
    };
    return Access::count(sender, signal);
}

// The run state read from the flags and the timers: "Fresh", "Sorting",
// "Paused", "Sweeping", "Finished", "Reshuffling" or "ReshufflingPending",
// and "Invalid" for a combination that no state has.
inline QString runState(const MainWindow &window)
{
    const bool stepping = window.sortTimer->isActive();
    const bool sweeping = window.finishTimer->isActive();
    if (stepping && sweeping)
        return "Invalid";
    if (window.pauseControl->isPaused())
        return stepping || sweeping || window.shuffling || !window.needsReshuffle ? "Invalid" : "Paused";
    if (window.shuffling) {
        if (!stepping || !window.needsReshuffle)
            return "Invalid";
        return window.startPending ? "ReshufflingPending" : "Reshuffling";
    }
    if (!window.needsReshuffle)
        return stepping || sweeping ? "Invalid" : "Fresh";
    if (stepping)
        return "Sorting";
    return sweeping ? "Sweeping" : "Finished";
}

// Runs the event loop as the program does until `done` holds, for at most
// `timeoutMs`; returns whether it held. QTest::qWait and QTRY_* sleep 10 ms
// between passes, which holds 0 and 1 ms timers to about 100 ticks a second.
inline bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// Receives the addresses that the program asks the desktop to open, so that
// no browser opens: QDesktopServices::setUrlHandler(scheme, &catcher, "open").
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

#endif // TESTHELPERS_H

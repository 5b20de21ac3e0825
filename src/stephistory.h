// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef STEPHISTORY_H
#define STEPHISTORY_H

#include "pacedtimer.h"

#include <QBrush>
#include <QList>
#include <QRectF>

#include <array>
#include <deque>
#include <utility>
#include <vector>

class MainWindow;

// What each step of the running algorithm changed, so that a paused run can
// go back one step at a time and then on again exactly as it would have.
//
// Before a step it copies the algorithm's cursors, the counter and the sizes
// of the algorithm's lists; during the step, the exchanges and removals made,
// the pitch before the first of them, and the lists the step empties. That
// is a few dozen numbers a step, cheap enough to keep all through a run.
// The oldest steps are forgotten beyond maxSteps.
class StepHistory : public PacedTimer::Watcher
{
public:
    explicit StepHistory(MainWindow *window);

    static constexpr int maxSteps = 100000;

    // A new run, or none: nothing to go back to.
    void clear();
    // Around each step of the running algorithm.
    void beginStep();
    void endStep();
    // Around each timeout of the step timer, which runs a step unless the
    // reshuffle has the timer.
    void timeoutStarting() override;
    void timeoutDone() override { endStep(); }
    // Undoes the last step kept; false when none is left.
    bool undoStep();
    int size() const { return int(kept); }
    // Whether the steps kept reach back to the first step of the run.
    bool reachesRunStart() const { return !forgotten; }
    // The memory the steps kept take, roughly, in bytes.
    qint64 memoryUse() const;

    // Called by swapItems, destroyItem and the steps that empty a list,
    // before they change anything.
    void swapping(int i, int j)
    {
        if (recording)
            noteChange({i, j});
    }
    void removing(int index);
    void emptying(QList<int> &list);
    void emptying(QList<double> &list);

private:
    static constexpr int cursorCount = 23;
    static constexpr int removal = -1; // the second slot of a removal

    struct Change
    {
        int i;
        int j;
    };
    struct RemovedBar
    {
        int value;
        QBrush brush;
        QRectF rect;
    };
    struct Step
    {
        std::array<int, cursorCount> cursors;
        qint64 swapCount;
        bool mergeActive;
        bool pitchKept;
        float pitch;
        int changes;
        int removals;
        int emptiedInts;
        int emptiedDoubles;
        qsizetype quickStackSize;
        std::pair<int, int> quickStackTop;
        qsizetype radixOrderSize;
        qsizetype mergeLeftSize;
        qsizetype mergeRightSize;
    };

    void noteChange(Change change);
    Step &newest() { return steps[(oldest + kept - 1) % maxSteps]; }
    void forgetOldest();

    MainWindow *window;
    bool recording = false;
    bool forgotten = false;
    // A ring of the last maxSteps steps: allocated once, as a step that
    // grew a list of them would now and then copy them all.
    std::vector<Step> steps;
    size_t oldest = 0;
    size_t kept = 0;
    std::deque<Change> changes;
    std::deque<RemovedBar> removedBars;
    std::deque<std::pair<QList<int> *, QList<int>>> emptiedInts;
    std::deque<std::pair<QList<double> *, QList<double>>> emptiedDoubles;
};

#endif // STEPHISTORY_H

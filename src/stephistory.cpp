// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "stephistory.h"
#include "mainwindow.h"

#include <QGraphicsRectItem>

namespace {

// Every int a step of any algorithm may change, so that one copy serves
// all ten.
constexpr int MainWindow::*cursorMembers[] = {
    &MainWindow::outerIndex,        &MainWindow::leftIndex,        &MainWindow::rightIndex,
    &MainWindow::innerIndex,        &MainWindow::quickLow,         &MainWindow::quickHigh,
    &MainWindow::quickPivotIndex,   &MainWindow::quickPivotHeight, &MainWindow::heapLargest,
    &MainWindow::selectionMinIndex, &MainWindow::extremeValue,     &MainWindow::heapLeft,
    &MainWindow::heapRight,         &MainWindow::heapSize,         &MainWindow::heapRoot,
    &MainWindow::heapPhase,         &MainWindow::heapBuildIndex,   &MainWindow::shellGap,
    &MainWindow::mergeWidth,        &MainWindow::mergeStart,       &MainWindow::radixPass,
    &MainWindow::radixPassCount,    &MainWindow::radixDigit,
};

// Shortens a list that a step grew back to its size before the step.
template <typename T> void shrinkTo(QList<T> &list, qsizetype size)
{
    if (list.size() > size)
        list.resize(size);
}

} // namespace

StepHistory::StepHistory(MainWindow *window)
    : window(window)
{
    static_assert(std::size(cursorMembers) == cursorCount);
    steps.reserve(maxSteps);
}

void StepHistory::clear()
{
    recording = false;
    forgotten = false;
    oldest = kept = 0;
    changes.clear();
    removedBars.clear();
    emptiedInts.clear();
    emptiedDoubles.clear();
}

void StepHistory::beginStep()
{
    if (kept == size_t(maxSteps))
        forgetOldest();
    const size_t at = (oldest + kept) % maxSteps;
    if (at == steps.size())
        steps.emplace_back(); // the ring is still growing
    kept += 1;
    Step &step = steps[at];
    for (int k = 0; k < cursorCount; ++k)
        step.cursors[size_t(k)] = window->*cursorMembers[k];
    step.swapCount = window->swapCount;
    step.mergeActive = window->mergeActive;
    step.pitchKept = false;
    step.pitch = 0;
    step.changes = step.removals = step.emptiedInts = step.emptiedDoubles = 0;
    step.quickStackSize = window->quickStack.size();
    step.quickStackTop = window->quickStack.isEmpty() ? std::pair(0, 0) : window->quickStack.constLast();
    step.radixOrderSize = window->radixOrder.size();
    step.mergeLeftSize = window->mergeLeft.size();
    step.mergeRightSize = window->mergeRight.size();
    recording = true;
}

void StepHistory::timeoutStarting()
{
    if (window->runningStep && !window->shuffling)
        beginStep();
}

void StepHistory::endStep()
{
    recording = false;
}

void StepHistory::noteChange(Change change)
{
    Step &step = newest();
    if (!step.pitchKept) {
        step.pitch = window->tone.getPitch();
        step.pitchKept = true;
    }
    changes.push_back(change);
    step.changes += 1;
}

void StepHistory::removing(int index)
{
    if (!recording)
        return;
    noteChange({index, removal});
    removedBars.push_back({window->values[index], window->brushes[index], window->items[index]->rect()});
    newest().removals += 1;
}

void StepHistory::emptying(QList<int> &list)
{
    if (!recording)
        return;
    emptiedInts.emplace_back(&list, list); // shares the data: the list's clear() leaves it here
    newest().emptiedInts += 1;
}

void StepHistory::emptying(QList<double> &list)
{
    if (!recording)
        return;
    emptiedDoubles.emplace_back(&list, list);
    newest().emptiedDoubles += 1;
}

bool StepHistory::undoStep()
{
    recording = false;
    if (kept == 0)
        return false;
    const Step step = newest();
    kept -= 1;

    // The changes in reverse: an exchange made again undoes itself.
    for (int c = 0; c < step.changes; ++c) {
        const Change change = changes.back();
        changes.pop_back();
        if (change.j == removal) {
            const RemovedBar &bar = removedBars.back();
            window->restoreItem(change.i, bar.value, bar.brush, bar.rect);
            removedBars.pop_back();
        } else {
            window->swapItems(change.i, change.j, false);
        }
    }

    shrinkTo(window->radixOrder, step.radixOrderSize);
    shrinkTo(window->mergeLeft, step.mergeLeftSize);
    shrinkTo(window->mergeRight, step.mergeRightSize);
    for (int k = 0; k < step.emptiedInts; ++k) {
        *emptiedInts.back().first = std::move(emptiedInts.back().second);
        emptiedInts.pop_back();
    }
    for (int k = 0; k < step.emptiedDoubles; ++k) {
        *emptiedDoubles.back().first = std::move(emptiedDoubles.back().second);
        emptiedDoubles.pop_back();
    }
    // A step takes one range off the stack or puts some on it.
    if (window->quickStack.size() < step.quickStackSize)
        window->quickStack.append(step.quickStackTop);
    shrinkTo(window->quickStack, step.quickStackSize);

    for (int k = 0; k < cursorCount; ++k)
        window->*cursorMembers[k] = step.cursors[size_t(k)];
    window->swapCount = step.swapCount;
    window->mergeActive = step.mergeActive;
    if (step.pitchKept)
        window->tone.setPitch(step.pitch);
    return true;
}

void StepHistory::forgetOldest()
{
    const Step &step = steps[oldest];
    changes.erase(changes.begin(), changes.begin() + step.changes);
    removedBars.erase(removedBars.begin(), removedBars.begin() + step.removals);
    emptiedInts.erase(emptiedInts.begin(), emptiedInts.begin() + step.emptiedInts);
    emptiedDoubles.erase(emptiedDoubles.begin(), emptiedDoubles.begin() + step.emptiedDoubles);
    oldest = (oldest + 1) % maxSteps;
    kept -= 1;
    forgotten = true;
}

qint64 StepHistory::memoryUse() const
{
    const size_t fixed =
        kept * sizeof(Step) + changes.size() * sizeof(Change) + removedBars.size() * sizeof(RemovedBar);
    auto bytes = qint64(fixed);
    for (const auto &[list, copy] : emptiedInts)
        bytes += qint64(sizeof(*list) + size_t(copy.capacity()) * sizeof(int));
    for (const auto &[list, copy] : emptiedDoubles)
        bytes += qint64(sizeof(*list) + size_t(copy.capacity()) * sizeof(double));
    return bytes;
}

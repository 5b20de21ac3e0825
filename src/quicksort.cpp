// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <QGraphicsRectItem>

// Iterative quick sort on bar heights: an explicit stack of ranges, each
// partitioned around its last bar (Lomuto), one comparison per tick.

void MainWindow::QuickSort()
{
    // The full range twice: the lower copy keeps the stack from running
    // empty until every range split from the upper one is done.
    const int high = barCount() - 1;
    quickStack.append({0, high});
    quickStack.append({0, high});
    quickLow = quickHigh = -1;
    quickPivotHeight = -1;
    quickPivotIndex = -1;
    rightIndex = -1;
    innerIndex = -1;
    startStepping(&MainWindow::QuickSortStep);
}

void MainWindow::QuickSortStep()
{
    if (quickStack.isEmpty()) {
        stopTimer();
        return;
    }

    if (quickLow == -1 && quickHigh == -1) {
        std::tie(quickLow, quickHigh) = quickStack.takeLast();
        // With no bars the range is (0, -1) and has no pivot bar to read.
        quickPivotHeight = quickHigh >= 0 ? int(items[quickHigh]->rect().height()) : -1;
        rightIndex = quickLow - 1;
        innerIndex = quickLow;
        return;
    }

    if (innerIndex < quickHigh) {
        if (double(quickPivotHeight) > items[innerIndex]->rect().height()) {
            rightIndex += 1;
            swapItems(rightIndex, innerIndex, true);
        }
        innerIndex += 1;
        if (innerIndex >= quickHigh) {
            swapItems(rightIndex + 1, quickHigh, true);
            quickPivotIndex = rightIndex + 1;
        }
        return;
    }

    const int p = quickPivotIndex;
    if (p - 1 > quickLow)
        quickStack.append({quickLow, p - 1});
    if (p + 1 < quickHigh)
        quickStack.append({p + 1, quickHigh});
    quickLow = quickHigh = -1;
    quickPivotIndex = -1;
}

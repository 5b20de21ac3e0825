// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

// Bottom-up merge sort, in place: each tick brings the next merged value to
// its position with one exchange of two bars.

void MainWindow::MergeSort()
{
    mergeWidth = 1;
    mergeStart = 0;
    mergeActive = false;
    leftIndex = 0;
    rightIndex = 0;
    innerIndex = 0;
    startStepping(&MainWindow::MergeSortStep);
}

void MainWindow::MergeSortStep()
{
    const int n = barCount();
    if (mergeWidth >= n && !mergeActive) {
        stopTimer();
        return;
    }

    if (!mergeActive) {
        if (mergeStart < n - mergeWidth) {
            const int mid = mergeStart + mergeWidth;
            const int rightLength = mid + mergeWidth > n ? n - mid : mergeWidth;
            stepHistory.emptying(mergeLeft);
            stepHistory.emptying(mergeRight);
            mergeLeft.clear();
            mergeRight.clear();
            for (int k = mergeStart; k < mid; ++k)
                mergeLeft.append(values[k]);
            for (int k = mid; k < mid + rightLength; ++k)
                mergeRight.append(values[k]);
            leftIndex = 0;
            rightIndex = 0;
            innerIndex = mergeStart;
            mergeActive = true;
        } else {
            mergeStart = 0;
            mergeWidth *= 2;
            if (mergeWidth >= n)
                stopTimer();
        }
        return;
    }

    const bool leftLeft = leftIndex < mergeLeft.size();
    const bool rightLeft = rightIndex < mergeRight.size();
    if (!leftLeft && !rightLeft) {
        mergeStart += 2 * mergeWidth;
        mergeActive = false;
        return;
    }
    const bool takeLeft = leftLeft && (!rightLeft || mergeLeft[leftIndex] <= mergeRight[rightIndex]);
    const double target = takeLeft ? mergeLeft[leftIndex] : mergeRight[rightIndex];

    if (double(values[innerIndex]) != target) {
        for (int p = 0; p < n; ++p) {
            if (double(values[p]) == target)
                swapItems(p, innerIndex, true);
        }
    }
    if (takeLeft)
        leftIndex += 1;
    else
        rightIndex += 1;
    innerIndex += 1;
}

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

// Shell and heap sorts, unrolled so that a tick makes at most one comparison
// and at most one exchange.

void MainWindow::ShellSort()
{
    shellGap = barCount() / 2;
    leftIndex = shellGap;
    rightIndex = shellGap;
    startStepping(&MainWindow::ShellSortStep);
}

void MainWindow::ShellSortStep()
{
    if (shellGap <= 0) {
        stopTimer();
    } else if (leftIndex >= barCount()) {
        shellGap /= 2;
        leftIndex = rightIndex = shellGap;
    } else if (rightIndex >= shellGap && values[rightIndex - shellGap] > values[rightIndex]) {
        swapItems(rightIndex, rightIndex - shellGap, true);
        rightIndex -= shellGap;
    } else {
        // The element cannot or need not move further left: take the next one.
        leftIndex = rightIndex = leftIndex + 1;
    }
}

void MainWindow::HeapSort()
{
    heapSize = barCount();
    heapBuildIndex = barCount() / 2 - 1;
    heapPhase = 0;
    heapRoot = 0;
    startStepping(&MainWindow::HeapSortStep);
}

void MainWindow::HeapSortStep()
{
    if (heapBuildIndex >= 0) {
        if (heapPhase != 0) {
            HeapifyStep();
        } else {
            HeapifyInit(heapBuildIndex);
            heapBuildIndex -= 1;
        }
    } else {
        if (heapSize <= 1) {
            stopTimer();
            return;
        }
        if (heapPhase != 0) {
            HeapifyStep();
        } else {
            heapSize -= 1;
            swapItems(0, heapSize, true);
            HeapifyInit(0);
        }
    }
    if (heapSize <= 1 && heapBuildIndex < 0)
        stopTimer();
}

void MainWindow::HeapifyInit(int node)
{
    heapRoot = node;
    heapLargest = node;
    heapLeft = 2 * node + 1;
    heapRight = 2 * node + 2;
    heapPhase = 1;
}

void MainWindow::HeapifyStep()
{
    switch (heapPhase) {
    case 1:
        if (heapLeft < heapSize && values[heapLeft] > values[heapLargest])
            heapLargest = heapLeft;
        heapPhase = 2;
        break;
    case 2:
        if (heapRight < heapSize && values[heapRight] > values[heapLargest])
            heapLargest = heapRight;
        heapPhase = 3;
        break;
    case 3:
        if (heapLargest == heapRoot) {
            heapPhase = 0;
        } else {
            swapItems(heapRoot, heapLargest, true);
            HeapifyInit(heapLargest);
        }
        break;
    default:
        break;
    }
}

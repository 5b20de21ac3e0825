// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

// Bubble, exchange, selection and insertion sorts: one comparison (for the
// selection sort, one scan and one exchange) per tick.

void MainWindow::BubbleSort()
{
    outerIndex = 0;
    innerIndex = 0;
    startStepping(&MainWindow::BubbleSortStep);
}

void MainWindow::BubbleSortStep()
{
    const qint64 n = barCount();
    if (outerIndex >= n - 1) {
        stopTimer();
    } else if (innerIndex >= n - outerIndex - 1) {
        innerIndex = 0;
        outerIndex += 1;
    } else {
        if (values[innerIndex] > values[innerIndex + 1])
            swapItems(innerIndex, innerIndex + 1, true);
        innerIndex += 1;
    }
}

void MainWindow::ExchangeSort()
{
    leftIndex = 0;
    rightIndex = 1;
    startStepping(&MainWindow::ExchangeSortStep);
}

void MainWindow::ExchangeSortStep()
{
    const qint64 n = barCount();
    if (leftIndex >= n) {
        stopTimer();
    } else if (rightIndex >= n) {
        const int row = leftIndex;
        leftIndex = row + 1;
        rightIndex = row + 2;
    } else {
        if (values[rightIndex] < values[leftIndex])
            swapItems(rightIndex, leftIndex, true);
        rightIndex += 1;
    }
}

void MainWindow::SelectionSort()
{
    extremeValue = barCount();
    outerIndex = 0;
    startStepping(&MainWindow::SelectionSortStep);
}

void MainWindow::SelectionSortStep()
{
    const qint64 n = barCount();
    if (outerIndex >= n - 1) {
        stopTimer();
        return;
    }
    selectionMinIndex = outerIndex; // never left stale, whatever the row holds
    for (int k = outerIndex; k < n; ++k) {
        if (values[k] < extremeValue) {
            selectionMinIndex = k;
            extremeValue = values[k];
        }
    }
    swapItems(selectionMinIndex, outerIndex, true);
    outerIndex += 1;
    extremeValue = int(n);
}

void MainWindow::InsertionSort()
{
    outerIndex = 1;
    leftIndex = 0;
    startStepping(&MainWindow::InsertionSortStep);
}

void MainWindow::InsertionSortStep()
{
    if (outerIndex >= barCount()) {
        stopTimer();
        return;
    }
    const int p = outerIndex - leftIndex;
    if (p > 0 && values[p] < values[p - 1]) {
        swapItems(p - 1, p, true);
        leftIndex += 1;
    } else {
        // The element has reached the front or its place: take the next one.
        leftIndex = 0;
        outerIndex += 1;
    }
}

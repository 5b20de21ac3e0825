// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <cmath>

// Least-significant-digit radix sort in base 10: ten gathering ticks, then
// one placement per tick, for each digit of the largest value.

int MainWindow::countDigit(long long n)
{
    int digits = 0;
    do {
        n /= 10;
        ++digits;
    } while (n != 0);
    return digits;
}

void MainWindow::RadixSort()
{
    radixPass = 1;
    // The largest value is the count taken upward: a fractional count such
    // as 99.5 builds a bar of value 100 that needs its third pass.
    radixPassCount = countDigit((long long)std::ceil(itemCount));
    radixDigit = 0;
    radixOrder.clear();
    leftIndex = 0;
    startStepping(&MainWindow::RadixSortStep);
}

void MainWindow::RadixSortStep()
{
    const int n = barCount();
    if (radixDigit <= 9) {
        const double divisor = std::pow(10.0, radixPass - 1);
        for (int i = 0; i < n; ++i) {
            const int v = values[i];
            if (int(double(v) / divisor) % 10 == radixDigit)
                radixOrder.append(v);
        }
        radixDigit += 1;
    } else if (leftIndex < n) {
        const int p = int(values.indexOf(radixOrder[leftIndex]));
        swapItems(p, leftIndex, true);
        leftIndex += 1;
    } else if (radixPass >= radixPassCount) {
        stopTimer();
    } else {
        radixDigit = 0;
        leftIndex = 0;
        radixPass += 1;
        stepHistory.emptying(radixOrder);
        radixOrder.clear();
    }
}

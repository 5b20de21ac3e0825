// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

// Stalin sort: every bar lower than the last one kept leaves the row.

void MainWindow::StalinSort()
{
    innerIndex = 0;
    extremeValue = 0;
    outerIndex = 0;
    startStepping(&MainWindow::StalinSortStep);
}

void MainWindow::StalinSortStep()
{
    if (innerIndex >= barCount()) {
        stopTimer();
        return;
    }
    const int value = values[innerIndex];
    if (value < extremeValue) {
        destroyItem(innerIndex);
        // The tone follows the bar that slid into the gap, or the removed
        // bar when it was the last one.
        const int heard = innerIndex < barCount() ? values[innerIndex] : value;
        updateFrequency(heard, int(itemCount));
    } else {
        extremeValue = value;
        innerIndex += 1;
    }
}

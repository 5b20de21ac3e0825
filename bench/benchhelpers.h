// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BENCHHELPERS_H
#define BENCHHELPERS_H

#include "mainwindow.h"

#include <QCoreApplication>
#include <QList>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

// The ten algorithms in combo box order, as entry and step operations.
struct Algorithm
{
    const char *name;
    void (MainWindow::*entry)();
    void (MainWindow::*step)();
};

inline const std::vector<Algorithm> &allAlgorithms()
{
    static const std::vector<Algorithm> table = {
        {"Quick", &MainWindow::QuickSort, &MainWindow::QuickSortStep},
        {"Merge", &MainWindow::MergeSort, &MainWindow::MergeSortStep},
        {"Radix", &MainWindow::RadixSort, &MainWindow::RadixSortStep},
        {"Heap", &MainWindow::HeapSort, &MainWindow::HeapSortStep},
        {"Shell", &MainWindow::ShellSort, &MainWindow::ShellSortStep},
        {"Exchange", &MainWindow::ExchangeSort, &MainWindow::ExchangeSortStep},
        {"Bubble", &MainWindow::BubbleSort, &MainWindow::BubbleSortStep},
        {"Insertion", &MainWindow::InsertionSort, &MainWindow::InsertionSortStep},
        {"Selection", &MainWindow::SelectionSort, &MainWindow::SelectionSortStep},
        {"Stalin", &MainWindow::StalinSort, &MainWindow::StalinSortStep},
    };
    return table;
}

// A window laid out for 1920 x 1080 with a first row of `count` bars, built
// by the first resize event as at start-up. Shown or not, as asked.
inline std::unique_ptr<MainWindow> makeWindow(int count, bool shown)
{
    auto window = std::make_unique<MainWindow>();
    window->itemCount = float(count);
    window->resize(1920, 1080);
    window->show();
    QCoreApplication::processEvents();
    if (!shown)
        window->hide();
    QCoreApplication::processEvents();
    return window;
}

// The same shuffled order for every run of a given size, so that runs of
// different algorithms start alike.
inline QList<int> fixedShuffle(int count)
{
    QList<int> order(count);
    for (int k = 0; k < count; ++k)
        order[k] = k + 1;
    std::mt19937 engine(12345);
    std::shuffle(order.begin(), order.end(), engine);
    return order;
}

// Puts the row into `order` with uncounted swaps, in linear time.
inline void arrangeFast(MainWindow &window, const QList<int> &order)
{
    std::vector<int> position(size_t(order.size()) + 1);
    for (int k = 0; k < window.values.size(); ++k)
        position[size_t(window.values[k])] = k;
    for (int k = 0; k < order.size(); ++k) {
        const int from = position[size_t(order[k])];
        if (from == k)
            continue;
        position[size_t(window.values[k])] = from;
        position[size_t(order[k])] = k;
        window.swapItems(k, from, false);
    }
}

// Starts an algorithm on the fixed shuffle and takes its timer away, so
// that the caller drives the steps.
inline void startByHand(MainWindow &window, const Algorithm &algorithm)
{
    window.finishTimer->stop();
    window.quickStack.clear();
    arrangeFast(window, fixedShuffle(int(window.values.size())));
    window.swapCount = 0;
    (window.*algorithm.entry)();
    window.sortTimer->stop();
    // The scene catches up with the rearrangement before timing starts.
    QCoreApplication::processEvents();
}

// True once the running algorithm has called stopTimer.
inline bool runEnded(const MainWindow &window)
{
    return window.finishTimer->isActive();
}

#endif // BENCHHELPERS_H

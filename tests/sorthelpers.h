// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef SORTHELPERS_H
#define SORTHELPERS_H

#include "testhelpers.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

// Shared by the algorithm tests: the algorithms by name, the tables of
// exact runs and the checks made on seeded random rows.

using Operation = void (MainWindow::*)();

struct Algorithm
{
    Operation entry = nullptr;
    Operation step = nullptr;
};

inline Algorithm algorithmNamed(const QString &name)
{
    static const QHash<QString, Algorithm> table = {
        {"bubble", {&MainWindow::BubbleSort, &MainWindow::BubbleSortStep}},
        {"exchange", {&MainWindow::ExchangeSort, &MainWindow::ExchangeSortStep}},
        {"selection", {&MainWindow::SelectionSort, &MainWindow::SelectionSortStep}},
        {"insertion", {&MainWindow::InsertionSort, &MainWindow::InsertionSortStep}},
        {"shell", {&MainWindow::ShellSort, &MainWindow::ShellSortStep}},
        {"heap", {&MainWindow::HeapSort, &MainWindow::HeapSortStep}},
        {"stalin", {&MainWindow::StalinSort, &MainWindow::StalinSortStep}},
        {"merge", {&MainWindow::MergeSort, &MainWindow::MergeSortStep}},
        {"quick", {&MainWindow::QuickSort, &MainWindow::QuickSortStep}},
        {"radix", {&MainWindow::RadixSort, &MainWindow::RadixSortStep}},
    };
    return table.value(name);
}

// "3 1 2" -> {3, 1, 2}; "" is the empty row.
inline QList<int> row(const QString &text)
{
    QList<int> result;
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    for (const QString &word : words)
        result.append(word.toInt());
    return result;
}

inline QList<int> ascending(int n)
{
    QList<int> result(n);
    std::iota(result.begin(), result.end(), 1);
    return result;
}

// The algorithms in the order of the combo box.
inline const QStringList comboOrder = {"quick",    "merge",  "radix",     "heap",      "shell",
                                       "exchange", "bubble", "insertion", "selection", "stalin"};

// 1..n in an order drawn from a fixed seed.
inline QList<int> seededShuffle(int n)
{
    QList<int> start = ascending(n);
    std::mt19937 engine(20261209);
    std::shuffle(start.begin(), start.end(), engine);
    return start;
}

inline qint64 inversions(const QList<int> &start)
{
    qint64 count = 0;
    for (int i = 0; i < start.size(); ++i)
        for (int j = i + 1; j < start.size(); ++j)
            count += start[i] > start[j];
    return count;
}

// Runs the algorithm without checking single ticks; returns the tick count.
inline int runToEnd(MainWindow &window, const Algorithm &algorithm, int tickLimit = 10000000)
{
    window.finishTimer->stop();
    (window.*algorithm.entry)();
    window.sortTimer->stop();
    int ticks = 0;
    while (!window.finishTimer->isActive() && ticks < tickLimit) {
        (window.*algorithm.step)();
        ++ticks;
    }
    window.finishTimer->stop();
    return ticks;
}

// Bar k is as high as its value says, stands on y = 10 and wears the
// colour of its value among the `builtCount` bars first built.
inline void verifyBars(MainWindow &window, int builtCount)
{
    QCOMPARE(window.items.size(), window.values.size());
    QCOMPARE(window.brushes.size(), window.values.size());
    for (int k = 0; k < window.values.size(); ++k) {
        const QRectF rect = window.items[k]->rect();
        QCOMPARE(int(rect.height()), int(float(window.values[k]) * window.barUnitHeight));
        QCOMPARE(rect.bottom(), 10.0);
        QCOMPARE(window.brushes[k].color(), window.getRainbowColor(window.values[k], builtCount));
        QCOMPARE(window.items[k]->brush(), window.brushes[k]);
    }
}

// Table of exact runs: the start row, the tick count and the ordered swaps.
inline void exactRunColumns()
{
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<QList<int>>("start");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<SwapCall>>("swaps");
}

inline void addExactRun(const char *algorithm, const QList<int> &start, int ticks,
                        const QList<SwapCall> &swaps)
{
    QStringList numbers;
    for (int v : start)
        numbers.append(QString::number(v));
    const QString rowText = start.isEmpty() ? QString("empty") : numbers.join(' ');
    QTest::addRow("%s %s", algorithm, qPrintable(rowText)) << QString(algorithm) << start << ticks << swaps;
}

inline void addExactRun(const char *algorithm, const char *start, int ticks, const QList<SwapCall> &swaps)
{
    addExactRun(algorithm, row(start), ticks, swaps);
}

// Checks one row of the table: every tick, then the final row and bars.
inline void verifyExactRun()
{
    QFETCH(QString, algorithm);
    QFETCH(QList<int>, start);
    QFETCH(int, ticks);
    QFETCH(QList<SwapCall>, swaps);

    MainWindow window;
    showWithBars(window, float(start.size()));
    arrange(window, start);
    QCOMPARE(window.values, start);
    const Algorithm sort = algorithmNamed(algorithm);
    const RunRecord run = runSort(
        window, [&] { (window.*sort.entry)(); }, [&] { (window.*sort.step)(); }, swaps);
    QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
    QCOMPARE(run.ticks, ticks);
    QCOMPARE(window.swapCount, swaps.size());
    QCOMPARE(window.values, ascending(int(start.size())));
    verifyBars(window, int(start.size()));
}

// Calls check(window, start) on seeded random rows: five of every size
// 0..60 and two of 1500, each in a window of its size whose bars show
// `start` and whose counter is 0. Rows of one size share a window unless
// the algorithm removes bars.
template <typename Check> void forRandomRows(Check check, bool windowPerRow = false)
{
    std::mt19937 engine(20240611);
    const auto rowsOfSize = [&](int n, int repeats) {
        QList<int> start = ascending(n);
        std::unique_ptr<MainWindow> window;
        for (int r = 0; r < repeats && !QTest::currentTestFailed(); ++r) {
            if (!window || windowPerRow) {
                window = std::make_unique<MainWindow>();
                showWithBars(*window, float(n));
            }
            std::shuffle(start.begin(), start.end(), engine);
            arrange(*window, start);
            window->swapCount = 0;
            check(*window, start);
        }
    };
    for (int n = 0; n <= 60 && !QTest::currentTestFailed(); ++n)
        rowsOfSize(n, 5);
    if (!QTest::currentTestFailed())
        rowsOfSize(1500, 2);
}

#endif // SORTHELPERS_H

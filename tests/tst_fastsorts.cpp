// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sorthelpers.h"

#include <QTest>

#include <climits>

class TestFastSorts : public QObject
{
    Q_OBJECT

private slots:
    void exactRuns_data()
    {
        exactRunColumns();
        // With no bars the quick sort takes the range (0, -1) without a
        // pivot bar to read, closes it, takes the lower copy and stops.
        addExactRun("quick", "", 4, {});
        addExactRun("quick", "1", 4, {});
        addExactRun("quick", "1 2", 5, {{0, 0}, {1, 1}});
        addExactRun("quick", "2 1", 5, {{0, 1}});
        addExactRun("quick", "3 1 2", 6, {{0, 1}, {1, 2}});
        addExactRun("quick", "4 3 2 1", 14, {{0, 3}, {1, 1}, {2, 2}, {3, 3}, {1, 2}});
        addExactRun("quick", "2 4 1 3", 10, {{0, 0}, {1, 2}, {2, 3}, {0, 1}});
        addExactRun("quick", "1 2 3 4", 14,
                    {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 0}, {1, 1}, {2, 2}, {0, 0}, {1, 1}});
        addExactRun("quick", "5 1 4 2 3", 14, {{0, 1}, {1, 3}, {2, 4}, {3, 4}, {0, 0}, {1, 1}});

        addExactRun("merge", "", 1, {});
        addExactRun("merge", "1", 1, {});
        addExactRun("merge", "1 2", 5, {});
        addExactRun("merge", "2 1", 5, {{1, 0}});
        addExactRun("merge", "3 2 1", 11, {{1, 0}, {2, 0}, {2, 1}});
        addExactRun("merge", "4 3 2 1", 16, {{1, 0}, {3, 2}, {2, 0}, {3, 1}});
        addExactRun("merge", "2 4 1 3", 16, {{2, 0}, {2, 1}, {3, 2}});
        addExactRun("merge", "1 2 3 4", 16, {});
        // The last run is left alone at widths 1 and 2, then merged with a
        // right run cut short at N.
        addExactRun("merge", "5 1 4 2 3", 24, {{1, 0}, {3, 2}, {2, 1}, {3, 2}, {4, 2}, {4, 3}});

        addExactRun("radix", "", 11, {});
        addExactRun("radix", "1", 12, {{0, 0}});
        addExactRun("radix", "2 1", 13, {{1, 0}, {1, 1}});
        addExactRun("radix", "4 3 2 1", 15, {{3, 0}, {2, 1}, {2, 2}, {3, 3}});
        addExactRun("radix", "1 2 3 4", 15, {{0, 0}, {1, 1}, {2, 2}, {3, 3}});
        addExactRun("radix", "2 4 1 3", 15, {{2, 0}, {2, 1}, {3, 2}, {3, 3}});
        addExactRun("radix", "5 1 4 2 3", 16, {{1, 0}, {3, 1}, {4, 2}, {4, 3}, {4, 4}});
        // 1..10 in order: the units pass puts 10 first, the tens pass
        // brings it back to the end.
        QList<SwapCall> tenInOrder;
        for (int k = 0; k < 10; ++k)
            tenInOrder.append({9, k});
        for (int k = 0; k < 9; ++k)
            tenInOrder.append({k + 1, k});
        tenInOrder.append({9, 9});
        addExactRun("radix", ascending(10), 42, tenInOrder);
    }
    void exactRuns() { verifyExactRun(); }

    void randomRows_data()
    {
        QTest::addColumn<QString>("algorithm");
        for (const char *name : {"quick", "merge", "radix"})
            QTest::newRow(name) << QString(name);
    }
    void randomRows()
    {
        QFETCH(QString, algorithm);
        const Algorithm sort = algorithmNamed(algorithm);
        forRandomRows([&](MainWindow &window, const QList<int> &start) {
            const int n = int(start.size());
            int sortedTicks = 0;
            if (algorithm == "merge") {
                // An ordered row costs as many ticks as any other, and no swap.
                arrange(window, ascending(n));
                sortedTicks = runToEnd(window, sort);
                QCOMPARE(window.swapCount, 0);
                arrange(window, start);
            }
            const int ticks = runToEnd(window, sort);
            verifyBars(window, n);
            if (algorithm == "quick") {
                // Ordered by height: with 1500 bars in 1080 pixels some
                // values share a height and may end in either order.
                for (int k = 1; k < n; ++k)
                    QVERIFY(window.items[k - 1]->rect().height() <= window.items[k]->rect().height());
                QList<int> result = window.values;
                std::sort(result.begin(), result.end());
                QCOMPARE(result, ascending(n));
                QCOMPARE(window.barUnitHeight < 1, n == 1500);
                return;
            }
            QCOMPARE(window.values, ascending(n));
            if (algorithm == "merge") {
                QCOMPARE(ticks, sortedTicks);
            } else {
                const int passes = int(QString::number(n).size());
                QCOMPARE(ticks, (n + 11) * passes);
                QCOMPARE(window.swapCount, n * passes);
            }
        });
    }

    // Bars of equal height do not count as lower than the pivot.
    void quickSortTies()
    {
        MainWindow window;
        showWithBars(window, 4, QSize(1920, 132));
        QCOMPARE(window.barUnitHeight, 0.5f); // heights 0, 1, 1, 2
        arrange(window, {2, 4, 1, 3});
        const RunRecord run = runSort(
            window, [&] { window.QuickSort(); }, [&] { window.QuickSortStep(); },
            {{0, 2}, {1, 3}, {2, 2}, {3, 3}});
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        QCOMPARE(run.ticks, 10);
        QCOMPARE(window.values, QList<int>({1, 3, 2, 4}));
        verifyBars(window, 4);
    }

    // A fractional count builds one bar more than its integer part; the
    // full range still ends at the last bar.
    void quickSortFractionalCount()
    {
        MainWindow window;
        showWithBars(window, 12.5f);
        QList<int> reversed = ascending(13);
        std::reverse(reversed.begin(), reversed.end());
        arrange(window, reversed);
        window.QuickSort();
        window.sortTimer->stop();
        QCOMPARE(window.quickStack, (QList<std::pair<int, int>>{{0, 12}, {0, 12}}));
        window.quickStack.clear();
        runToEnd(window, algorithmNamed("quick"));
        QCOMPARE(window.values, ascending(13));
        verifyBars(window, 13);
    }

    void countDigit_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<int>("digits");
        const QList<std::pair<qint64, int>> cases = {{0, 1},   {9, 1},          {10, 2},        {99, 2},
                                                     {100, 3}, {1500, 4},       {-1, 1},        {-9, 1},
                                                     {-10, 2}, {LLONG_MAX, 19}, {LLONG_MIN, 19}};
        for (const auto &[number, digits] : cases)
            QTest::addRow("%lld", number) << number << digits;
    }
    void countDigit()
    {
        QFETCH(qint64, number);
        QFETCH(int, digits);
        QCOMPARE(MainWindow::countDigit(number), digits);
    }

    // The passes cover every digit of the largest value, also when a
    // fractional count builds one bar more than its integer part.
    void radixPasses_data()
    {
        QTest::addColumn<float>("count");
        QTest::addColumn<int>("passes");
        QTest::newRow("9") << 9.0f << 1;
        QTest::newRow("10") << 10.0f << 2;
        QTest::newRow("99") << 99.0f << 2;
        QTest::newRow("99.5") << 99.5f << 3;
        QTest::newRow("100") << 100.0f << 3;
        QTest::newRow("1500") << 1500.0f << 4;
    }
    void radixPasses()
    {
        QFETCH(float, count);
        QFETCH(int, passes);
        MainWindow window;
        showWithBars(window, count);
        const int n = int(window.values.size());
        QList<int> reversed = ascending(n);
        std::reverse(reversed.begin(), reversed.end());
        arrange(window, reversed);
        const int ticks = runToEnd(window, algorithmNamed("radix"));
        QCOMPARE(window.radixPassCount, passes);
        QCOMPARE(ticks, (n + 11) * passes);
        QCOMPARE(window.swapCount, n * passes);
        QCOMPARE(window.values, ascending(n));
    }
};

QTEST_MAIN(TestFastSorts)
#include "tst_fastsorts.moc"

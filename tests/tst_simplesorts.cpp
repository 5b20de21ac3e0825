// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sorthelpers.h"

#include <QTest>

class TestSimpleSorts : public QObject
{
    Q_OBJECT

private slots:
    void exactRuns_data()
    {
        exactRunColumns();
        for (const char *name : {"bubble", "exchange", "selection", "insertion"})
            addExactRun(name, "", 1, {});
        addExactRun("bubble", "1", 1, {});
        addExactRun("exchange", "1", 2, {});
        addExactRun("selection", "1", 1, {});
        addExactRun("insertion", "1", 1, {});

        addExactRun("bubble", "2 1", 3, {{0, 1}});
        addExactRun("exchange", "2 1", 4, {{1, 0}});
        addExactRun("selection", "2 1", 2, {{1, 0}});
        addExactRun("insertion", "2 1", 3, {{0, 1}});

        addExactRun("bubble", "3 1 2", 6, {{0, 1}, {1, 2}});
        addExactRun("exchange", "3 1 2", 7, {{1, 0}, {2, 1}});
        addExactRun("selection", "3 1 2", 3, {{1, 0}, {2, 1}});
        addExactRun("insertion", "3 1 2", 5, {{0, 1}, {1, 2}});

        addExactRun("bubble", "1 2 3 4", 10, {});
        addExactRun("exchange", "1 2 3 4", 11, {});
        addExactRun("selection", "1 2 3 4", 4, {{0, 0}, {1, 1}, {2, 2}});
        addExactRun("insertion", "1 2 3 4", 4, {});

        addExactRun("bubble", "4 3 2 1", 10, {{0, 1}, {1, 2}, {2, 3}, {0, 1}, {1, 2}, {0, 1}});
        addExactRun("exchange", "4 3 2 1", 11, {{1, 0}, {2, 0}, {3, 0}, {2, 1}, {3, 1}, {3, 2}});
        addExactRun("selection", "4 3 2 1", 4, {{3, 0}, {2, 1}, {2, 2}});
        addExactRun("insertion", "4 3 2 1", 10, {{0, 1}, {1, 2}, {0, 1}, {2, 3}, {1, 2}, {0, 1}});

        addExactRun("bubble", "2 4 1 3", 10, {{1, 2}, {2, 3}, {0, 1}});
        addExactRun("exchange", "2 4 1 3", 11, {{2, 0}, {2, 1}, {3, 2}});
        addExactRun("selection", "2 4 1 3", 4, {{2, 0}, {2, 1}, {3, 2}});
        addExactRun("insertion", "2 4 1 3", 7, {{1, 2}, {0, 1}, {2, 3}});

        addExactRun("bubble", "5 1 4 2 3", 15, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {1, 2}, {2, 3}});
        addExactRun("exchange", "5 1 4 2 3", 16, {{1, 0}, {2, 1}, {3, 1}, {3, 2}, {4, 2}, {4, 3}});
        addExactRun("selection", "5 1 4 2 3", 5, {{1, 0}, {3, 1}, {4, 2}, {4, 3}});
        addExactRun("insertion", "5 1 4 2 3", 11, {{0, 1}, {1, 2}, {2, 3}, {1, 2}, {3, 4}, {2, 3}});
    }
    void exactRuns() { verifyExactRun(); }

    void randomRows_data()
    {
        QTest::addColumn<QString>("algorithm");
        for (const char *name : {"bubble", "exchange", "selection", "insertion"})
            QTest::newRow(name) << QString(name);
    }
    void randomRows()
    {
        QFETCH(QString, algorithm);
        forRandomRows([&](MainWindow &window, const QList<int> &start) {
            const qint64 n = start.size();
            const qint64 inverted = inversions(start);
            const int ticks = runToEnd(window, algorithmNamed(algorithm));
            QCOMPARE(window.values, ascending(int(n)));
            verifyBars(window, int(n));

            // Closed forms; an empty row stops on its first tick.
            qint64 expectedTicks = 1, expectedSwaps = 0;
            if (algorithm == "bubble") {
                expectedTicks = std::max<qint64>(n * (n + 1) / 2, 1);
                expectedSwaps = inverted;
            } else if (algorithm == "exchange") {
                expectedTicks = n * (n - 1) / 2 + n + 1;
                expectedSwaps = inverted;
            } else if (algorithm == "selection") {
                expectedTicks = std::max<qint64>(n, 1);
                expectedSwaps = std::max<qint64>(n - 1, 0);
            } else {
                expectedTicks = inverted + std::max<qint64>(n, 1);
                expectedSwaps = inverted;
            }
            QCOMPARE(qint64(ticks), expectedTicks);
            QCOMPARE(qint64(window.swapCount), expectedSwaps);
        });
    }

    // After a Stalin sort the row is no longer 1..N: the scan can find no
    // value below the sentinel N, and the exchange must then stay within the
    // row (the bar at the position being filled, exchanged with itself).
    void selectionOnStalinSurvivors()
    {
        MainWindow window;
        showWithBars(window, 8);
        arrange(window, {6, 5, 4, 3, 2, 1, 7, 8});
        runToEnd(window, algorithmNamed("stalin"));
        QCOMPARE(window.values, QList<int>({6, 7, 8}));
        window.selectionMinIndex = 1000;
        const RunRecord run = runSort(
            window, [&] { window.SelectionSort(); }, [&] { window.SelectionSortStep(); }, {{0, 0}, {1, 1}});
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        QCOMPARE(run.ticks, 3);
        QCOMPARE(window.values, QList<int>({6, 7, 8}));
    }
};

QTEST_MAIN(TestSimpleSorts)
#include "tst_simplesorts.moc"

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sorthelpers.h"

#include <QTest>

class TestHeapShellSorts : public QObject
{
    Q_OBJECT

private slots:
    void exactRuns_data()
    {
        exactRunColumns();
        for (const char *start : {"", "1"}) {
            addExactRun("shell", start, 1, {});
            addExactRun("heap", start, 1, {});
        }
        addExactRun("shell", "2 1", 4, {{1, 0}});
        addExactRun("heap", "2 1", 5, {{0, 1}});
        addExactRun("shell", "3 1 2", 6, {{1, 0}, {2, 1}});
        addExactRun("heap", "3 1 2", 9, {{0, 2}, {0, 1}});
        addExactRun("shell", "4 3 2 1", 12, {{2, 0}, {3, 1}, {1, 0}, {3, 2}});
        addExactRun("heap", "4 3 2 1", 20, {{0, 3}, {0, 1}, {0, 2}, {0, 1}});
        addExactRun("shell", "1 2 3 4", 8, {});
        addExactRun("heap", "1 2 3 4", 32, {{1, 3}, {0, 1}, {1, 3}, {0, 3}, {0, 2}, {0, 2}, {0, 1}, {0, 1}});
        // Odd N: the gaps are 2 then 1, and the heap build starts at node 1.
        addExactRun("shell", "5 1 4 2 3", 16, {{2, 0}, {4, 2}, {2, 0}, {1, 0}, {3, 2}, {2, 1}});
        addExactRun("heap", "5 1 4 2 3", 33,
                    {{1, 4}, {0, 4}, {0, 2}, {0, 3}, {0, 1}, {0, 2}, {0, 1}, {0, 1}});
    }
    void exactRuns() { verifyExactRun(); }

    void randomRows_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::newRow("shell") << QString("shell");
        QTest::newRow("heap") << QString("heap");
    }
    void randomRows()
    {
        QFETCH(QString, algorithm);
        forRandomRows([&](MainWindow &window, const QList<int> &start) {
            runToEnd(window, algorithmNamed(algorithm));
            QCOMPARE(window.values, ascending(int(start.size())));
            verifyBars(window, int(start.size()));
        });
    }
};

QTEST_MAIN(TestHeapShellSorts)
#include "tst_heapshellsorts.moc"

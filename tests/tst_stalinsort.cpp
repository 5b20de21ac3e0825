// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sorthelpers.h"

#include <QGraphicsScene>
#include <QHash>
#include <QTest>

// A bar as it stood when the run began.
struct StartBar
{
    int value;
    QRectF rect;
};

// Runs a Stalin sort tick by tick and checks that each tick keeps or removes
// one bar, that the three lists stay aligned with the scene, that no bar
// moves, and, when `heard` is given, that each removal sets the pitch from
// the next of those values and a kept bar leaves the pitch alone.
static void verifyStalinRun(MainWindow &window, const QList<int> &start, const QList<int> *heard)
{
    const int n = int(start.size());
    QHash<QGraphicsRectItem *, StartBar> startBars;
    for (int k = 0; k < n; ++k)
        startBars.insert(window.items[k], {window.values[k], window.items[k]->rect()});

    const float untouched = 0.125f;
    window.finishTimer->stop();
    window.StalinSort();
    window.sortTimer->stop();
    int ticks = 0;
    int removals = 0;
    while (!window.finishTimer->isActive() && ticks <= n) {
        const qsizetype before = window.values.size();
        window.tone.setPitch(untouched);
        window.StalinSortStep();
        ++ticks;
        if (window.values.size() == before - 1) {
            if (heard) {
                QVERIFY(removals < heard->size());
                QCOMPARE(window.tone.getPitch(), pitchFor(window, heard->at(removals)));
            }
            ++removals;
        } else {
            QCOMPARE(window.values.size(), before);
            QCOMPARE(window.tone.getPitch(), untouched);
        }
        QCOMPARE(window.items.size(), window.values.size());
        QCOMPARE(window.brushes.size(), window.values.size());
        QCOMPARE(barsInScene(window).size(), window.items.size());
        for (int k = 0; k < window.items.size(); ++k) {
            QGraphicsRectItem *bar = window.items[k];
            QVERIFY(startBars.contains(bar));
            QCOMPARE(bar->scene(), window.scene);
            QCOMPARE(window.values[k], startBars[bar].value);
            QCOMPARE(bar->rect(), startBars[bar].rect);
            QCOMPARE(bar->brush(), window.brushes[k]);
        }
    }
    window.finishTimer->stop();

    QList<int> maxima;
    for (int v : start)
        if (maxima.isEmpty() || v >= maxima.last())
            maxima.append(v);
    QCOMPARE(ticks, n + 1);
    QCOMPARE(window.values, maxima);
    QCOMPARE(window.swapCount, 0);
    if (heard)
        QCOMPARE(removals, heard->size());
    verifyBars(window, n);
}

class TestStalinSort : public QObject
{
    Q_OBJECT

private slots:
    void exactRuns_data()
    {
        QTest::addColumn<QList<int>>("start");
        QTest::addColumn<QList<int>>("survivors");
        QTest::addColumn<QList<int>>("heard"); // the pitch after each removal
        QTest::newRow("empty") << QList<int>{} << QList<int>{} << QList<int>{};
        QTest::newRow("1") << row("1") << row("1") << QList<int>{};
        QTest::newRow("2 1") << row("2 1") << row("2") << row("1");
        QTest::newRow("1 2 3 4") << row("1 2 3 4") << row("1 2 3 4") << QList<int>{};
        QTest::newRow("3 1 2") << row("3 1 2") << row("3") << row("2 2");
        QTest::newRow("2 4 1 3") << row("2 4 1 3") << row("2 4") << row("3 3");
        QTest::newRow("5 1 4 2 3") << row("5 1 4 2 3") << row("5") << row("4 2 3 3");
        QTest::newRow("2 5 1 4 3") << row("2 5 1 4 3") << row("2 5") << row("4 3 3");
        QTest::newRow("6 5 4 3 2 1 7 8") << row("6 5 4 3 2 1 7 8") << row("6 7 8") << row("4 3 2 1 7");
    }
    void exactRuns()
    {
        QFETCH(QList<int>, start);
        QFETCH(QList<int>, survivors);
        QFETCH(QList<int>, heard);
        MainWindow window;
        showWithBars(window, float(start.size()));
        arrange(window, start);
        verifyStalinRun(window, start, &heard);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(window.values, survivors);
    }

    void randomRows()
    {
        forRandomRows(
            [](MainWindow &window, const QList<int> &start) { verifyStalinRun(window, start, nullptr); },
            true);
    }
};

QTEST_MAIN(TestStalinSort)
#include "tst_stalinsort.moc"

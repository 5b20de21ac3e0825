// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

namespace {

// The pitch set for a bar of `value` among `count` bars.
float pitchAmong(const MainWindow &window, int value, int count)
{
    const float step = window.maxFrequency / float(count);
    return (float(value) + window.pitchOffset) * step / (window.maxFrequency * 0.5f);
}

// Starts a reshuffle to the count typed as `text`, then takes the timer away
// so that the test runs the ticks itself. A non-empty `target` replaces the
// random order.
void beginShuffle(MainWindow &window, const QString &text, const QList<int> &target = {})
{
    window.ui->itemNumberLineEdit->setText(text);
    window.reset();
    window.sortTimer->stop();
    if (!target.isEmpty())
        window.shuffledValues = target;
}

// Runs the animation to its end and returns the number of ticks it took
// (-1 past the limit); the scene must hold exactly the listed bars after
// every tick.
int finishShuffle(MainWindow &window, int limit = 10000)
{
    int ticks = 0;
    while (window.shuffling) {
        if (ticks == limit)
            return -1;
        window.animateRandomization();
        ++ticks;
        if (barsInScene(window).size() != window.items.size())
            return -1;
    }
    return ticks;
}

// Runs a Stalin sort on the row to its end, without the event loop.
void runStalinSort(MainWindow &window)
{
    runSort(
        window, [&] { window.StalinSort(); }, [&] { window.StalinSortStep(); }, {});
}

// The geometry a row was built with: the animation gives it to the bars it
// creates, and bars that are only reordered keep it.
struct RowGeometry
{
    float step = 0;
    float width = 0;
    float unitHeight = 0;
};

RowGeometry currentGeometry(const MainWindow &window)
{
    return {window.barStepFactor * window.barWidth, window.barWidth, window.barUnitHeight};
}

// Empty when every bar shows the value of its slot: place, height on the
// base line y = 10, brush and colour among `count` bars, no outline.
QString barFault(MainWindow &window, int count, const RowGeometry &geometry)
{
    if (window.items.size() != window.values.size() || window.brushes.size() != window.values.size())
        return QString("%1 values, %2 items, %3 brushes")
            .arg(window.values.size())
            .arg(window.items.size())
            .arg(window.brushes.size());
    if (barsInScene(window).size() != window.items.size())
        return QString("the scene holds %1 items for %2 bars")
            .arg(barsInScene(window).size())
            .arg(window.items.size());
    for (int k = 0; k < window.values.size(); ++k) {
        const int v = window.values[k];
        const int h = int(float(v) * geometry.unitHeight);
        const QRectF expected(float(k) * geometry.step, 10 - h, geometry.width, h);
        const QGraphicsRectItem *bar = window.items[k];
        if (bar->rect() != expected)
            return QString("bar %1 (value %2) is not where and as high as it should be").arg(k).arg(v);
        if (bar->brush() != window.brushes[k])
            return QString("bar %1 is not painted with its brush").arg(k);
        if (window.brushes[k].color() != window.getRainbowColor(v, count)
            || window.brushes[k].style() != Qt::SolidPattern)
            return QString("bar %1 (value %2) has the wrong colour").arg(k).arg(v);
        if (bar->pen().style() != Qt::NoPen)
            return QString("bar %1 has an outline").arg(k);
    }
    return {};
}

QList<int> oneTo(int n)
{
    QList<int> list;
    for (int v = 1; v <= n; ++v)
        list.append(v);
    return list;
}

// Ticks an animation of P bars shown to n requested should take.
int expectedTicks(const MainWindow &window, int shown, int requested)
{
    if (window.shuffleReorders)
        return std::max(requested - 1, 1);
    if (shown <= requested)
        return requested;
    return std::max(shown, requested > 0 ? (requested - 1) * window.shrinkStep + 1 : 0);
}

} // namespace

class TestShuffle : public QObject
{
    Q_OBJECT

private slots:
    void reorder_data()
    {
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QList<int>>("target");
        QTest::addColumn<QList<SwapCall>>("swaps"); // one per tick, then ticks without a swap
        QTest::addColumn<int>("ticks");

        QTest::newRow("1,2,3,4 to 3,1,4,2") << QList<int>{1, 2, 3, 4} << QList<int>{3, 1, 4, 2}
                                            << QList<SwapCall>{{1, 0}, {3, 0}, {0, 2}} << 3;
        QTest::newRow("a value already in place swaps with itself")
            << QList<int>{1, 2, 3} << QList<int>{1, 3, 2} << QList<SwapCall>{{0, 0}, {2, 1}} << 2;
        QTest::newRow("same order") << QList<int>{2, 1} << QList<int>{2, 1} << QList<SwapCall>{{1, 1}} << 1;
        QTest::newRow("one bar") << QList<int>{1} << QList<int>{1} << QList<SwapCall>{} << 1;
        QTest::newRow("no bars") << QList<int>{} << QList<int>{} << QList<SwapCall>{} << 1;
    }

    void reorder()
    {
        QFETCH(QList<int>, shown);
        QFETCH(QList<int>, target);
        QFETCH(QList<SwapCall>, swaps);
        QFETCH(int, ticks);

        MainWindow window;
        showWithBars(window, float(shown.size()));
        arrange(window, shown);
        const QList<QGraphicsRectItem *> bars = window.items;
        const RowGeometry geometry = currentGeometry(window);
        beginShuffle(window, QString::number(shown.size()), target);
        QVERIFY(window.shuffleReorders);
        window.tone.setPitch(0.125f);

        QList<int> row = shown;
        for (int t = 0; t < ticks; ++t) {
            QVERIFY(window.shuffling);
            const float pitchBefore = window.tone.getPitch();
            window.animateRandomization();
            if (t < swaps.size()) {
                const auto [i, j] = swaps[t];
                QCOMPARE(window.tone.getPitch(), pitchFor(window, row[i]));
                row.swapItemsAt(i, j);
            } else {
                QCOMPARE(window.tone.getPitch(), pitchBefore);
            }
            QCOMPARE(window.values, row);
            QCOMPARE(window.shuffling, t < ticks - 1);
            QCOMPARE(window.items, bars);
            QVERIFY2(barFault(window, int(shown.size()), geometry).isEmpty(),
                     qPrintable(barFault(window, int(shown.size()), geometry)));
        }
        QCOMPARE(window.values, target);
        QCOMPARE(window.swapCount, 0);
        QVERIFY(!window.sortTimer->isActive());
        QVERIFY(!window.needsReshuffle);
        QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    }

    void rebuild_data()
    {
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<bool>("stalin"); // a Stalin sort thins the row first
        QTest::addColumn<QList<int>>("target");
        QTest::addColumn<int>("growStep");
        QTest::addColumn<int>("shrinkStep");
        // One entry per tick: "+v" creates the bar of value v, "-" removes the
        // leftmost old bar.
        QTest::addColumn<QStringList>("ticks");

        QTest::newRow("growth 2 to 5") << QList<int>{1, 2} << false << QList<int>{3, 1, 5, 2, 4} << 2 << 1
                                       << QStringList{"+3 -", "+1", "+5 -", "+2", "+4"};
        QTest::newRow("shrink 5 to 2") << QList<int>{1, 2, 3, 4, 5} << false << QList<int>{2, 1} << 1 << 3
                                       << QStringList{"+2 -", "-", "-", "+1 -", "-"};
        QTest::newRow("shrink 10 to 6")
            << oneTo(10) << false << QList<int>{4, 6, 1, 5, 2, 3} << 1 << 2
            << QStringList{"+4 -", "-", "+6 -", "-", "+1 -", "-", "+5 -", "-", "+2 -", "-", "+3"};
        QTest::newRow("one bar requested while four shown")
            << QList<int>{2, 4, 1, 3} << false << QList<int>{1} << 1 << 4
            << QStringList{"+1 -", "-", "-", "-"};
        // The Stalin sort keeps 2, 4 and 6.
        QTest::newRow("Stalin left 3 of 6, back to 6")
            << QList<int>{2, 1, 4, 3, 6, 5} << true << QList<int>{5, 3, 6, 1, 4, 2} << 2 << 1
            << QStringList{"+5 -", "+3", "+6 -", "+1", "+4 -", "+2"};
        QTest::newRow("Stalin left exactly the 3 requested")
            << QList<int>{2, 1, 4, 3, 6, 5} << true << QList<int>{3, 1, 2} << 1 << 1
            << QStringList{"+3 -", "+1 -", "+2 -"};
        QTest::newRow("no bars to 3")
            << QList<int>{} << false << QList<int>{2, 3, 1} << 1 << 1 << QStringList{"+2", "+3", "+1"};
        QTest::newRow("3 bars to none")
            << QList<int>{3, 1, 2} << false << QList<int>{} << 1 << 1 << QStringList{"-", "-", "-"};
    }

    void rebuild()
    {
        QFETCH(QList<int>, shown);
        QFETCH(bool, stalin);
        QFETCH(QList<int>, target);
        QFETCH(int, growStep);
        QFETCH(int, shrinkStep);
        QFETCH(QStringList, ticks);

        MainWindow window;
        showWithBars(window, float(shown.size()));
        arrange(window, shown);
        if (stalin)
            runStalinSort(window);
        const QList<QGraphicsRectItem *> oldBars = window.items;
        const QList<int> oldValues = window.values;
        QList<QRectF> oldRects;
        for (const QGraphicsRectItem *bar : oldBars)
            oldRects.append(bar->rect());

        const int n = int(target.size());
        beginShuffle(window, QString::number(n), target);
        QVERIFY(!window.shuffleReorders);
        QCOMPARE(window.growStep, growStep);
        QCOMPARE(window.shrinkStep, shrinkStep);
        window.tone.setPitch(0.125f);

        QList<QGraphicsRectItem *> created;
        int removed = 0;
        for (int t = 0; t < ticks.size(); ++t) {
            QVERIFY(window.shuffling);
            const QStringList events = ticks[t].split(' ');
            const float pitchBefore = window.tone.getPitch();
            window.animateRandomization();

            if (events.contains("-"))
                ++removed;
            if (events.first().startsWith('+')) {
                const int v = events.first().mid(1).toInt();
                QGraphicsRectItem *bar = window.items.last();
                QVERIFY(!created.contains(bar));
                const int h = int(float(v) * window.barUnitHeight);
                const float x = float(created.size()) * (window.barStepFactor * window.barWidth);
                QCOMPARE(bar->rect(), QRectF(x, 10 - h, window.barWidth, h));
                QCOMPARE(bar->brush(), QBrush(window.getRainbowColor(v, n), Qt::SolidPattern));
                QCOMPARE(window.brushes.last(), bar->brush());
                QCOMPARE(bar->pen().style(), Qt::NoPen);
                QCOMPARE(window.tone.getPitch(), pitchAmong(window, v, n));
                created.append(bar);
            } else {
                QCOMPARE(window.tone.getPitch(), pitchBefore);
            }

            // The old bars not yet removed, unmoved, then the new ones.
            QCOMPARE(window.items, oldBars.mid(removed) + created);
            for (int k = 0; k < oldBars.size() - removed; ++k)
                QCOMPARE(window.items[k]->rect(), oldRects[removed + k]);
            QCOMPARE(window.brushes.size(), window.items.size());
            QCOMPARE(barsInScene(window).size(), window.items.size());
            QCOMPARE(window.shuffling, t < ticks.size() - 1);
            if (window.shuffling)
                QCOMPARE(window.values, oldValues.mid(removed));
        }
        QCOMPARE(removed, oldBars.size());
        QCOMPARE(window.values, target);
        QVERIFY2(barFault(window, n, currentGeometry(window)).isEmpty(),
                 qPrintable(barFault(window, n, currentGeometry(window))));
        QCOMPARE(window.swapCount, 0);
        QVERIFY(!window.sortTimer->isActive());
        QVERIFY(!window.needsReshuffle);
        QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    }

    void tickInterval_data()
    {
        QTest::addColumn<float>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("interval");

        QTest::newRow("100 to 100") << 100.0f << "100" << 15;
        QTest::newRow("4 to 4") << 4.0f << "4" << 375;
        QTest::newRow("7 to 12.5") << 7.0f << "12.5" << 120;
        QTest::newRow("12 to 2000") << 12.0f << "2000" << 1;
        QTest::newRow("no bars to 3") << 0.0f << "3" << 500;
        QTest::newRow("3 to no bars") << 3.0f << "0" << 500;
        QTest::newRow("no bars to none") << 0.0f << "0" << 1;
    }

    void tickInterval()
    {
        QFETCH(float, shown);
        QFETCH(QString, typed);
        QFETCH(int, interval);

        MainWindow window;
        showWithBars(window, shown);
        window.ui->itemNumberLineEdit->setText(typed);
        window.reset();
        QVERIFY(window.sortTimer->isActive());
        QCOMPARE(window.sortTimer->interval(), interval);
        QCOMPARE(receiverCount(window.sortTimer, SIGNAL(timeout())), 1);
        QCOMPARE(window.tone.getStatus(), sf::Sound::Playing);
        QVERIFY(window.shuffling && window.needsReshuffle);
    }

    void countField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("itemCount");
        QTest::addColumn<int>("bars");
        QTest::addColumn<QString>("shownAfter"); // the field's text afterwards

        QTest::newRow("fraction") << "2.5" << 2.5f << 3 << "2.5";
        QTest::newRow("negative") << "-4" << 0.0f << 0 << "-4";
        QTest::newRow("not a number") << "abc" << 0.0f << 0 << "abc";
        QTest::newRow("empty") << "" << 0.0f << 0 << "";
        QTest::newRow("nan") << "nan" << 0.0f << 0 << "nan";
        QTest::newRow("the limit") << "100000" << 100000.0f << 100000 << "100000";
        QTest::newRow("above the limit") << "100000.5" << 100000.0f << 100000 << "100000";
        QTest::newRow("far above the limit") << "1e9" << 100000.0f << 100000 << "100000";
        QTest::newRow("inf") << "inf" << 100000.0f << 100000 << "100000";
    }

    void countField()
    {
        QFETCH(QString, typed);
        QFETCH(float, itemCount);
        QFETCH(int, bars);
        QFETCH(QString, shownAfter);

        MainWindow window;
        showWithBars(window, 3);
        beginShuffle(window, typed);
        QCOMPARE(window.itemCount, itemCount);
        QCOMPARE(window.shuffledValues.size(), bars);
        QList<int> sorted = window.shuffledValues;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, oneTo(bars));
        QCOMPARE(window.ui->itemNumberLineEdit->text(), shownAfter);
    }

    // A start that waits for the animation launches the algorithm chosen
    // when the animation ends, in its last tick, with the tone still on.
    void finishWithStartPending()
    {
        MainWindow window;
        showWithBars(window, 4);
        window.startSorting();
        window.startSorting();
        window.sortTimer->stop();
        QVERIFY(window.startPending && window.shuffling);
        window.ui->sortingMethodsComboBox->setCurrentIndex(6);

        const int ticks = finishShuffle(window);
        QVERIFY(ticks > 0);
        QVERIFY(window.needsReshuffle);
        QVERIFY(window.sortTimer->isActive());
        QCOMPARE(receiverCount(window.sortTimer, SIGNAL(timeout())), 1);
        QVERIFY(
            QObject::disconnect(window.sortTimer, &QTimer::timeout, &window, &MainWindow::BubbleSortStep));
        QCOMPARE(window.tone.getStatus(), sf::Sound::Playing);
        QCOMPARE(window.swapCount, 0);
    }

    // Reshuffles to counts drawn at random, some after a Stalin sort: every
    // animation takes its number of ticks and leaves a consistent row.
    void seededReshuffles()
    {
        const QStringList counts = {"0", "1", "2", "3", "5", "7", "12", "12.5", "13", "2.5", "60", "17"};
        QRandomGenerator random(20240611);
        MainWindow window;
        showWithBars(window, 12);
        RowGeometry geometry = currentGeometry(window);

        for (int round = 0; round < 400; ++round) {
            if (random.bounded(4) == 0)
                runStalinSort(window);
            const int shown = int(window.values.size());
            beginShuffle(window, counts[random.bounded(int(counts.size()))]);
            const QList<int> target = window.shuffledValues;
            const int n = int(target.size());
            const bool reorders = window.shuffleReorders;
            const QList<int> all = oneTo(n);
            QCOMPARE(reorders, shown == n
                                   && std::is_permutation(window.values.begin(), window.values.end(),
                                                          all.begin(), all.end()));
            const int expected = expectedTicks(window, shown, n);
            QCOMPARE(finishShuffle(window), expected);
            if (!reorders)
                geometry = currentGeometry(window);

            QCOMPARE(window.values, target);
            QCOMPARE(window.items.size(), n);
            QCOMPARE(window.brushes.size(), n);
            QCOMPARE(window.swapCount, 0);
            QVERIFY2(barFault(window, n, geometry).isEmpty(), qPrintable(barFault(window, n, geometry)));
        }
    }

    // Items removed from the row leave the scene: after many reshuffles the
    // scene holds exactly the bars shown.
    void noBarLeftBehind()
    {
        const QList<int> counts = {0, 1, 2, 5, 12, 30};
        QRandomGenerator random(7);
        MainWindow window;
        showWithBars(window, 5);
        for (int round = 0; round < 1000; ++round) {
            if (random.bounded(5) == 0)
                runStalinSort(window);
            beginShuffle(window, QString::number(counts[random.bounded(int(counts.size()))]));
            QVERIFY(finishShuffle(window) >= 0);
            QCOMPARE(barsInScene(window).size(), window.items.size());
            QCOMPARE(window.values.size(), window.items.size());
        }
    }
};

QTEST_MAIN(TestShuffle)
#include "tst_shuffle.moc"

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "baritem.h"
#include "barpainter.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>
#include <QTest>

#include <cmath>

// The bars: their colours and rectangles, how a count is read, and the two
// ways a bar changes (swap, removal).
class TestBars : public QObject
{
    Q_OBJECT

private slots:
    void hues_data();
    void hues();
    void rectangles_data();
    void rectangles();
    void stepFactorStaysWhole_data();
    void stepFactorStaysWhole();
    void fractionalCount();
    void firstBuildIsSilent();
    void laterBuildStartsShuffle();
    void badCounts_data();
    void badCounts();
    void swap_data();
    void swap();
    void swapTwiceRestores();
    void destroy_data();
    void destroy();
    void sceneRectAsQtGrowsIt();
    void pixelsAsQtPaints_data();
    void pixelsAsQtPaints();
    void edgeHalfwayBetweenPixels_data();
    void edgeHalfwayBetweenPixels();

private:
    static QList<QRectF> rects(const MainWindow &window);
};

QList<QRectF> TestBars::rects(const MainWindow &window)
{
    QList<QRectF> result;
    for (const QGraphicsRectItem *item : window.items)
        result.append(item->rect());
    return result;
}

void TestBars::hues_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("hues"); // of the values 1..count

    // The divisor is count - 1: the value count - 1 comes round to red.
    QTest::newRow("2 bars") << 2 << QList<int>{0, 0};
    QTest::newRow("3 bars") << 3 << QList<int>{180, 0, 180};
    QTest::newRow("10 bars") << 10 << QList<int>{40, 80, 120, 160, 200, 240, 280, 320, 0, 40};
    QTest::newRow("7 bars") << 7 << QList<int>{60, 120, 180, 240, 300, 0, 60};
    QTest::newRow("single bar") << 1 << QList<int>{0};
}

void TestBars::hues()
{
    QFETCH(int, count);
    QFETCH(QList<int>, hues);

    MainWindow window;
    for (int value = 1; value <= count; ++value) {
        const QColor colour = window.getRainbowColor(value, count);
        QCOMPARE(colour.hsvHue(), hues[value - 1]);
        QCOMPARE(colour.hsvSaturation(), 255);
        QCOMPARE(colour.value(), 255);
        QCOMPARE(colour.alpha(), 255);
    }
}

void TestBars::rectangles_data()
{
    QTest::addColumn<float>("count");
    QTest::addColumn<float>("stepFactor");

    QTest::newRow("1500 bars overlap") << 1500.0f << 0.98f;
    QTest::newRow("51 bars overlap") << 51.0f << 0.98f;
    QTest::newRow("50 bars touch") << 50.0f << 1.0f;
    QTest::newRow("10 bars") << 10.0f << 1.0f;
    QTest::newRow("1 bar") << 1.0f << 1.0f;
}

void TestBars::rectangles()
{
    QFETCH(float, count);
    QFETCH(float, stepFactor);

    MainWindow window;
    showWithBars(window, count);
    const int n = int(count);
    QCOMPARE(window.barStepFactor, stepFactor);
    QCOMPARE(window.values.size(), n);
    QCOMPARE(window.items.size(), n);
    QCOMPARE(window.brushes.size(), n);
    QCOMPARE(barsInScene(window).size(), n);
    QCOMPARE(QSet<int>(window.values.cbegin(), window.values.cend()).size(), n);

    for (int k = 0; k < n; ++k) {
        const int value = window.values[k];
        QVERIFY(value >= 1 && value <= n);
        const QRectF rect = window.items[k]->rect();
        QCOMPARE(rect.x(), qreal(float(k) * (stepFactor * window.barWidth)));
        QCOMPARE(rect.width(), qreal(window.barWidth));
        QCOMPARE(rect.height(), qreal(std::trunc(float(value) * window.barUnitHeight)));
        QCOMPARE(rect.bottom(), 10.0);
        QCOMPARE(window.items[k]->pos(), QPointF());
        QCOMPARE(window.items[k]->zValue(), 0.0);
        QCOMPARE(window.items[k]->pen().style(), Qt::NoPen);
        QCOMPARE(window.items[k]->brush(), window.brushes[k]);
        QCOMPARE(window.brushes[k].style(), Qt::SolidPattern);
        QCOMPARE(window.brushes[k].color(), window.getRainbowColor(value, n));
    }
}

void TestBars::stepFactorStaysWhole_data()
{
    QTest::addColumn<float>("firstCount");
    QTest::addColumn<float>("stepFactor"); // after a second build with 1500 bars

    QTest::newRow("50 then 1500") << 50.0f << 1.0f;
    QTest::newRow("0 then 1500") << 0.0f << 1.0f;
    QTest::newRow("51 then 1500") << 51.0f << 0.98f;
}

void TestBars::stepFactorStaysWhole()
{
    QFETCH(float, firstCount);
    QFETCH(float, stepFactor);

    MainWindow window;
    showWithBars(window, firstCount);
    window.ui->itemNumberLineEdit->setText("1500");
    window.initializeData();
    QCOMPARE(window.barStepFactor, stepFactor);
}

void TestBars::fractionalCount()
{
    MainWindow window;
    showWithBars(window, 12.5f);
    QCOMPARE(window.ui->itemNumberLineEdit->text(), QString("12.5"));
    QCOMPARE(window.itemCount, 12.5f);
    QCOMPARE(window.values.size(), 13);
    QCOMPARE(window.barWidth, 1905.0f / 12.5f);
    QCOMPARE(window.barUnitHeight, 950.0f / 12.5f);
    QList<int> sorted = window.values;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted.first(), 1);
    QCOMPARE(sorted.last(), 13);
}

void TestBars::firstBuildIsSilent()
{
    MainWindow window;
    showWithBars(window, 100);
    QCOMPARE(window.items.size(), 100);
    QVERIFY(!window.firstBuild);
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QVERIFY(!window.sortTimer->isActive());
    QVERIFY(!window.finishTimer->isActive());
    QVERIFY(!window.shuffling);
    QVERIFY(!window.needsReshuffle);
    QVERIFY(!window.startPending);
    QCOMPARE(window.swapCount, 0);
}

void TestBars::laterBuildStartsShuffle()
{
    MainWindow window;
    showWithBars(window, 100);
    const QList<QGraphicsRectItem *> items = window.items;
    const QList<int> values = window.values;
    window.swapCount = 7;

    window.initializeData();
    QCOMPARE(window.swapCount, 0);
    QCOMPARE(window.tone.getStatus(), sf::Sound::Playing);
    QVERIFY(window.sortTimer->isActive());
    QCOMPARE(window.sortTimer->interval(), 15);
    QVERIFY(window.shuffling);
    QVERIFY(window.needsReshuffle);
    // The bars wait for the animation.
    QCOMPARE(window.items, items);
    QCOMPARE(window.values, values);
    QCOMPARE(window.shuffledValues.size(), 100);
}

void TestBars::badCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("itemCount");
    QTest::addColumn<QString>("shownText"); // in the field afterwards

    QTest::newRow("empty") << "" << 0.0f << "";
    QTest::newRow("letters") << "abc" << 0.0f << "abc";
    QTest::newRow("negative") << "-5" << 0.0f << "-5";
    QTest::newRow("nan") << "nan" << 0.0f << "nan";
    QTest::newRow("huge") << "1e30" << MainWindow::maxItemCount << "100000";
    QTest::newRow("inf") << "inf" << MainWindow::maxItemCount << "100000";
    QTest::newRow("just above the limit") << "100001" << MainWindow::maxItemCount << "100000";
    QTest::newRow("the limit") << "100000" << MainWindow::maxItemCount << "100000";
    QTest::newRow("beyond float") << "1e39" << MainWindow::maxItemCount << "100000";
    QTest::newRow("below float") << "-1e39" << 0.0f << "-1e39";
    // Read in the C locale: a decimal comma does not parse.
    QTest::newRow("decimal comma") << "1,5" << 0.0f << "1,5";
    QTest::newRow("spaces") << " 12 " << 12.0f << " 12 ";
}

// Built as a later build (the animation is armed but never runs), so that
// the clamped counts do not create their bars.
void TestBars::badCounts()
{
    QFETCH(QString, text);
    QFETCH(float, itemCount);
    QFETCH(QString, shownText);

    MainWindow window;
    showWithBars(window, 3);
    window.ui->itemNumberLineEdit->setText(text);
    window.initializeData();
    QCOMPARE(window.itemCount, itemCount);
    QCOMPARE(window.shuffledValues.size(), qsizetype(itemCount));
    QCOMPARE(window.ui->itemNumberLineEdit->text(), shownText);
    QVERIFY(std::isfinite(window.barWidth) || itemCount == 0);
    QVERIFY(window.sortTimer->interval() >= 1);
}

void TestBars::swap_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("j");
    QTest::addColumn<bool>("countSwap");

    QTest::newRow("counted") << 1 << 4 << true;
    QTest::newRow("not counted") << 1 << 4 << false;
    QTest::newRow("right to left") << 6 << 0 << true;
    QTest::newRow("neighbours") << 2 << 3 << true;
    QTest::newRow("same slot, counted") << 5 << 5 << true;
    QTest::newRow("same slot, not counted") << 5 << 5 << false;
}

void TestBars::swap()
{
    QFETCH(int, i);
    QFETCH(int, j);
    QFETCH(bool, countSwap);

    MainWindow window;
    showWithBars(window, 7);
    arrange(window, {3, 7, 1, 6, 2, 5, 4});
    window.swapCount = 10;
    const QList<int> values = window.values;
    const QList<QBrush> brushes = window.brushes;
    const QList<QRectF> before = rects(window);

    window.swapItems(i, j, countSwap);

    // The tone takes the value that stood in slot i: 2 (v + 30) / N.
    QCOMPARE(window.tone.getPitch(), 2.0f * float(values[i] + 30) / 7.0f);
    QCOMPARE(window.swapCount, countSwap ? 11 : 10);
    QList<int> expected = values;
    expected.swapItemsAt(i, j);
    QCOMPARE(window.values, expected);
    QCOMPARE(window.brushes[i], brushes[j]);
    QCOMPARE(window.brushes[j], brushes[i]);
    QCOMPARE(window.items[i]->brush(), brushes[j]);
    QCOMPARE(window.items[j]->brush(), brushes[i]);
    for (int k : {i, j}) {
        const QRectF rect = window.items[k]->rect();
        const QRectF slot = before[k];
        QCOMPARE(rect.x(), slot.x());
        QCOMPARE(rect.width(), slot.width());
        QCOMPARE(rect.bottom(), 10.0);
        // The height travels with the value, whatever the slot.
        QCOMPARE(rect.height(), qreal(std::trunc(float(window.values[k]) * window.barUnitHeight)));
        QCOMPARE(window.brushes[k].color(), window.getRainbowColor(window.values[k], 7));
    }
    for (int k = 0; k < 7; ++k)
        if (k != i && k != j)
            QCOMPARE(window.items[k]->rect(), before[k]);
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QVERIFY(!window.sortTimer->isActive());
}

void TestBars::swapTwiceRestores()
{
    MainWindow window;
    showWithBars(window, 40);
    const QList<int> values = window.values;
    const QList<QBrush> brushes = window.brushes;
    const QList<QRectF> before = rects(window);

    window.swapItems(3, 31, true);
    window.swapItems(3, 31, true);
    QCOMPARE(window.values, values);
    QCOMPARE(window.brushes, brushes);
    QCOMPARE(rects(window), before);
    QCOMPARE(window.swapCount, 2);
}

void TestBars::destroy_data()
{
    QTest::addColumn<QList<int>>("removals");  // indices, in call order
    QTest::addColumn<QList<int>>("remaining"); // original slots left, in order

    QTest::newRow("first") << QList<int>{0} << QList<int>{1, 2, 3, 4};
    QTest::newRow("middle") << QList<int>{2} << QList<int>{0, 1, 3, 4};
    QTest::newRow("last") << QList<int>{4} << QList<int>{0, 1, 2, 3};
    QTest::newRow("two from the front") << QList<int>{0, 0} << QList<int>{2, 3, 4};
    QTest::newRow("every other") << QList<int>{1, 2} << QList<int>{0, 2, 4};
    QTest::newRow("all") << QList<int>{0, 0, 0, 0, 0} << QList<int>{};
}

void TestBars::destroy()
{
    QFETCH(QList<int>, removals);
    QFETCH(QList<int>, remaining);

    MainWindow window;
    showWithBars(window, 5);
    const QList<int> values = window.values;
    const QList<QBrush> brushes = window.brushes;
    const QList<QGraphicsRectItem *> items = window.items;
    const QList<QRectF> before = rects(window);
    window.swapCount = 3;

    for (int index : removals)
        window.destroyItem(index);

    QCOMPARE(window.values.size(), remaining.size());
    QCOMPARE(window.brushes.size(), remaining.size());
    QCOMPARE(window.items.size(), remaining.size());
    for (int k = 0; k < remaining.size(); ++k) {
        const int slot = remaining[k];
        QCOMPARE(window.values[k], values[slot]);
        QCOMPARE(window.brushes[k], brushes[slot]);
        QCOMPARE(window.items[k], items[slot]);
        QCOMPARE(window.items[k]->rect(), before[slot]);
    }
    const QList<QGraphicsItem *> inScene = barsInScene(window);
    QCOMPARE(QSet<QGraphicsItem *>(inScene.cbegin(), inScene.cend()),
             QSet<QGraphicsItem *>(window.items.cbegin(), window.items.cend()));
    QCOMPARE(window.itemCount, 5.0f);
    QCOMPARE(window.swapCount, 3);
}

// The scene's rectangle is the one Qt would grow from the bars alone: the
// union of every bar ever added, never smaller, announced when it grows.
// Qt's own is read from a scene that gets a copy of every bar and keeps it.
void TestBars::sceneRectAsQtGrowsIt()
{
    MainWindow window;
    QSignalSpy grown(window.scene, &QGraphicsScene::sceneRectChanged);
    showWithBars(window, 1500);
    QGraphicsScene qtScene;
    const auto compare = [&](const char *when) {
        const QRectF before = qtScene.sceneRect();
        for (const QGraphicsRectItem *bar : std::as_const(window.items))
            qtScene.addRect(bar->rect(), bar->pen(), bar->brush());
        QVERIFY2(window.scene->sceneRect() == qtScene.sceneRect(), when);
        QVERIFY2(grown.isEmpty() == (qtScene.sceneRect() == before), when);
        if (!grown.isEmpty())
            QVERIFY2(grown.last().at(0).toRectF() == qtScene.sceneRect(), when);
        grown.clear();
    };
    compare("first row");
    // Up to 50 bars stand side by side, and the row grows wider.
    for (const int count : {12, 1500, 5, 0, 40}) {
        window.ui->itemNumberLineEdit->setText(QString::number(count));
        window.reset();
        window.sortTimer->stop();
        while (window.shuffling)
            window.animateRandomization();
        compare(qPrintable(QString("rebuilt to %1").arg(count)));
        QVERIFY(!QTest::currentTestFailed());
    }
    window.StalinSort();
    window.sortTimer->stop();
    while (!window.finishTimer->isActive())
        window.StalinSortStep();
    compare("after a Stalin sort");
}

void TestBars::pixelsAsQtPaints_data()
{
    QTest::addColumn<float>("count");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<qreal>("scale");    // of the painter: device pixels per window pixel
    QTest::addColumn<QString>("moment"); // what the row is doing

    for (const QSize screen : {QSize(1920, 1080), QSize(3840, 2160)})
        for (const float count : {7.0f, 10.0f, 50.0f, 1500.0f, 20000.0f})
            QTest::addRow("%g bars, %dx%d", double(count), screen.width(), screen.height())
                << count << screen << qreal(1) << "shown";
    // Devices of scaled screens.
    QTest::newRow("1500 bars, scale 2") << 1500.0f << QSize(1920, 1080) << qreal(2) << "shown";
    QTest::newRow("1500 bars, scale 1.5") << 1500.0f << QSize(1920, 1080) << qreal(1.5) << "shown";
    // A frame repaints a few columns, whose edges cut bars.
    QTest::newRow("1500 bars, columns") << 1500.0f << QSize(1920, 1080) << qreal(1) << "columns";
    QTest::newRow("20000 bars, columns") << 20000.0f << QSize(3840, 2160) << qreal(1) << "columns";
    // Half way through building a row of another count over the old one,
    // and columns after bars were taken out of the row.
    QTest::newRow("1500 bars, rebuilding") << 1500.0f << QSize(1920, 1080) << qreal(1) << "rebuilding";
    // The bars are held in groups of a few hundred: many groups, and a new
    // row whose groups stand over those of the old one.
    QTest::newRow("100000 bars") << 100000.0f << QSize(1920, 1080) << qreal(1) << "shown";
    QTest::newRow("100000 bars, columns") << 100000.0f << QSize(1920, 1080) << qreal(1) << "columns";
    QTest::newRow("20000 bars, rebuilding") << 20000.0f << QSize(1920, 1080) << qreal(1) << "rebuilding";
    QTest::newRow("100000 bars, rebuilding") << 100000.0f << QSize(1920, 1080) << qreal(1) << "rebuilding";
    // A Stalin sort leaves bars here and there: the new row, of the same
    // count, is built over them, bar for bar.
    for (const float count : {1500.0f, 20000.0f, 100000.0f})
        QTest::addRow("%g bars, rebuilding over a Stalin sort's", double(count))
            << count << QSize(1920, 1080) << qreal(1) << "rebuilding over";
    QTest::newRow("1500 bars, removed") << 1500.0f << QSize(1920, 1080) << qreal(1) << "removed";
}

// The bars fill exactly the pixels that Qt fills for its own rectangle
// items: the window rendered as it is, and again as Qt's view paints a
// scene of plain QGraphicsRectItem with the same rectangles, brushes and
// pens, in the same order, over the view's own background.
void TestBars::pixelsAsQtPaints()
{
    QFETCH(float, count);
    QFETCH(QSize, screen);
    QFETCH(qreal, scale);
    QFETCH(QString, moment);

    MainWindow window;
    showWithBars(window, count, screen);
    QCOMPARE(window.items.size(), qsizetype(count));
    if (moment == "rebuilding over") {
        window.StalinSort();
        window.sortTimer->stop();
        while (!window.finishTimer->isActive())
            window.StalinSortStep();
        QVERIFY(window.items.size() < int(count) / 100);
    }
    if (moment.startsWith("rebuilding")) {
        // Two thirds of the count, or the same, a little less than half way.
        if (moment == "rebuilding")
            window.ui->itemNumberLineEdit->setText(QString::number(int(count) * 2 / 3));
        window.reset();
        window.sortTimer->stop();
        for (int tick = 0; tick < int(count) * 7 / 15; ++tick)
            window.animateRandomization();
        QVERIFY(window.shuffling);
    }
    QRegion region(window.rect());
    if (moment == "columns" || moment == "removed") {
        const QRect view(window.ui->sortGraphicView->mapTo(&window, QPoint()),
                         window.ui->sortGraphicView->size());
        region = QRegion();
        for (int x = view.left() + 3; x < view.right(); x += 97)
            region += QRect(x, view.top(), 1 + x % 5, view.height());
    }
    // Only what lies inside the region counts: outside it, a paint may
    // leave anything.
    const auto render = [&] {
        QImage image((QSizeF(window.size()) * scale).toSize(), QImage::Format_RGB32);
        image.fill(Qt::magenta); // what nothing paints over
        QPainter painter(&image);
        painter.scale(scale, scale);
        // At its own place: render() puts the region's corner at the offset.
        window.render(&painter, region.boundingRect().topLeft(), region);
        QImage inside(image.size(), QImage::Format_RGB32);
        inside.fill(Qt::white);
        QPainter clipped(&inside);
        clipped.scale(scale, scale);
        clipped.setClipRegion(region);
        clipped.resetTransform();
        clipped.drawImage(0, 0, image);
        return inside;
    };
    if (moment == "removed") {
        render(); // a paint that sees the full row
        for (int k = int(window.items.size()) - 1; k >= 0; k -= 7)
            window.destroyItem(k);
    }
    const QImage bars = render();

    QGraphicsScene plain;
    plain.setSceneRect(window.scene->sceneRect());
    for (const QGraphicsRectItem *bar : std::as_const(window.items))
        plain.addRect(bar->rect(), bar->pen(), bar->brush());
    QGraphicsView *view = window.ui->sortGraphicView;
    QWidget *viewport = view->viewport();
    const QTransform shown = view->viewportTransform();
    view->setScene(&plain);
    viewport->removeEventFilter(window.barPainter);
    viewport->setAttribute(Qt::WA_OpaquePaintEvent, false);
    // The same scene rectangle, so the same place in the view.
    QCOMPARE(view->viewportTransform(), shown);
    const QImage qtBars = render();
    view->setScene(window.scene);
    QCOMPARE(bars, qtBars);
}

void TestBars::edgeHalfwayBetweenPixels_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QPointF>("offset"); // device pixels
    QTest::addColumn<qreal>("scale");

    // Edges that fall halfway between two pixel rows, where the raster
    // engine's rounding sends them to the upper or the lower one (rounding to
    // the nearest pixel gets each of these wrong).
    QTest::newRow("scale 1") << QRectF(141.156113f, 11, 4.80122805f, 49) << QPointF(0, 2.5) << qreal(1);
    QTest::newRow("scale 1, narrow") << QRectF(53.3551216f, 2, 1.39600003f, 58) << QPointF(1.5, 7.5)
                                     << qreal(1);
    QTest::newRow("scale 1.5") << QRectF(53.9293022f, 8, 3.05721664f, 52) << QPointF(2.5, 3.5) << qreal(1.5);
    QTest::newRow("scale 1.75") << QRectF(23.5653706f, 12, 1.41448796f, 48) << QPointF(9.5, 5.5)
                                << qreal(1.75);
    QTest::newRow("scale 2") << QRectF(2.26413417f, 15, 2.31034088f, 45) << QPointF(3.5, 9.5) << qreal(2);
    QTest::newRow("scale 2, under a pixel wide")
        << QRectF(9.24941158f, 0, 0.363006711f, 60) << QPointF(9, 3.5) << qreal(2);
}

// One bar painted by itself and by Qt's rectangle item, in a painter that
// puts its edges between pixels.
void TestBars::edgeHalfwayBetweenPixels()
{
    QFETCH(QRectF, rect);
    QFETCH(QPointF, offset);
    QFETCH(qreal, scale);

    const auto paint = [&](QGraphicsRectItem &item) {
        item.setBrush(Qt::white);
        item.setPen(QPen(Qt::NoPen));
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.translate(offset);
        painter.scale(scale, scale);
        const QStyleOptionGraphicsItem option;
        item.paint(&painter, &option, nullptr);
        return image;
    };
    BarItem bar(rect);
    QGraphicsRectItem qtBar(rect);
    QCOMPARE(paint(bar), paint(qtBar));
}

QTEST_MAIN(TestBars)
#include "tst_bars.moc"

// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "baritem.h"
#include "barpainter.h"
#include "framelimiter.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QPen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <random>

void MainWindow::UpdtateItemSize()
{
    const float viewWidth = float(windowWidth - margin);
    const float viewHeight = float(windowHeight - topBarHeight - margin - 15);
    const float half = float(margin / 2);
    barWidth = (viewWidth - half) / itemCount;
    barUnitHeight = (viewHeight - half) / itemCount;
}

QColor MainWindow::getRainbowColor(int value, int count)
{
    // A single bar has no spread of hues to take a share of: it is red.
    if (count <= 1)
        return QColor::fromHsv(0, 255, 255, 255);
    const int hue = int(std::trunc(value * (360.0 / (count - 1)))) % 360;
    return QColor::fromHsv(hue, 255, 255, 255);
}

void MainWindow::addBar(int slot, int value, int count)
{
    const int h = int(float(value) * barUnitHeight);
    const float x = float(slot) * (barStepFactor * barWidth);
    auto *bar = new BarItem(QRectF(x, 10 - h, barWidth, h));
    brushes.append(QBrush(getRainbowColor(value, count), Qt::SolidPattern));
    bar->setBrush(brushes.last());
    bar->setPen(QPen(Qt::NoPen));
    // Into the scene once it has no pen: the scene grows by its outline.
    barGroups.add(bar);
    items.append(bar);
    barPainter->rowChanged();
    frameLimiter->barChanged(bar->rect());
}

void MainWindow::initializeData()
{
    swapCount = 0;

    // NaN and anything above the limit would freeze the program or make
    // geometry of nothing: clamp them, and show the count actually used.
    const double requested = ui->itemNumberLineEdit->text().toFloat();
    itemCount = std::isnan(requested) ? 0.0f : float(std::max(requested, 0.0));
    if (itemCount > maxItemCount) {
        itemCount = maxItemCount;
        ui->itemNumberLineEdit->setText(QString("%1").arg(double(itemCount)));
    }

    UpdtateItemSize();
    if (itemCount <= 50)
        barStepFactor = 1.0f;

    quickStack.clear();
    shuffledValues.clear();
    for (int i = 1; float(i - 1) < itemCount; ++i)
        shuffledValues.append(i);

    std::random_device device;
    std::mt19937 engine(device());
    std::shuffle(shuffledValues.begin(), shuffledValues.end(), engine);

    if (firstBuild) {
        firstBuild = false;
        values = shuffledValues;
        for (int j = 0; j < values.size(); ++j)
            addBar(j, values[j], int(values.size()));
        barGroups.growSceneRect();
        return;
    }

    leftIndex = rightIndex = innerIndex = 0;
    shuffleStep = 1;
    previousCount = float(values.size());
    const float newCount = float(shuffledValues.size());
    // A Stalin sort may leave as many bars as requested but not the values
    // 1..N: the swaps into place could not find them, so rebuild the row.
    shuffleReorders =
        previousCount == newCount
        && (values.isEmpty() || *std::max_element(values.begin(), values.end()) == values.size());
    // With no bars on one side the ratio is never used; keep it at 1.
    if (previousCount > newCount) {
        shrinkStep = newCount > 0 ? int(std::ceil(previousCount / newCount)) : 1;
        growStep = 1;
    } else {
        growStep = previousCount > 0 ? int(std::floor(newCount / previousCount)) : 1;
        shrinkStep = 1;
    }

    tone.play();
    QObject::disconnect(sortTimer, nullptr, nullptr, nullptr);
    connect(sortTimer, &QTimer::timeout, this, &MainWindow::animateRandomization);
    // No bars before or after: nothing to spread the animation over.
    const double larger = std::max(double(previousCount), double(itemCount));
    sortTimer->start(larger > 0 ? int(std::max(shuffleDuration / larger, 1.0)) : 1);
    needsReshuffle = true;
    shuffling = true;
}

void MainWindow::swapItems(int i, int j, bool countSwap)
{
    stepHistory.swapping(i, j);
    updateFrequency(values[i], int(itemCount));
    if (countSwap)
        swapCount += 1;
    values.swapItemsAt(i, j);
    brushes.swapItemsAt(i, j);

    const QRectF a = items[i]->rect();
    const QRectF b = items[j]->rect();
    items[i]->setRect(QRectF(a.x(), a.y() + a.height() - b.height(), a.width(), b.height()));
    items[j]->setRect(QRectF(b.x(), b.y() + b.height() - a.height(), b.width(), a.height()));
    items[i]->setBrush(brushes[i]);
    items[j]->setBrush(brushes[j]);
    frameLimiter->barChanged(a);
    frameLimiter->barChanged(b);
}

void MainWindow::destroyItem(int index)
{
    stepHistory.removing(index);
    values.removeAt(index);
    brushes.removeAt(index);
    QGraphicsRectItem *bar = items[index];
    frameLimiter->barChanged(bar->rect());
    barGroups.remove(bar);
    items.removeAt(index);
    barPainter->rowChanged();
}

void MainWindow::restoreItem(int index, int value, const QBrush &brush, const QRectF &rect)
{
    auto *bar = new BarItem(rect);
    bar->setBrush(brush);
    bar->setPen(QPen(Qt::NoPen));
    // Under the bar now in its slot, as it was before it left.
    barGroups.insert(bar, index < items.size() ? items[index] : nullptr);
    values.insert(index, value);
    brushes.insert(index, brush);
    items.insert(index, bar);
    barPainter->rowChanged();
    frameLimiter->barChanged(rect);
}

void MainWindow::animateRandomization()
{
    const int newCount = int(shuffledValues.size());
    bool finished = false;

    if (shuffleReorders) {
        if (itemCount > float(shuffleStep)) {
            const int p = int(values.indexOf(shuffleStep));
            const int q = int(shuffledValues.indexOf(shuffleStep));
            swapItems(q, p, false);
            shuffleStep += 1;
        }
        finished = float(shuffleStep) >= itemCount;
    } else {
        const int t = rightIndex;
        if (leftIndex < newCount && t % shrinkStep == 0) {
            const int value = shuffledValues[leftIndex];
            addBar(leftIndex, value, newCount);
            barGroups.growSceneRect();
            updateFrequency(value, newCount);
            leftIndex += 1;
        }
        if (float(innerIndex) < previousCount && t % growStep == 0) {
            destroyItem(0);
            innerIndex += 1;
        }
        rightIndex += 1;
        finished = leftIndex >= newCount && float(innerIndex) >= previousCount;
    }
    if (!finished)
        return;

    shuffling = false;
    values = shuffledValues;
    sortTimer->stop();
    if (startPending) {
        needsReshuffle = true;
        algorithms[selectedAlgorithm]();
    } else {
        needsReshuffle = false;
        tone.stop();
    }
}

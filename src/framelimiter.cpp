// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "framelimiter.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QScreen>

#include <algorithm>
#include <cmath>

FrameLimiter::FrameLimiter(QGraphicsView *view)
    : QObject(view)
    , view(view)
{
    // The view does not follow the scene by itself: every change of a bar
    // comes through barChanged. The bars are not antialiased, so the view
    // need not take in a pixel around each.
    view->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    view->setOptimizationFlag(QGraphicsView::DontAdjustForAntialiasing);
    // A grown scene moves every bar in the view.
    connect(view->scene(), &QGraphicsScene::sceneRectChanged, this, &FrameLimiter::repaintAll);
    nextFrame.setSingleShot(true);
    nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&nextFrame, &QTimer::timeout, this, &FrameLimiter::showFrame);
    afterFrame.setSingleShot(true);
    afterFrame.setInterval(0);
    connect(&afterFrame, &QTimer::timeout, this, &FrameLimiter::frameShown);
    sinceFrame.start();
    clock.start();
    // The window repaints on its update requests: their cost is timed.
    view->window()->installEventFilter(this);
}

int FrameLimiter::frameInterval(int screenFrameMs, qint64 frameCostNs)
{
    const qint64 costly = frameCostNs * 20 / 1000000;
    return int(std::max<qint64>(screenFrameMs, std::min<qint64>(costly, slowestFrameMs)));
}

int FrameLimiter::currentInterval() const
{
    const qreal rate = view->screen() ? view->screen()->refreshRate() : 0;
    return frameInterval(int(1000 / (rate >= 24 ? rate : 60)), frameCostNs);
}

bool FrameLimiter::eventFilter(QObject *watched, QEvent *event)
{
    // The type first, as the view may be half destroyed at other events.
    if (event->type() == QEvent::UpdateRequest && frameStartNs < 0 && watched == view->window()) {
        frameStartNs = clock.nsecsElapsed();
        // Fires once the window has painted and flushed.
        afterFrame.start();
    }
    return false;
}

void FrameLimiter::frameShown()
{
    const qint64 cost = clock.nsecsElapsed() - frameStartNs;
    frameStartNs = -1;
    // Smoothed, so that one slow frame does not halve the rate at once.
    frameCostNs = (3 * frameCostNs + std::max<qint64>(cost, 0)) / 4;
}

void FrameLimiter::barChanged(const QRectF &area)
{
    std::pair<qreal, qreal> added(area.left(), area.right());
    // Joins the columns that the new one meets; the list stays sorted.
    auto first = std::lower_bound(columns.begin(), columns.end(), added,
                                  [](const auto &c, const auto &a) { return c.second < a.first; });
    auto last = first;
    while (last != columns.end() && last->first <= added.second) {
        added.first = std::min(added.first, last->first);
        added.second = std::max(added.second, last->second);
        ++last;
    }
    const qsizetype at = first - columns.begin();
    columns.erase(first, last);
    columns.insert(at, added);

    if (columns.size() > maxColumns) {
        // Joins the two neighbours with the narrowest gap between them.
        qsizetype narrowest = 0;
        for (qsizetype k = 1; k + 1 < columns.size(); ++k) {
            if (columns[k + 1].first - columns[k].second
                < columns[narrowest + 1].first - columns[narrowest].second)
                narrowest = k;
        }
        columns[narrowest].second = columns[narrowest + 1].second;
        columns.removeAt(narrowest + 1);
    }

    scheduleFrame();
}

void FrameLimiter::repaintAll()
{
    wholeView = true;
    scheduleFrame();
}

void FrameLimiter::scheduleFrame()
{
    if (nextFrame.isActive())
        return;
    nextFrame.start(int(std::max<qint64>(currentInterval() - sinceFrame.elapsed(), 0)));
}

void FrameLimiter::showFrame()
{
    sinceFrame.restart();
    QRegion region;
    if (wholeView) {
        wholeView = false;
        region = view->viewport()->rect();
    }
    const int height = view->viewport()->height();
    const QTransform toView = view->viewportTransform();
    for (const auto &[left, right] : std::as_const(columns)) {
        // Bars are not antialiased: the pixels a bar fills lie between
        // its edges taken outward.
        const int x0 = int(std::floor(toView.map(QPointF(left, 0)).x()));
        const int x1 = int(std::ceil(toView.map(QPointF(right, 0)).x()));
        region += QRect(x0, 0, x1 - x0, height);
    }
    columns.clear();
    lastRegion = region;
    view->viewport()->update(region);
}

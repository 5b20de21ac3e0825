// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "barpainter.h"

#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>

BarPainter::BarPainter(QGraphicsView *view, const QList<QGraphicsRectItem *> &bars)
    : QObject(view)
    , view(view)
    , bars(bars)
{
    // Whatever paints the view fills its background first (below), so the
    // widgets behind it need not paint theirs under every changed bar.
    view->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    view->viewport()->installEventFilter(this);
}

bool BarPainter::inSlotOrder()
{
    if (!positionsRead) {
        lefts.resize(size_t(bars.size()));
        rights.resize(size_t(bars.size()));
        for (qsizetype k = 0; k < bars.size(); ++k) {
            const QRectF rect = bars[k]->rect();
            lefts[size_t(k)] = rect.left();
            rights[size_t(k)] = rect.right();
        }
        sorted = std::is_sorted(lefts.begin(), lefts.end()) && std::is_sorted(rights.begin(), rights.end());
        positionsRead = true;
    }
    return sorted;
}

bool BarPainter::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the viewport also sends events while the view is
    // being destroyed, when the view can no longer be asked for anything.
    if (event->type() != QEvent::Paint || watched != view->viewport())
        return false;
    const QRegion region = static_cast<QPaintEvent *>(event)->region();
    QPainter painter(view->viewport());
    // The colour the style sheet gives the view.
    const QBrush background = view->viewport()->palette().brush(view->viewport()->backgroundRole());
    // A repaint of the whole view visits every bar anyway, and the scene
    // counts on the view drawing through it now and then: until it does,
    // the scene takes itself for out of date all through and stops
    // following its items. The view paints those itself.
    const bool byPosition = inSlotOrder() && !(QRegion(view->viewport()->rect()) - region).isEmpty();
    const QTransform toView = view->viewportTransform();
    const QTransform toScene = toView.inverted();
    const QStyleOptionGraphicsItem option;
    for (const QRect &rect : region) {
        // Each rectangle by itself: a bar that its edge cuts is still filled
        // as one rectangle, where the whole region would cut it into rows.
        painter.setClipRect(rect);
        painter.fillRect(rect, background);
        if (!byPosition)
            continue;
        // The bars that reach the rectangle, in slot order.
        const QRectF area = toScene.mapRect(QRectF(rect));
        const qsizetype first = std::upper_bound(rights.begin(), rights.end(), area.left()) - rights.begin();
        const qsizetype last = std::lower_bound(lefts.begin(), lefts.end(), area.right()) - lefts.begin();
        if (first >= last)
            continue;
        painter.setWorldTransform(toView);
        for (qsizetype k = first; k < last; ++k)
            bars[k]->paint(&painter, &option, view->viewport());
        painter.resetTransform();
    }
    return byPosition;
}

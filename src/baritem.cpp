// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "baritem.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <utility>

namespace {

// Whether two device coordinates fall within 1/64 pixel, as the raster
// engine's test of a degenerate edge has it.
bool within64th(qreal a, qreal b)
{
    return int((b - a) * 64.) == 0;
}

} // namespace

QRect BarItem::filledPixels(const QRectF &rect, const QTransform &toDevice)
{
    // The raster engine's own steps, with its rounding, so that every edge
    // falls on the same pixel even where it lies exactly halfway between
    // two: it draws the rectangle as a line joining the middles of its left
    // and right edges, as thick as the rectangle is high, turns that line
    // upright and fills the pixels whose centres lie inside.
    const QRectF r = rect.normalized();
    if (r.isEmpty())
        return {};
    const QPointF a = toDevice.map((r.topLeft() + r.bottomLeft()) * 0.5f);
    const QPointF b = toDevice.map((r.topRight() + r.bottomRight()) * 0.5f);
    qreal thickness = r.height() / r.width();
    if (a == b || !(thickness > 0.0))
        return {};

    const qreal x = (a.x() + b.x()) * 0.5f;
    const qreal halfLength = std::abs(b.x() - a.x()) * 0.5f;
    const qreal halfHeight = thickness * halfLength;
    QPointF top(x, a.y() - halfHeight);
    QPointF bottom(x, a.y() + halfHeight);
    thickness = 1 / thickness;
    if (top.y() > bottom.y())
        std::swap(top, bottom);
    const qreal halfWidth = 0.5f * thickness * (bottom.y() - top.y());
    const qreal left = top.x() - halfWidth;
    const qreal right = top.x() + halfWidth;
    if (within64th(left, right) || within64th(top.y(), bottom.y()))
        return {};

    // Rounded as the raster engine rounds: truncated toward zero, which
    // lround is not above or left of the device.
    const int firstRow = int(top.y() + 0.5f); // NOLINT(bugprone-incorrect-roundings)
    const int lastRow = bottom.y() < 0.5f ? -1 : int(bottom.y() - 0.5f);
    const int firstColumn = int(left + 0.5f); // NOLINT(bugprone-incorrect-roundings)
    const int lastColumn = right < 0.5f ? -1 : int(right - 0.5f);
    if (lastRow < firstRow || lastColumn < firstColumn)
        return {};
    return QRect(QPoint(firstColumn, firstRow), QPoint(lastColumn, lastRow));
}

void BarItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    const QTransform toDevice = painter->deviceTransform();
    const bool plainBar = pen().style() == Qt::NoPen && brush().style() == Qt::SolidPattern
                          && brush().isOpaque() && toDevice.type() <= QTransform::TxScale
                          && !painter->testRenderHint(QPainter::Antialiasing)
                          && painter->paintEngine()->type() == QPaintEngine::Raster;
    if (!plainBar) {
        QGraphicsRectItem::paint(painter, option, widget);
        return;
    }
    const QRect pixels = filledPixels(rect(), toDevice);
    if (pixels.isEmpty())
        return;
    // Back through the painter's transform, to land on the same whole
    // pixels: the raster engine fills a rectangle so placed directly.
    painter->fillRect(toDevice.inverted().mapRect(QRectF(pixels)), brush().color());
}

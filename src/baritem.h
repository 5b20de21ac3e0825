// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BARITEM_H
#define BARITEM_H

#include <QGraphicsRectItem>
#include <QRect>

class QTransform;

// A bar of the row: Qt's rectangle item, painted faster.
//
// Qt's raster engine draws a rectangle with fractional edges by scan
// converting it one pixel row at a time, which costs a tall bar 10 to 20 µs
// and made a frame of scattered bars take milliseconds. A bar is solid and
// upright, so the pixels it covers form one whole-pixel rectangle: this item
// works that rectangle out as the raster engine would and fills it at once.
class BarItem : public QGraphicsRectItem
{
public:
    using QGraphicsRectItem::QGraphicsRectItem;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // The device pixels that Qt's raster engine fills for `rect` drawn
    // without antialiasing, through a transform that neither rotates nor
    // shears, where no clip cuts the rectangle.
    static QRect filledPixels(const QRectF &rect, const QTransform &toDevice);
};

#endif // BARITEM_H

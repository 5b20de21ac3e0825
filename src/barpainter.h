// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BARPAINTER_H
#define BARPAINTER_H

#include <QList>
#include <QObject>

#include <vector>

class QGraphicsRectItem;
class QGraphicsView;

// Paints the bars' view in place of the view itself: the background, then
// the bars that the painted region reaches, in their stacking order.
//
// The view finds what to paint by visiting every item of the scene, which
// cost a frame as much as painting did with a thousand bars and more. The
// bars stand side by side in slot order, so the few a column reaches are
// found by position instead. The view still paints the whole of itself,
// and the bars while the shuffle animation builds a new row over the old
// one, when they are not in slot order.
class BarPainter : public QObject
{
public:
    BarPainter(QGraphicsView *view, const QList<QGraphicsRectItem *> &bars);

    // A bar was created or removed: the positions are read again.
    void rowChanged() { positionsRead = false; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inSlotOrder();

    QGraphicsView *view;
    const QList<QGraphicsRectItem *> &bars;
    // The scene x range of each bar, in the order of bars.
    std::vector<qreal> lefts;
    std::vector<qreal> rights;
    bool positionsRead = false;
    bool sorted = false;
};

#endif // BARPAINTER_H

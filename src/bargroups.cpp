// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bargroups.h"

#include <QGraphicsItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>

// Paints nothing: it only holds bars.
class BarGroup : public QGraphicsItem
{
public:
    BarGroup() { setFlag(ItemHasNoContents); }
    QRectF boundingRect() const override { return QRectF(); }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

    // Counted here: asking the item for its children sorts them first.
    int bars = 0;
};

BarGroups::BarGroups(QGraphicsScene *scene)
    : scene(scene)
{}

void BarGroups::add(QGraphicsRectItem *bar)
{
    // Bars and groups alike stack in the order they were made, so a new bar
    // covers all others, old row or new, whichever group takes it.
    if (!open || open->bars >= groupSize) {
        open = new BarGroup;
        scene->addItem(open);
    }
    bar->setParentItem(open);
    open->bars += 1;
    // The scene grows its rectangle by the bar's bounding rectangle.
    extent |= bar->boundingRect();
}

void BarGroups::insert(QGraphicsRectItem *bar, QGraphicsRectItem *next)
{
    if (!next) {
        add(bar);
        return;
    }
    auto *group = static_cast<BarGroup *>(next->parentItem());
    bar->setParentItem(group);
    bar->stackBefore(next);
    group->bars += 1;
}

void BarGroups::growSceneRect()
{
    if (extent != shown) {
        shown = extent;
        scene->setSceneRect(extent);
    }
}

void BarGroups::remove(QGraphicsRectItem *bar)
{
    auto *group = static_cast<BarGroup *>(bar->parentItem());
    scene->removeItem(bar);
    delete bar;
    group->bars -= 1;
    if (group->bars == 0) {
        if (group == open)
            open = nullptr;
        scene->removeItem(group);
        delete group;
    }
}

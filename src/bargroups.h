// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef BARGROUPS_H
#define BARGROUPS_H

#include <QRectF>

class BarGroup;
class QGraphicsRectItem;
class QGraphicsScene;

// Holds the bars of the scene in groups of a few hundred, made in slot order.
//
// After any change, the scene visits every item at its top level, which with
// 100,000 bars cost a tick milliseconds. Held in groups, the bars are visited
// only within a group that holds a changed bar. A group paints nothing and
// stands at the origin, so every bar's rectangle stays in scene coordinates,
// and the stacking stays as it was: a later bar covers an earlier one.
//
// The scene's rectangle is kept here too. Left to the scene, a read of it
// after a bar changed would measure every bar again; it is the union of every
// bar ever added, as the scene would make it, and never shrinks.
class BarGroups
{
public:
    explicit BarGroups(QGraphicsScene *scene);

    static constexpr int groupSize = 256;

    // Puts a new bar into the scene, above every bar there. The scene's
    // rectangle follows at growSceneRect(), once for a whole row: telling
    // the scene and its view of each bar's growth slowed the start-up.
    void add(QGraphicsRectItem *bar);
    void growSceneRect();
    // Puts a bar back into the scene just below `next`, the bar to its
    // right, or above every bar when there is none.
    void insert(QGraphicsRectItem *bar, QGraphicsRectItem *next);
    // Takes a bar out of the scene and deletes it, with its group if empty.
    void remove(QGraphicsRectItem *bar);

private:
    QGraphicsScene *scene;
    BarGroup *open = nullptr; // the group that takes the next bar
    QRectF extent;            // every bar ever added
    QRectF shown;             // the extent the scene was last given
};

#endif // BARGROUPS_H

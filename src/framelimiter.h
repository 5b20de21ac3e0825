// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef FRAMELIMITER_H
#define FRAMELIMITER_H

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRegion>
#include <QTimer>

#include <utility>

class QGraphicsView;
class QRectF;

// Repaints the bars' view at most once per frame of the screen, over a few
// whole-height columns that cover every bar changed since the last frame.
//
// Steps come every millisecond or at every pass of the event loop, far more
// often than a screen shows; repainting after each one cost more than the
// steps. Left to itself, the view would also hand the window the exact
// outline of every changed bar: a frame at full speed gathered thousands of
// thin rectangles of different heights, which a Wayland compositor receives
// as one damage request each, until the connection broke. Columns of the
// full height merge with their neighbours, and past maxColumns the closest
// ones are joined, so a frame's region stays small whatever the run does.
class FrameLimiter : public QObject
{
public:
    explicit FrameLimiter(QGraphicsView *view);

    static constexpr int maxColumns = 16;

    // Marks the scene area of a bar that was changed, created or removed.
    void barChanged(const QRectF &area);
    // The region handed to the view at the last frame (for the tests).
    QRegion lastFrame() const { return lastRegion; }

private:
    void repaintAll();
    void scheduleFrame();
    void showFrame();

    QGraphicsView *view;
    QList<std::pair<qreal, qreal>> columns; // changed scene x ranges, sorted, apart
    bool wholeView = false;
    QRegion lastRegion;
    QElapsedTimer sinceFrame;
    QTimer nextFrame;
};

#endif // FRAMELIMITER_H

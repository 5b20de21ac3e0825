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
//
// A frame that costs more than a twentieth of the time between frames puts
// the next ones off, down to 30 a second: each millisecond the window spends
// painting is a step that a 1 ms timer does not run. Some platforms make
// every frame dear whatever it shows, such as Qt 6.4 on a Wayland compositor
// that holds on to the last buffer, where each frame first copies the whole
// window.
class FrameLimiter : public QObject
{
public:
    explicit FrameLimiter(QGraphicsView *view);

    static constexpr int maxColumns = 48;
    static constexpr int slowestFrameMs = 1000 / 30;

    // The time from one frame to the next: the screen's, or twenty times
    // what a frame costs, up to slowestFrameMs.
    static int frameInterval(int screenFrameMs, qint64 frameCostNs);

    // Marks the scene area of a bar that was changed, created or removed.
    void barChanged(const QRectF &area);
    // The region handed to the view at the last frame (for the tests).
    QRegion lastFrame() const { return lastRegion; }
    // The time from one frame to the next as it stands now (for the tests).
    int currentInterval() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void repaintAll();
    void scheduleFrame();
    void showFrame();
    void frameShown();

    QGraphicsView *view;
    QList<std::pair<qreal, qreal>> columns; // changed scene x ranges, sorted, apart
    bool wholeView = false;
    QRegion lastRegion;
    QElapsedTimer sinceFrame;
    QTimer nextFrame;
    QTimer afterFrame; // the next pass of the event loop, once a frame is out
    QElapsedTimer clock;
    qint64 frameStartNs = -1; // while the window repaints
    qint64 frameCostNs = 0;   // smoothed over the last frames
};

#endif // FRAMELIMITER_H

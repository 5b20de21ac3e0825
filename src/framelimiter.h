#ifndef FRAMELIMITER_H
#define FRAMELIMITER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// While a timer runs, lets a window repaint at most once per frame of the
// screen. Steps come every millisecond or at every pass of the event loop,
// far more often than a screen shows; repainting after each one cost more
// than the steps and made the timer miss ticks. A repaint is only put off to
// the next frame, never dropped: the widgets keep what needs painting.
class FrameLimiter : public QObject
{
public:
    FrameLimiter(QWidget *window, const QTimer *timer);

protected:
    bool eventFilter(QObject *target, QEvent *event) override;

private:
    QWidget *window;
    const QTimer *timer;
    QElapsedTimer sinceFrame;
    QTimer nextFrame; // posts the repaint put off to the next frame
};

#endif // FRAMELIMITER_H

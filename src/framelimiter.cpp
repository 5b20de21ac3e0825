#include "framelimiter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

FrameLimiter::FrameLimiter(QWidget *window, const QTimer *timer)
    : QObject(window)
    , window(window)
    , timer(timer)
{
    nextFrame.setSingleShot(true);
    nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&nextFrame, &QTimer::timeout, this, [this] {
        QCoreApplication::postEvent(this->window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    });
    window->installEventFilter(this);
    sinceFrame.start();
}

bool FrameLimiter::eventFilter(QObject *target, QEvent *event)
{
    if (target != window || event->type() != QEvent::UpdateRequest)
        return false;
    const qreal rate = window->screen() ? window->screen()->refreshRate() : 0;
    const qint64 wait = qint64(1000 / (rate >= 24 ? rate : 60)) - sinceFrame.elapsed();
    if (!timer->isActive() || wait <= 0) {
        sinceFrame.restart();
        return false;
    }
    if (!nextFrame.isActive())
        nextFrame.start(int(wait));
    return true;
}

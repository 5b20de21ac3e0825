// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "announcer.h"

#include <QAccessible>
#include <QWidget>

Announcer::Announcer(QWidget *window)
    : window(window)
{}

void Announcer::announce(const QString &message)
{
    last = message;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(window, message);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    // The message must not stay with a widget the focus comes back to later.
    if (described && described != target)
        described->setAccessibleDescription(QString());
    described = target;
    // The same message twice in a row would be no change, and go unspoken.
    if (target->accessibleDescription() == message)
        target->setAccessibleDescription(QString());
    target->setAccessibleDescription(message); // tells the screen reader of the change
#endif
}

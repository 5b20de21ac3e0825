// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ANNOUNCER_H
#define ANNOUNCER_H

#include <QPointer>
#include <QString>

class QWidget;

// Speaks a short message through the screen reader, politely: the end of a
// run, a pause. A screen reader does not speak a label that changes away
// from the focus, so the counter alone would go unheard.
//
// Qt 6.8 sends a real announcement. Before it, neither Qt nor the screen
// readers of the time know announcements, and the message becomes the
// description of the focused widget, whose change a screen reader speaks.
class Announcer
{
public:
    explicit Announcer(QWidget *window);

    void announce(const QString &message);
    // The last message spoken (for the tests).
    const QString &lastMessage() const { return last; }

private:
    QWidget *window;
    QString last;
    QPointer<QWidget> described; // the widget that carries the last message
};

#endif // ANNOUNCER_H

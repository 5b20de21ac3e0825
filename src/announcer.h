// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ANNOUNCER_H
#define ANNOUNCER_H

#include <QPointer>
#include <QString>

class QMainWindow;
class QWidget;

// Speaks a short message through the screen reader, politely: the end of a
// run, a pause. A screen reader does not speak a label that changes away
// from the focus, so the counter alone would go unheard.
//
// Qt 6.8 sends a real announcement. Before it, neither Qt nor the screen
// readers of the time know announcements: the message is the name of a
// notice of the notification role in the status bar, shown anew for each
// message, which Orca speaks as it appears, without a role name. (A change
// of the focused widget's description reached Orca 43 without its text.)
class Announcer
{
public:
    explicit Announcer(QMainWindow *window);

    void announce(const QString &message);
    // The last message spoken (for the tests).
    const QString &lastMessage() const { return last; }

private:
    QMainWindow *window;
    QString last;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QPointer<QWidget> notice;
#endif
};

#endif // ANNOUNCER_H

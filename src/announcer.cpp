// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMainWindow>
#include <QStatusBar>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

// Paints nothing and takes no room; screen readers see a notification.
class Notice : public QWidget
{
public:
    explicit Notice(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(objectNameForNotices);
        setFixedSize(0, 0);
        setFocusPolicy(Qt::NoFocus);
    }

    static constexpr const char *objectNameForNotices = "announcementNotice";
};

QAccessibleInterface *noticeFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QWidget")
        && object->objectName() == QLatin1String(Notice::objectNameForNotices))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace
#endif

Announcer::Announcer(QMainWindow *window)
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
    if (!notice) {
        static const bool installed = [] {
            QAccessible::installFactory(noticeFactory);
            return true;
        }();
        Q_UNUSED(installed);
        notice = new Notice(window->statusBar());
    }
    // Hidden, renamed and shown again: the screen reader speaks its name as
    // it appears.
    notice->hide();
    notice->setAccessibleName(message);
    notice->show();
#endif
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/notification_sink.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

namespace ondalink {

// Desktop notifications through org.freedesktop.Notifications on the session bus. Where the bus or
// the service is missing, notify() does nothing (the event log still has the alarm). A clearing
// replaces the alarm's notification of the same element.
class DesktopNotifications : public QObject, public NotificationSink {
    Q_OBJECT
public:
    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject *parent = nullptr);

    void notify(const DesktopNotification &notification) override;
    // The service is there (asked of the bus at each call).
    bool isAvailable() const;

private:
    QDBusConnection m_bus;
    QHash<QString, uint> m_shown; // notification id by element key
};

} // namespace ondalink

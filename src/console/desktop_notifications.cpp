// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/desktop_notifications.h"

#include "model/log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;

} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)) {}

bool DesktopNotifications::isAvailable() const {
    return m_bus.isConnected() && m_bus.interface() &&
           m_bus.interface()->isServiceRegistered(kService).value();
}

void DesktopNotifications::notify(const DesktopNotification &notification) {
    if (!isAvailable())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, u"Notify"_s);
    QVariantMap hints;
    // Urgency: 2 critical for an alarm (stays until dismissed), 1 normal for its clearing.
    hints.insert(u"urgency"_s, QVariant::fromValue<uchar>(notification.alarm ? 2 : 1));
    if (const QString desktop = QGuiApplication::desktopFileName(); !desktop.isEmpty())
        hints.insert(u"desktop-entry"_s, desktop);
    const uint replaces = m_shown.value(notification.elementKey, 0);
    call << QGuiApplication::applicationDisplayName() << replaces
         << (notification.alarm ? u"dialog-warning"_s : u"dialog-information"_s) << notification.summary
         << notification.body << QStringList() << hints << (notification.alarm ? 0 : 10000);
    // Asynchronous: a slow notification daemon must not hold the window.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key = notification.elementKey](QDBusPendingCallWatcher *finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isValid())
                    m_shown.insert(key, reply.value());
                else
                    qCInfo(lcConsole).noquote() << "desktop notification failed:" << reply.error().message();
                finished->deleteLater();
            });
}

} // namespace ondalink

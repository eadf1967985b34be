// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace ondalink {

// Tells systemd how the service is (Type=notify): READY once it serves, STATUS lines, STOPPING,
// and the watchdog's keep-alive at half the interval the unit sets. Outside systemd (no
// NOTIFY_SOCKET) every call does nothing.
class SystemdNotify : public QObject {
    Q_OBJECT
public:
    explicit SystemdNotify(QObject *parent = nullptr);

    void ready(const QString &status);
    void status(const QString &status);
    void stopping();
    // The keep-alive's period; 0 when the unit has no watchdog.
    int watchdogIntervalMs() const { return m_watchdog.isActive() ? m_watchdog.interval() : 0; }

private:
    void send(const QByteArray &state);
    QTimer m_watchdog;
};

} // namespace ondalink

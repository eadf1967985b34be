// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/systemd_notify.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>

namespace ondalink {

SystemdNotify::SystemdNotify(QObject *parent) : QObject(parent) {
    uint64_t usec = 0;
    // The keep-alive goes from the event loop's own timer: a loop that hangs stops it, and systemd
    // restarts the service.
    if (sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        m_watchdog.setInterval(static_cast<int>(std::clamp<uint64_t>(usec / 2000, 1, 3600 * 1000)));
        connect(&m_watchdog, &QTimer::timeout, this, [this] { send("WATCHDOG=1"); });
        m_watchdog.start();
    }
}

void SystemdNotify::send(const QByteArray &state) {
    sd_notify(0, state.constData());
}

void SystemdNotify::ready(const QString &status) {
    send("READY=1\nSTATUS=" + status.toUtf8());
}

void SystemdNotify::status(const QString &status) {
    send("STATUS=" + status.toUtf8());
}

void SystemdNotify::stopping() {
    m_watchdog.stop();
    send("STOPPING=1");
}

} // namespace ondalink

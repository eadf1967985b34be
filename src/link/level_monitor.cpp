// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/level_monitor.h"

#include "link/datagrams.h"
#include "link/element_link.h"
#include "model/notifier.h"

#include <algorithm>

namespace ondalink {

LevelMonitor::LevelMonitor(ElementLink &link, Notifier &notifier, QObject *parent)
    : QObject(parent), m_link(link), m_notifier(notifier) {
    m_poll.setObjectName(QStringLiteral("levelPoll"));
    m_poll.setInterval(std::max(1, m_link.settings().levelIntervalMs));
    connect(&m_poll, &QTimer::timeout, this, &LevelMonitor::requestLevel);
    connect(&m_link, &ElementLink::levelReplyReceived, this, &LevelMonitor::showReply);
}

void LevelMonitor::setEnabled(bool enabled) {
    if (enabled == isEnabled())
        return;
    if (enabled) {
        m_poll.start();
    } else {
        m_poll.stop();
        Q_EMIT peakChanged(0);
    }
    Q_EMIT enabledChanged(enabled);
}

void LevelMonitor::setInterval(int milliseconds) {
    m_poll.setInterval(std::max(1, milliseconds));
}

void LevelMonitor::requestLevel() {
    const SendResult sent = m_link.requestLevel();
    if (sent.ok)
        return;
    // Off before the message box: its nested loop would otherwise tick and ask again and again.
    setEnabled(false);
    m_notifier.show({MessageId::MonitoringStopped, {sent.failure}});
}

void LevelMonitor::showReply(const QByteArray &reply) {
    // Switched off meanwhile: a late reply only blanks the display.
    Q_EMIT peakChanged(isEnabled() ? levelPeak(reply) : 0);
}

} // namespace ondalink

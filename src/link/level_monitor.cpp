// SPDX-License-Identifier: GPL-3.0-or-later
#include "level_monitor.h"

#include "link/datagrams.h"
#include "link/element_link.h"
#include "model/notifier.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

LevelMonitor::LevelMonitor(ElementLink &link, LevelView &view, QObject *parent)
    : QObject(parent), m_link(link), m_view(view) {
    m_tmrVolume.setInterval(std::max(1, m_link.settings().levelIntervalMs));
    connect(&m_tmrVolume, &QTimer::timeout, this, &LevelMonitor::RequestLevel);
    connect(&m_link, &ElementLink::levelReplyReceived, this, &LevelMonitor::ShowLevel);
}

void LevelMonitor::chkGetVolume_Click(bool checked) {
    if (checked) {
        m_tmrVolume.start();
        return;
    }
    m_tmrVolume.stop();
    blank();
}

void LevelMonitor::Slider1_Change(int milliseconds) {
    m_tmrVolume.setInterval(std::max(1, milliseconds));
}

void LevelMonitor::RequestLevel() {
    const SendResult sent = m_link.trySendToElement(m_link.settings().controlPort, levelRequest());
    if (sent.ok)
        return;
    // Off before the message box: its nested loop would otherwise tick and ask again and again.
    chkGetVolume_Click(false);
    Q_EMIT monitoringSwitchedOff();
    m_link.notifier().show(critical(sendFailureText(sent, u"Audio monitoring has been stopped."_s)));
}

void LevelMonitor::ShowLevel(const QByteArray &reply) {
    const quint32 peak = levelPeak(reply);
    // Switched off meanwhile: a late reply only blanks the display.
    if (!m_tmrVolume.isActive()) {
        blank();
        return;
    }
    const LevelDisplay display = levelDisplay(peak);
    m_view.setMeterWidth(display.meterWidth);
    m_view.setLevelText(display.text);
}

void LevelMonitor::blank() {
    const LevelDisplay display = noLevel();
    m_view.setMeterWidth(display.meterWidth);
    m_view.setLevelText(display.text);
}

} // namespace ondalink

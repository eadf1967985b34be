// SPDX-License-Identifier: GPL-3.0-or-later
#include "ping_test.h"

#include "icmp.h"
#include "model/encodings.h"

using namespace Qt::StringLiterals;

namespace ondalink {

PingTest::PingTest(PingView &view, EchoProber &prober, Notifier &notifier, int retryIntervalMs,
                   QObject *parent)
    : QObject(parent), m_view(view), m_prober(prober), m_notifier(notifier), m_retry(this) {
    m_retry.setObjectName(u"tmrRetryPing"_s);
    m_retry.setInterval(retryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &PingTest::tmrRetryPing_Timer);
}

void PingTest::TestPing(const QString &address) {
    if (!IsValidAddress(address))
        return;

    if (!ICMP::StartSockets(m_prober)) {
        m_notifier.show(critical(u"Windows Sockets not responding correctly."_s, u"Ping failed"_s));
        m_view.setPingIndicator(kPingFailure);
        setLabel(u"Unable to init sockets"_s);
        return;
    }

    const EchoReply reply = ICMP::EchoProbe(address, m_prober);
    const QString status = ICMP::EchoStatusText(reply.status);
    if (status != u"Success!") {
        m_view.setPingIndicator(kPingFailure);
        setLabel(status);
    } else {
        m_view.setPingIndicator(kPingSuccess);
        setLabel(QString::number(reply.roundTripMs) + u" ms"_s);
    }
    ICMP::StopSockets(m_prober);
}

void PingTest::lblPing_Click() {
    if (!m_retry.isActive()) {
        TestPing(m_view.elementIp());
        return;
    }
    setLabel(u"<Stopped>"_s);
    m_retry.stop(); // the countdown keeps its value
}

void PingTest::setLabel(const QString &text) {
    m_view.showPingLabel(text);
    lblPing_Change(text);
}

void PingTest::lblPing_Change(const QString &text) {
    // Starting a running timer would restart its second; a running countdown goes on undisturbed.
    if (text.contains(u"Timed") && !m_retry.isActive())
        m_retry.start();
}

void PingTest::tmrRetryPing_Timer() {
    if (m_countdown < 1) {
        m_retry.stop();
        m_countdown = kRetryCount;
        TestPing(m_view.elementIp());
        return;
    }
    --m_countdown;
    setLabel(u"Retrying in "_s + QString::number(m_countdown) + u" seconds..."_s);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/ping_presenter.h"

#include "diag/echo.h"
#include "model/ipv4.h"

#include <QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace ondalink {

PingPresenter::PingPresenter(PingView &view, EchoProber &prober, Notifier &notifier, int retryIntervalMs,
                             QObject *parent)
    : QObject(parent), m_view(view), m_prober(prober), m_notifier(notifier), m_retry(this) {
    m_retry.setObjectName(u"tmrRetryPing"_s);
    m_retry.setInterval(retryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &PingPresenter::tmrRetryPing_Timer);
    m_worker.setMaxThreadCount(1);
    connect(&m_echo, &QFutureWatcher<EchoResult>::finished, this, &PingPresenter::echoReturned);
}

PingPresenter::~PingPresenter() {
    m_echo.disconnect(this);
    m_echo.waitForFinished();
}

void PingPresenter::testPing(const QString &address) {
    const auto target = parseDottedAddress(address);
    if (!target || isTesting())
        return;

    if (!m_prober.startNetworking()) {
        m_notifier.show({MessageId::PingUnavailable});
        m_view.setPingIndicator(kPingFailure);
        m_view.showPingLabel(tr("Unable to init sockets"));
        return;
    }
    m_target = *target;
    m_testing = true;
    m_echo.setFuture(
        QtConcurrent::run(&m_worker, [this, target = *target] { return echoOnce(target, m_prober); }));
}

void PingPresenter::echoReturned() {
    m_prober.stopNetworking();
    const EchoResult result = m_echo.result();
    m_testing = false;
    showResult(result);
    Q_EMIT echoed(m_target, result);
}

void PingPresenter::showResult(EchoResult result) {
    if (result.status != EchoStatus::Success) {
        m_view.setPingIndicator(kPingFailure);
        m_view.showPingLabel(echoStatusText(result.status));
    } else {
        m_view.setPingIndicator(kPingSuccess);
        //: A ping's round-trip time in milliseconds.
        m_view.showPingLabel(tr("%1 ms").arg(result.roundTripMs));
    }
    // Only a time-out is retried. Starting a running timer would restart its second: a running
    // countdown goes on undisturbed.
    if (result.status == EchoStatus::TimedOut && !m_retry.isActive())
        m_retry.start();
}

void PingPresenter::lblPing_Click() {
    if (!m_retry.isActive()) {
        testPing(m_view.elementIp());
        return;
    }
    m_view.showPingLabel(tr("<Stopped>"));
    m_retry.stop(); // the countdown keeps its value
}

void PingPresenter::tmrRetryPing_Timer() {
    if (m_countdown < 1) {
        m_retry.stop();
        m_countdown = kRetryCount;
        testPing(m_view.elementIp());
        return;
    }
    --m_countdown;
    m_view.showPingLabel(
        tr("Retrying in %1 seconds...", "the ping label while it waits to retry").arg(m_countdown));
}

} // namespace ondalink

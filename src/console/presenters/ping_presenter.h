// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_prober.h"
#include "model/notifier.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

namespace ondalink {

// A fill colour of the ping indicator, from the 0x00BBGGRR form the colours are known by.
struct IndicatorColour {
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    static constexpr IndicatorColour fromBgr(quint32 bgr) {
        return {static_cast<quint8>(bgr & 0xFF), static_cast<quint8>((bgr >> 8) & 0xFF),
                static_cast<quint8>((bgr >> 16) & 0xFF)};
    }
    friend bool operator==(const IndicatorColour &, const IndicatorColour &) = default;
};

inline constexpr IndicatorColour kPingNeutral = IndicatorColour::fromBgr(0x00C0FFFF);
inline constexpr IndicatorColour kPingSuccess = IndicatorColour::fromBgr(0x0000FF00);
inline constexpr IndicatorColour kPingFailure = IndicatorColour::fromBgr(0x000000FF);

// The controls of the diagnostics frame as the ping presenter sees them; the main window implements it.
class PingView {
public:
    virtual ~PingView() = default;
    virtual QString elementIp() const = 0;                     // txtElementIP
    virtual void showPingLabel(const QString &text) = 0;       // lblPing
    virtual void setPingIndicator(IndicatorColour colour) = 0; // shpPing's fill
};

// The ping label's texts, its indicator's colour and the retry countdown after a timed-out echo.
// The echo itself runs on a worker thread: a time-out must not freeze the window for its second.
class PingPresenter : public QObject {
    Q_OBJECT

public:
    static constexpr int kRetryIntervalMs = 1000;
    static constexpr qint16 kRetryCount = 3;

    PingPresenter(PingView &view, EchoProber &prober, Notifier &notifier,
                  int retryIntervalMs = kRetryIntervalMs, QObject *parent = nullptr);
    // Waits for an echo still on its way (at most its time-out): the prober must outlive it.
    ~PingPresenter() override;

    // TestPing: one echo with display; a text that is no dotted address changes nothing, and so
    // does a test asked for while one is on its way. The result is shown when the echo returns.
    void testPing(const QString &address);
    // A click on lblPing: starts a test, or stops a running retry.
    void lblPing_Click();
    // A tick of tmrRetryPing.
    void tmrRetryPing_Timer();

    qint16 countdown() const { return m_countdown; }
    bool isRetrying() const { return m_retry.isActive(); }
    // From a test's start until its result is shown.
    bool isTesting() const { return m_testing; }

Q_SIGNALS:
    // An echo came back (after its result was shown).
    void echoed(ondalink::Ipv4Address address, ondalink::EchoResult result); // qualified for moc

private:
    void echoReturned();
    void showResult(EchoResult result);

    PingView &m_view;
    EchoProber &m_prober;
    Notifier &m_notifier;
    QTimer m_retry;
    qint16 m_countdown = kRetryCount;
    QThreadPool m_worker;
    QFutureWatcher<EchoResult> m_echo;
    Ipv4Address m_target;
    bool m_testing = false;
};

} // namespace ondalink

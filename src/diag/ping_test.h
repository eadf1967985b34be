// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "echo_prober.h"
#include "model/notifier.h"

#include <QObject>
#include <QString>
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

inline constexpr quint32 kPingNeutralBgr = 0x00C0FFFF;
inline constexpr quint32 kPingSuccessBgr = 0x0000FF00;
inline constexpr quint32 kPingFailureBgr = 0x000000FF;
inline constexpr IndicatorColour kPingNeutral = IndicatorColour::fromBgr(kPingNeutralBgr);
inline constexpr IndicatorColour kPingSuccess = IndicatorColour::fromBgr(kPingSuccessBgr);
inline constexpr IndicatorColour kPingFailure = IndicatorColour::fromBgr(kPingFailureBgr);

// The controls of the diagnostics frame as the ping test sees them; the main window implements it.
class PingView {
public:
    virtual ~PingView() = default;
    virtual QString elementIp() const = 0; // txtElementIP
    // Puts the text on lblPing and nothing else. Only PingTest::setLabel calls it, so that every
    // change of the label runs the change rule.
    virtual void showPingLabel(const QString &text) = 0;
    virtual void setPingIndicator(IndicatorColour colour) = 0; // shpPing's fill
};

// The ping label, its indicator and the retry countdown after a timed-out echo.
class PingTest : public QObject {
    Q_OBJECT

public:
    static constexpr int kRetryIntervalMs = 1000;
    static constexpr qint16 kRetryCount = 3;

    PingTest(PingView &view, EchoProber &prober, Notifier &notifier, int retryIntervalMs = kRetryIntervalMs,
             QObject *parent = nullptr);

    // One echo with display; an address that IsValidAddress rejects changes nothing.
    void TestPing(const QString &address);
    // Starts a test, or stops a running retry.
    void lblPing_Click();
    // The one way to change lblPing (also for "<Click to test>" and "<Unknown>" of panel loading):
    // every text set here, even the one already shown, runs the change rule.
    void setLabel(const QString &text);
    // A tick of tmrRetryPing.
    void tmrRetryPing_Timer();

    qint16 countdown() const { return m_countdown; }
    bool isRetrying() const { return m_retry.isActive(); }

private:
    void lblPing_Change(const QString &text);

    PingView &m_view;
    EchoProber &m_prober;
    Notifier &m_notifier;
    QTimer m_retry;
    qint16 m_countdown = kRetryCount;
};

} // namespace ondalink

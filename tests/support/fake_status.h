// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes for the status layer: a clock moved by hand, an asynchronous prober the test answers, and a
// notification sink that records.
#pragma once

#include "diag/async_echo_prober.h"
#include "status/clock.h"
#include "status/notification_sink.h"

#include <QList>

#include <map>
#include <vector>

namespace ondalink::testing {

class FakeClock : public Clock {
public:
    qint64 steadyMs() const override { return m_ms; }
    QDateTime wallTime() const override { return m_start.addMSecs(m_ms); }
    void advance(qint64 ms) { m_ms += ms; }
    void setWallStart(QDateTime start) { m_start = std::move(start); }

private:
    qint64 m_ms = 1000;
    QDateTime m_start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
};

// Probes wait until the test answers them (answer / fail), in any order.
class FakeAsyncProber : public AsyncEchoProber {
public:
    bool isPermitted() const override { return permitted; }
    quint64 probe(Ipv4Address address, int timeoutMs) override {
        if (!permitted || inFlight() >= maxInFlight())
            return 0;
        sent.append(address);
        lastTimeoutMs = timeoutMs;
        m_pending.emplace(++m_token, address);
        return m_token;
    }
    int inFlight() const override { return static_cast<int>(m_pending.size()); }

    // Ends every probe in flight to the address (all when address is nullopt).
    int finishAll(EchoResult result, std::optional<Ipv4Address> address = std::nullopt) {
        // Those in flight now: probes sent by the handlers of these answers wait for the next call.
        std::vector<std::pair<quint64, Ipv4Address>> ending;
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (address && it->second != *address) {
                ++it;
                continue;
            }
            ending.emplace_back(*it);
            it = m_pending.erase(it);
        }
        for (const auto &[token, to] : ending)
            Q_EMIT finished(token, to, result);
        return static_cast<int>(ending.size());
    }

    bool permitted = true;
    QList<Ipv4Address> sent;
    int lastTimeoutMs = 0;

private:
    std::map<quint64, Ipv4Address> m_pending;
    quint64 m_token = 0;
};

class RecordingSink : public NotificationSink {
public:
    void notify(const DesktopNotification &notification) override { shown.append(notification); }
    QList<DesktopNotification> shown;
};

} // namespace ondalink::testing

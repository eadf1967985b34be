// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "status/element_status.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QHostAddress;

namespace ondalink {

class AsyncEchoProber;
class Clock;
class ElementDatabase;
struct ElementListing;
class ElementLink;

struct ReachabilityOptions {
    int intervalMs = 10000;   // each element once per interval; 0 is off
    int echoTimeoutMs = 1000; // one probe's wait, never more than the interval
    int missesForOffline = 3; // unanswered in a row
    int maxInFlight = 64;     // the prober's own bound applies too
    int tickMs = 100;         // how often the schedule looks for due elements
};

// Reachability of every listed element. The console creates one with the database, an
// AsyncIcmpProber and systemClock(), calls reload() whenever the element tree reloads, feeds the
// operator's own ping through recordPing(), and shows statusChanged / elementUpdated in its columns.
// When probingPermitted() is false it shows probingNotPermittedText() once (the Settings dialog's
// hint); statuses then stay Unknown.
class ReachabilityMonitor : public QObject {
    Q_OBJECT
public:
    ReachabilityMonitor(ElementDatabase &database, AsyncEchoProber &prober, Clock &clock,
                        ReachabilityOptions options = {}, QObject *parent = nullptr);
    ~ReachabilityMonitor() override;

    // Reports and level replies from an element's address count as an answer.
    void attachLink(ElementLink &link);

    // Reads the element list again (one reading of nms.ini). Known elements keep their state when
    // their address is unchanged; new ones start Unknown, or Online when their address was heard
    // since (a discovery's answers arrive before the reload that lists them).
    void reload();
    // The same from a listing already read (the tree's), without reading nms.ini again.
    void reload(const QList<ElementListing> &listing);
    // Probing on or off, and the interval (2 s .. 1 h); off leaves every status as it is.
    void setIntervalSeconds(int seconds);
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    int intervalMs() const { return m_options.intervalMs; }

    bool probingPermitted() const;

    const ElementState *state(const QString &key) const;
    // Every element in the database's order.
    QList<ElementState> states() const;
    qsizetype elementCount() const { return m_elements.size(); }
    // Echoes sent since the monitor was made.
    quint64 probesSent() const { return m_probesSent; }

    // The operator's ping to an address (the console's PingPresenter result).
    void recordPing(const QString &address, const EchoResult &result);
    // A datagram came from the address (a report or a level reply). An address no listed element
    // has is kept for the next reload, for at most kHeardKeepMs and kHeardCapacity addresses.
    void recordTraffic(Ipv4Address address);

    static constexpr qint64 kHeardKeepMs = 60 * 1000;
    static constexpr qsizetype kHeardCapacity = 16384;

    // One step of the schedule: sends the probes that are due. The timer calls it; tests with a fake
    // clock call it directly.
    void tick();

Q_SIGNALS:
    void statusChanged(const QString &key, ondalink::ElementStatus status, ondalink::ElementStatus previous);
    // Last seen or round trip changed (the status may be unchanged).
    void elementUpdated(const QString &key);
    void elementsReloaded();
    // Emitted once, the first time a probe cannot be sent because ICMP is not permitted here.
    void probingNotPermitted();

private:
    struct Entry {
        ElementState state;
        qint64 dueMs = 0;
        quint64 token = 0; // of the probe in flight, 0 when none
    };

    void probeFinished(quint64 token, Ipv4Address address, EchoResult result);
    void answered(Entry &entry, std::optional<int> roundTripMs);
    void missed(Entry &entry);
    void setStatus(Entry &entry, ElementStatus status);
    void reschedule();
    void applyHeard(Entry &entry);

    ElementDatabase &m_database;
    AsyncEchoProber &m_prober;
    Clock &m_clock;
    ReachabilityOptions m_options;
    bool m_enabled = true;
    bool m_deniedSaid = false;
    quint64 m_probesSent = 0;
    QList<Entry> m_elements;
    QHash<QString, qsizetype> m_byKey;
    QHash<quint32, QList<qsizetype>> m_byAddress;
    QHash<quint64, qsizetype> m_byToken;
    std::deque<qsizetype> m_due; // in the order they are due
    struct Heard {
        qint64 steadyMs = 0;
        QDateTime wallTime;
    };
    QHash<quint32, Heard> m_heardUnlisted; // addresses heard that no listed element had
    QTimer m_timer;
};

// Why nothing is probed, and how the package enables ping for the program. Translated.
QString probingNotPermittedText();

} // namespace ondalink

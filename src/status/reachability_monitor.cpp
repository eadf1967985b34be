// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/reachability_monitor.h"

#include "diag/async_echo_prober.h"
#include "link/element_link.h"
#include "status/clock.h"
#include "store/element_database.h"

#include <QCoreApplication>

#include <algorithm>

namespace ondalink {

QString probingNotPermittedText() {
    return QCoreApplication::translate(
        "ReachabilityMonitor",
        "Status probes are not possible: this user may not send ICMP echoes. The package allows it "
        "through net.ipv4.ping_group_range or the CAP_NET_RAW capability of the program (see PING.md); "
        "until then every status stays Unknown.");
}

ReachabilityMonitor::ReachabilityMonitor(ElementDatabase &database, AsyncEchoProber &prober, Clock &clock,
                                         ReachabilityOptions options, QObject *parent)
    : QObject(parent), m_database(database), m_prober(prober), m_clock(clock), m_options(options) {
    m_timer.setObjectName(QStringLiteral("statusProbeTimer"));
    m_timer.setInterval(std::max(1, m_options.tickMs));
    connect(&m_timer, &QTimer::timeout, this, &ReachabilityMonitor::tick);
    connect(&m_prober, &AsyncEchoProber::finished, this, &ReachabilityMonitor::probeFinished);
    m_enabled = m_options.intervalMs > 0;
    reload();
    if (m_enabled)
        m_timer.start();
}

ReachabilityMonitor::~ReachabilityMonitor() = default;

// NOLINTNEXTLINE(readability-make-member-function-const): connects this monitor, which then changes
void ReachabilityMonitor::attachLink(ElementLink &link) {
    connect(&link, &ElementLink::elementHeard, this, &ReachabilityMonitor::recordTraffic);
}

bool ReachabilityMonitor::probingPermitted() const {
    return m_prober.isPermitted();
}

void ReachabilityMonitor::reload() {
    reload(m_database.listing());
}

void ReachabilityMonitor::reload(const QList<ElementListing> &listing) {
    QList<Entry> elements;
    elements.reserve(listing.size());
    for (const ElementListing &listed : listing) {
        Entry entry;
        entry.state.key = listed.key;
        entry.state.name = listed.name;
        entry.state.address = hostAddress(listed.ip); // where an echo can go
        if (const auto known = m_byKey.constFind(listed.key); known != m_byKey.cend()) {
            const Entry &old = m_elements[*known];
            if (old.state.address == entry.state.address) {
                const QString name = entry.state.name;
                entry = old;
                entry.state.name = name;
            }
        }
        applyHeard(entry);
        elements.append(std::move(entry));
    }
    // What no element took is kept a while: a discovery's reload may come before its last answers
    // are stored.
    const qint64 now = m_clock.steadyMs();
    m_heardUnlisted.removeIf(
        [now](QHash<quint32, Heard>::iterator heard) { return now - heard->steadyMs > kHeardKeepMs; });
    m_elements = std::move(elements);
    m_byKey.clear();
    m_byAddress.clear();
    m_byToken.clear();
    m_byKey.reserve(m_elements.size());
    for (qsizetype i = 0; i < m_elements.size(); ++i) {
        const Entry &entry = m_elements[i];
        m_byKey.insert(entry.state.key, i);
        if (entry.state.address)
            m_byAddress[entry.state.address->value].append(i);
        if (entry.token != 0)
            m_byToken.insert(entry.token, i);
    }
    reschedule();
    Q_EMIT elementsReloaded();
}

// An element heard before it was listed is Online from the moment its datagram arrived.
void ReachabilityMonitor::applyHeard(Entry &entry) {
    if (!entry.state.address)
        return;
    const auto heard = m_heardUnlisted.constFind(entry.state.address->value);
    if (heard == m_heardUnlisted.cend())
        return;
    if (m_clock.steadyMs() - heard->steadyMs <= kHeardKeepMs &&
        (!entry.state.lastSeen.isValid() || entry.state.lastSeen < heard->wallTime)) {
        entry.state.status = ElementStatus::Online;
        entry.state.lastSeen = heard->wallTime;
        entry.state.missedProbes = 0;
    }
    m_heardUnlisted.erase(heard);
}

// Due times spread evenly over one interval, in list order, from now on.
void ReachabilityMonitor::reschedule() {
    m_due.clear();
    QList<qsizetype> probed;
    for (qsizetype i = 0; i < m_elements.size(); ++i)
        if (m_elements[i].state.address)
            probed.append(i);
    const qint64 now = m_clock.steadyMs();
    const qint64 interval = std::max(1, m_options.intervalMs);
    for (qsizetype n = 0; n < probed.size(); ++n) {
        Entry &entry = m_elements[probed[n]];
        entry.dueMs = now + interval * n / probed.size();
        m_due.push_back(probed[n]);
    }
}

void ReachabilityMonitor::setIntervalSeconds(int seconds) {
    m_options.intervalMs = std::clamp(seconds, 2, 3600) * 1000;
    reschedule();
}

void ReachabilityMonitor::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled) {
        m_timer.stop();
        return;
    }
    if (m_options.intervalMs <= 0)
        m_options.intervalMs = 10000;
    reschedule();
    m_timer.start();
}

const ElementState *ReachabilityMonitor::state(const QString &key) const {
    const auto found = m_byKey.constFind(key);
    return found == m_byKey.cend() ? nullptr : &m_elements[*found].state;
}

QList<ElementState> ReachabilityMonitor::states() const {
    QList<ElementState> all;
    all.reserve(m_elements.size());
    for (const Entry &entry : m_elements)
        all.append(entry.state);
    return all;
}

void ReachabilityMonitor::tick() {
    if (!m_enabled || m_due.empty())
        return;
    if (!m_prober.isPermitted()) {
        if (!std::exchange(m_deniedSaid, true))
            Q_EMIT probingNotPermitted();
        return;
    }
    const qint64 now = m_clock.steadyMs();
    const int limit = std::min(m_options.maxInFlight, m_prober.maxInFlight());
    const int timeout = std::clamp(m_options.echoTimeoutMs, 1, std::max(1, m_options.intervalMs));
    // The queue is in due order: every element goes to the back with its next due time.
    while (!m_due.empty() && m_elements[m_due.front()].dueMs <= now) {
        const qsizetype index = m_due.front();
        Entry &entry = m_elements[index];
        if (entry.token == 0) {
            if (m_prober.inFlight() >= limit)
                return;
            entry.token = m_prober.probe(*entry.state.address, timeout);
            if (entry.token == 0)
                return; // the prober is full after all; try again on the next tick
            ++m_probesSent;
            m_byToken.insert(entry.token, index);
        }
        // An element whose last probe is still out skips this turn.
        entry.dueMs = std::max(entry.dueMs + m_options.intervalMs, now);
        m_due.pop_front();
        m_due.push_back(index);
    }
}

void ReachabilityMonitor::probeFinished(quint64 token, Ipv4Address /*address*/, EchoResult result) {
    const auto found = m_byToken.constFind(token);
    if (found == m_byToken.cend())
        return; // reloaded meanwhile, or not ours
    const qsizetype index = *found;
    m_byToken.erase(found);
    Entry &entry = m_elements[index];
    entry.token = 0;
    if (result.status == EchoStatus::Success)
        answered(entry, result.roundTripMs);
    else
        missed(entry);
    // Room for the next: at 10,000 elements more fall due per tick than may be in flight at once.
    if (m_enabled && !m_due.empty() && m_elements[m_due.front()].dueMs <= m_clock.steadyMs())
        tick();
}

void ReachabilityMonitor::answered(Entry &entry, std::optional<int> roundTripMs) {
    const QDateTime now = m_clock.wallTime();
    // The list shows seconds: traffic many times a second updates it once a second.
    bool updated = !entry.state.lastSeen.isValid() || entry.state.lastSeen.secsTo(now) >= 1 ||
                   roundTripMs != std::nullopt;
    entry.state.lastSeen = now;
    entry.state.missedProbes = 0;
    if (roundTripMs) {
        updated = updated || entry.state.roundTripMs != roundTripMs;
        entry.state.roundTripMs = roundTripMs;
    }
    setStatus(entry, ElementStatus::Online);
    if (updated)
        Q_EMIT elementUpdated(entry.state.key);
}

void ReachabilityMonitor::missed(Entry &entry) {
    ++entry.state.missedProbes;
    if (entry.state.missedProbes >= m_options.missesForOffline)
        setStatus(entry, ElementStatus::Offline);
}

void ReachabilityMonitor::setStatus(Entry &entry, ElementStatus status) {
    const ElementStatus previous = entry.state.status;
    if (previous == status)
        return;
    entry.state.status = status;
    Q_EMIT statusChanged(entry.state.key, status, previous);
}

void ReachabilityMonitor::recordTraffic(Ipv4Address address) {
    const auto found = m_byAddress.constFind(address.value);
    if (found == m_byAddress.cend()) {
        // Bounded: anyone can send from any address; past the bound only the kept ones count.
        if (m_heardUnlisted.size() < kHeardCapacity || m_heardUnlisted.contains(address.value))
            m_heardUnlisted.insert(address.value, {m_clock.steadyMs(), m_clock.wallTime()});
        return;
    }
    for (const qsizetype index : *found)
        answered(m_elements[index], std::nullopt);
}

void ReachabilityMonitor::recordPing(const QString &address, const EchoResult &result) {
    const auto parsed = parseDottedAddress(address);
    if (!parsed)
        return;
    const auto found = m_byAddress.constFind(parsed->value);
    if (found == m_byAddress.cend())
        return;
    for (const qsizetype index : *found) {
        if (result.status == EchoStatus::Success)
            answered(m_elements[index], result.roundTripMs);
        else
            missed(m_elements[index]);
    }
}

} // namespace ondalink

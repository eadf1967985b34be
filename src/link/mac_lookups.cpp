// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/mac_lookups.h"

#include "diag/mac_lookup.h"
#include "model/log.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Attempts start 1 ms apart and back off to 50 ms: an element that answers at once costs nothing,
// one that never answers costs about a hundred attempts over the bound.
constexpr int kFirstRetryMs = 1;
constexpr int kLastRetryMs = 50;

} // namespace

MacLookups::MacLookups(MacResolver &resolver, int boundMs, int maxInFlight, QObject *parent)
    : QObject(parent), m_resolver(resolver), m_boundMs(boundMs), m_maxInFlight(std::max(1, maxInFlight)) {
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &MacLookups::retry);
}

std::optional<QString> MacLookups::tryNow(const QString &address) {
    QString mac;
    if (!lookupMac(address, mac, u":"_s, m_resolver))
        return std::nullopt;
    return mac;
}

bool MacLookups::isPending(const QString &address) const {
    return m_queued.contains(address) || std::any_of(m_active.cbegin(), m_active.cend(),
                                                     [&](const Lookup &l) { return l.address == address; });
}

void MacLookups::start(const QString &address) {
    if (isPending(address))
        return;
    m_queued.append(address);
    admit();
    // A new lookup is tried again soon, whatever the others have backed off to.
    m_retryMs = kFirstRetryMs;
    scheduleRetry();
}

void MacLookups::admit() {
    while (m_active.size() < m_maxInFlight && !m_queued.isEmpty()) {
        Lookup lookup{m_queued.takeFirst(), {}};
        lookup.since.start();
        m_active.append(std::move(lookup));
    }
}

void MacLookups::scheduleRetry() {
    if (m_active.isEmpty())
        return;
    if (!m_retry.isActive() || m_retry.remainingTime() > m_retryMs)
        m_retry.start(m_retryMs);
}

void MacLookups::retry() {
    // What ends is taken out first: a slot that frees admits a waiting address at once, and the
    // signal's receivers may start new lookups.
    QList<std::pair<QString, QString>> done;
    for (qsizetype i = 0; i < m_active.size();) {
        const Lookup &lookup = m_active.at(i);
        if (const auto mac = tryNow(lookup.address)) {
            done.append({lookup.address, *mac});
        } else if (lookup.since.elapsed() >= m_boundMs) {
            qCInfo(lcLink).noquote() << "no MAC for" << lookup.address << "within" << m_boundMs << "ms";
            done.append({lookup.address, QString()});
        } else {
            ++i;
            continue;
        }
        m_active.removeAt(i);
    }
    admit();
    m_retryMs = std::min(m_retryMs * 2, kLastRetryMs);
    scheduleRetry();
    for (const auto &[address, mac] : done)
        Q_EMIT ended(address, mac);
}

void MacLookups::clear() {
    m_active.clear();
    m_queued.clear();
    m_retry.stop();
}

} // namespace ondalink

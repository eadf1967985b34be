// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/silence_watch.h"

#include "link/datagrams.h"
#include "link/element_link.h"
#include "status/clock.h"
#include "store/element_database.h"

#include <cmath>

namespace ondalink {

std::optional<double> peakDbfs(quint32 peak) {
    if (peak == 0)
        return std::nullopt;
    return 20.0 * std::log10(static_cast<double>(peak) / kLevelFullScale);
}

std::optional<SilenceState> SilenceDetector::feed(quint32 peak, qint64 nowMs) {
    m_lastDbfs = peakDbfs(peak);
    const bool below = !m_lastDbfs || *m_lastDbfs < m_options.thresholdDbfs;
    if (!m_runStartMs || below != m_runBelow) {
        m_runStartMs = nowMs;
        m_runBelow = below;
    }
    const qint64 runMs = nowMs - *m_runStartMs;
    SilenceState next = m_state;
    if (m_state == SilenceState::Waiting)
        next = SilenceState::Sounding;
    if (below && next == SilenceState::Sounding && runMs >= m_options.holdMs)
        next = SilenceState::Silent;
    else if (!below && next == SilenceState::Silent && runMs >= m_options.clearMs)
        next = SilenceState::Sounding;
    if (next == m_state)
        return std::nullopt;
    m_state = next;
    return next;
}

SilenceWatch::SilenceWatch(ElementLink &link, ElementDatabase &database, Clock &clock, SilenceOptions options,
                           QObject *parent)
    : QObject(parent), m_link(link), m_database(database), m_clock(clock), m_options(options) {
    m_poll.setObjectName(QStringLiteral("silenceWatchPoll"));
    m_poll.setInterval(std::max(1, m_options.requestIntervalMs));
    connect(&m_poll, &QTimer::timeout, this, &SilenceWatch::poll);
    connect(&m_link, &ElementLink::levelReplyFrom, this, &SilenceWatch::levelReply);
    reload();
}

SilenceWatch::~SilenceWatch() {
    m_link.setLevelAttribution(false);
}

void SilenceWatch::setOptions(const SilenceOptions &options) {
    m_options = options;
    m_poll.setInterval(std::max(1, m_options.requestIntervalMs));
    for (Watched &watched : m_watched)
        watched.detector.setOptions(options);
}

QSet<QString> SilenceWatch::watched() const {
    QSet<QString> keys;
    for (auto it = m_watched.cbegin(); it != m_watched.cend(); ++it)
        keys.insert(it.key());
    return keys;
}

void SilenceWatch::setWatched(const QSet<QString> &keys) {
    bool changed = false;
    const QSet<QString> before = watched(); // a copy: the loop removes from the set it came from
    for (const QString &key : before)
        if (!keys.contains(key)) {
            m_watched.remove(key);
            changed = true;
            Q_EMIT silenceChanged(key, SilenceState::NotWatched);
        }
    for (const QString &key : keys)
        if (!m_watched.contains(key)) {
            Watched added{SilenceDetector(m_options), std::nullopt};
            if (const auto address = m_addresses.constFind(key); address != m_addresses.cend())
                added.address = *address;
            m_watched.insert(key, added);
            changed = true;
            Q_EMIT silenceChanged(key, SilenceState::Waiting);
        }
    updateActive();
    if (changed)
        Q_EMIT watchedChanged(watched());
}

void SilenceWatch::setWatched(const QString &key, bool watch) {
    QSet<QString> keys = watched();
    if (watch)
        keys.insert(key);
    else
        keys.remove(key);
    setWatched(keys);
}

SilenceState SilenceWatch::state(const QString &key) const {
    const auto found = m_watched.constFind(key);
    return found == m_watched.cend() ? SilenceState::NotWatched : found->detector.state();
}

void SilenceWatch::reload() {
    reload(m_database.listing());
}

void SilenceWatch::reload(const QList<ElementListing> &listing) {
    m_addresses.clear();
    for (const ElementListing &listed : listing)
        if (const auto address = ipv4Address(listed.ip))
            m_addresses.insert(listed.key, *address);
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        const auto address = m_addresses.constFind(it.key());
        if (address == m_addresses.cend())
            it->address.reset();
        else
            it->address = *address;
    }
}

void SilenceWatch::updateActive() {
    const bool active = !m_watched.isEmpty();
    m_link.setLevelAttribution(active);
    if (active && !m_poll.isActive())
        m_poll.start();
    else if (!active)
        m_poll.stop();
}

void SilenceWatch::poll() {
    for (const Watched &watched : std::as_const(m_watched))
        if (watched.address)
            m_link.sendLevelRequest(*watched.address);
}

void SilenceWatch::levelReply(const QByteArray &reply, const QHostAddress &sender) {
    if (m_watched.isEmpty())
        return;
    const qint64 now = m_clock.steadyMs();
    const quint32 peak = levelPeak(reply);
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        if (!it->address || *it->address != sender)
            continue;
        const auto changed = it->detector.feed(peak, now);
        Q_EMIT levelMeasured(it.key());
        if (changed)
            Q_EMIT silenceChanged(it.key(), *changed);
    }
}

std::optional<double> SilenceWatch::levelDbfs(const QString &key) const {
    const auto found = m_watched.constFind(key);
    return found == m_watched.cend() ? std::nullopt : found->detector.lastDbfs();
}

} // namespace ondalink

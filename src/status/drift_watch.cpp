// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/drift_watch.h"

#include "link/element_link.h"
#include "model/log.h"
#include "model/mac_text.h"
#include "store/element_database.h"

#include <QFileInfo>

#include <algorithm>

namespace ondalink {

DriftWatch::DriftWatch(ElementLink &link, ElementDatabase &database, DriftOptions options, QObject *parent)
    : QObject(parent), m_link(link), m_database(database), m_options(options) {
    connect(&m_tick, &QTimer::timeout, this, &DriftWatch::tick);
    connect(&m_link, &ElementLink::driftAnswered, this, &DriftWatch::answered);
    // A section stored from the element's own report holds what the element holds.
    connect(&m_link, &ElementLink::elementStored, this,
            [this](const QString &mac, const QString &, bool) { clear(macToElementKey(mac)); });
    connect(&m_link, &ElementLink::databaseWritten, this, [this] { m_sectionsRead = false; });
}

DriftWatch::~DriftWatch() {
    for (auto it = m_open.cbegin(); it != m_open.cend(); ++it)
        m_link.endDriftPage(Ipv4Address{it.key()});
}

void DriftWatch::setIntervalSeconds(int seconds) {
    m_intervalMs = seconds <= 0 ? 0 : std::clamp(seconds, kDriftIntervalMinS, kDriftIntervalMaxS) * 1000;
    restart();
}

void DriftWatch::setIntervalMs(int ms) {
    m_intervalMs = std::max(ms, 0);
    restart();
}

void DriftWatch::reload(const QList<ElementListing> &listing) {
    const QString nextKey = m_targets.isEmpty() ? QString() : m_targets.at(m_next % m_targets.size()).key;
    QList<Target> targets;
    targets.reserve(listing.size());
    QSet<QString> listed;
    listed.reserve(listing.size());
    for (const ElementListing &element : listing) {
        listed.insert(element.key);
        if (const auto address = hostAddress(element.ip))
            targets.append({element.key, *address});
    }
    m_targets = std::move(targets);
    m_sectionsRead = false;
    m_indexOf.clear();
    m_indexOf.reserve(m_targets.size());
    for (qsizetype i = 0; i < m_targets.size(); ++i)
        m_indexOf.insert(m_targets.at(i).key, i);
    // The round goes on where it was: a reload after every report must not page the first ones again.
    m_next = m_indexOf.value(nextKey, 0);
    const QList<QString> drifted = m_drift.keys();
    for (const QString &key : drifted) {
        if (!listed.contains(key))
            m_drift.remove(key);
    }
    restart();
}

void DriftWatch::restart() {
    if (m_intervalMs <= 0 || m_targets.isEmpty()) {
        m_tick.stop();
        return;
    }
    const qint64 spread = m_intervalMs / m_targets.size();
    const int tickMs = static_cast<int>(std::max<qint64>(spread, m_options.shortestTickMs));
    if (m_tick.isActive() && m_tick.interval() == tickMs)
        return;
    m_tick.start(tickMs);
}

bool DriftWatch::paused() const {
    return m_link.isDiscovering() || m_link.isAdding() || m_link.awaitsConfirmation();
}

void DriftWatch::tick() {
    if (m_targets.isEmpty() || paused() || m_inFlight.size() >= m_options.maxInFlight)
        return; // this element waits for the next tick
    m_next %= m_targets.size();
    const Target target = m_targets.at(m_next);
    const quint32 address = target.address.value;
    if (m_inFlight.contains(address)) {
        // Two elements stored with one address: the earlier page still waits.
        ++m_next;
        return;
    }
    QString failure;
    if (!m_link.pageForDrift(target.address, &failure)) {
        qCInfo(lcStatus).noquote() << "drift: no page to" << target.address.toString() << "-" << failure;
        ++m_next;
        return;
    }
    ++m_next;
    ++m_pagesSent;
    const quint64 serial = ++m_serial;
    m_inFlight.insert(address, serial);
    m_open.insert(address, serial);
    QTimer::singleShot(m_options.pageWaitMs, this,
                       [this, address, serial] { expired(address, serial, false); });
    QTimer::singleShot(m_options.pageWaitMs + m_options.lateMs, this,
                       [this, address, serial] { expired(address, serial, true); });
}

void DriftWatch::expired(quint32 address, quint64 serial, bool late) {
    QHash<quint32, quint64> &pages = late ? m_open : m_inFlight;
    const auto page = pages.constFind(address);
    if (page == pages.cend() || *page != serial)
        return; // answered, or paged again since
    pages.erase(page);
    if (late)
        m_link.endDriftPage(Ipv4Address{address});
}

void DriftWatch::answered(const QString &mac, const ElementRecord &record, OptionalFields carried) {
    if (const auto address = parseDottedAddress(record.ip))
        m_inFlight.remove(address->value);
    const QString key = macToElementKey(mac);
    const auto index = m_indexOf.constFind(key);
    if (index == m_indexOf.cend()) {
        qCInfo(lcStatus).noquote() << "drift: an answer from" << mac << "which is not listed";
        return;
    }
    m_inFlight.remove(m_targets.at(*index).address.value);
    ++m_answers;
    const StoredElement *stored = section(key);
    if (!stored || !stored->isPlausible())
        return; // nothing to compare with: the list shows the missing section on its next reload
    const QList<FieldChange> changes =
        configurationChanges(sectionSettings(*stored), discoveryKeys(record, carried));
    if (changes.isEmpty()) {
        clear(key);
        return;
    }
    const auto known = m_drift.find(key);
    const bool same = known != m_drift.end() && known->changes == changes;
    m_drift.insert(key, Drift{changes, record, carried});
    if (!same)
        Q_EMIT driftFound(key, changes);
}

const StoredElement *DriftWatch::section(const QString &elementKey) {
    // Comparing a round's answers one file read each would cost as the square of the list.
    const QFileInfo file(m_database.path());
    const QDateTime time = file.lastModified();
    if (!m_sectionsRead || file.size() != m_sectionsSize || time != m_sectionsTime) {
        m_sections = m_database.loadAll();
        m_sectionsRead = true;
        m_sectionsSize = file.size();
        m_sectionsTime = time;
    }
    const auto found = m_sections.constFind(elementKey);
    return found == m_sections.cend() ? nullptr : &*found;
}

const DriftWatch::Drift *DriftWatch::drift(const QString &elementKey) const {
    const auto found = m_drift.constFind(elementKey);
    return found == m_drift.cend() ? nullptr : &*found;
}

bool DriftWatch::accept(const QString &elementKey) {
    const auto found = m_drift.constFind(elementKey);
    if (found == m_drift.cend())
        return false;
    const KeyValues keys = discoveryKeys(found->reported, found->carried);
    m_sectionsRead = false;
    if (!m_database.writeSections({{elementKey, keys}}))
        return false;
    clear(elementKey);
    Q_EMIT accepted(elementKey, keys);
    return true;
}

void DriftWatch::clear(const QString &elementKey) {
    if (m_drift.remove(elementKey))
        Q_EMIT driftCleared(elementKey);
}

} // namespace ondalink

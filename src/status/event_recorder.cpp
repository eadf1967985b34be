// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/event_recorder.h"

#include "link/discovery.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "model/mac_text.h"
#include "status/drift_watch.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"
#include "store/element_database.h"

namespace ondalink {

namespace {

constexpr int kDropCountMs = 60 * 1000;

} // namespace

EventRecorder::EventRecorder(EventLog &log, ElementDatabase &database, QObject *parent)
    : QObject(parent), m_log(log), m_database(database), m_coalescer(log, log.clock()) {
    m_dropTimer.setObjectName(QStringLiteral("droppedDatagramCount"));
    m_dropTimer.setInterval(kDropCountMs);
    connect(&m_dropTimer, &QTimer::timeout, this, &EventRecorder::countDrops);
    reloadNames();
}

void EventRecorder::reloadNames() {
    reloadNames(m_database.listing());
}

void EventRecorder::reloadNames(const QList<ElementListing> &listing) {
    m_names.clear();
    m_keysByAddress.clear();
    for (const ElementListing &listed : listing) {
        m_names.insert(listed.key, listed.name.trimmed());
        if (const auto address = parseDottedAddress(listed.ip))
            m_keysByAddress.insert(address->value, listed.key);
    }
}

EventRow EventRecorder::row(EventSeverity severity, const QString &event, const QString &detail,
                            const QString &key) const {
    return {QDateTime(),
            severity,
            key.isEmpty() ? QString() : m_names.value(key),
            key.isEmpty() ? QString() : elementKeyToMac(key),
            event,
            detail};
}

void EventRecorder::record(EventSeverity severity, const QString &event, const QString &detail,
                           const QString &key) {
    m_log.append(row(severity, event, detail, key));
}

void EventRecorder::recordMac(EventSeverity severity, const QString &event, const QString &detail,
                              const QString &mac) {
    record(severity, event, detail, macToElementKey(mac));
}

void EventRecorder::attachLink(ElementLink &link) {
    m_link = &link;
    m_dropsSeen = link.droppedDatagrams();
    m_dropTimer.start();
    connect(&link, &ElementLink::elementStored, this,
            [this](const QString &mac, const QString &name, bool discovered) {
                // Not in the list read last: a discovery's elements are new.
                m_names.insert(macToElementKey(mac), name.trimmed());
                if (discovered)
                    recordMac(EventSeverity::Information, tr("Element stored"), tr("Answered the discovery"),
                              mac);
            });
    connect(&link, &ElementLink::elementRefused, this,
            [this](const QString &address, const QString &mac, const QString &message, Ipv4Address sender) {
                const QString key =
                    mac.isEmpty()
                        ? m_keysByAddress.value(parseDottedAddress(address).value_or(Ipv4Address{}).value)
                        : macToElementKey(mac);
                m_coalescer.append(row(EventSeverity::Warning, tr("Element refused"),
                                       tr("Report from %1: %2").arg(address, message), key),
                                   sender.toString());
            });
    connect(&link, &ElementLink::configurationSent, this, [this](const QString &mac) {
        recordMac(EventSeverity::Information, tr("Configuration sent"), QString(), mac);
    });
    connect(&link, &ElementLink::elementConfirmed, this, [this, &link] {
        recordMac(EventSeverity::Information, tr("Configuration confirmed"), QString(), link.shownMac());
    });
    connect(&link, &ElementLink::configurationTimedOut, this, [this](const QString &mac) {
        recordMac(EventSeverity::Warning, tr("Configuration timed out"),
                  tr("No report answered the configuration write"), mac);
    });
    connect(&link, &ElementLink::attenuationSent, this, [this](const QString &mac, int position) {
        recordMac(EventSeverity::Information, tr("Attenuation sent"), tr("Position %1").arg(position), mac);
    });
    connect(&link, &ElementLink::databaseWritten, this, [this](int elements) {
        record(EventSeverity::Information, tr("Database written"), tr("%1 element(s)").arg(elements));
    });
    connect(&link, &ElementLink::databaseWriteFailed, this, [this](const QString &message) {
        record(EventSeverity::Alarm, tr("Database not written"), message);
    });
}

void EventRecorder::attachDiscovery(Discovery &discovery, ElementLink &link) {
    connect(&discovery, &Discovery::starting, this,
            [this] { record(EventSeverity::Information, tr("Discovery started"), QString()); });
    connect(&link, &ElementLink::discoveryEnded, this,
            [this](const QStringList &pagedOn, int answers, int stored, int refused) {
                const QString requests =
                    pagedOn.isEmpty()
                        ? tr("no request sent")
                        : tr("%1 request(s) sent (%2)").arg(pagedOn.size()).arg(pagedOn.join(u", "));
                record(EventSeverity::Information, tr("Discovery ended"),
                       tr("%1; %2 answers, %3 stored, %4 refused")
                           .arg(requests)
                           .arg(answers)
                           .arg(stored)
                           .arg(refused));
            });
}

void EventRecorder::attachUpdate(Discovery &update) {
    connect(&update, &Discovery::starting, this,
            [this] { record(EventSeverity::Information, tr("Update from network started"), QString()); });
    connect(&update, &Discovery::notAnswered, this, [this](const QStringList &keys) {
        for (const QString &key : keys)
            record(EventSeverity::Warning, tr("Did not answer the update"), tr("kept in the list"), key);
    });
}

void EventRecorder::attachLevelMonitor(LevelMonitor &monitor, ElementLink &link) {
    connect(&monitor, &LevelMonitor::enabledChanged, this, [this, &link](bool enabled) {
        recordMac(EventSeverity::Information, enabled ? tr("Monitoring on") : tr("Monitoring off"), QString(),
                  link.shownMac());
    });
}

void EventRecorder::attachReachability(ReachabilityMonitor &monitor) {
    connect(&monitor, &ReachabilityMonitor::statusChanged, this,
            [this, &monitor](const QString &key, ElementStatus status, ElementStatus previous) {
                if (status == ElementStatus::Offline) {
                    const ElementState *state = monitor.state(key);
                    record(EventSeverity::Alarm, tr("Alarm raised"),
                           tr("Offline: %1 probes in a row unanswered").arg(state ? state->missedProbes : 0),
                           key);
                } else if (previous == ElementStatus::Offline) {
                    record(EventSeverity::Information, tr("Alarm cleared"),
                           tr("%1 again").arg(statusText(status)), key);
                } else {
                    record(EventSeverity::Information, tr("Status changed"),
                           tr("%1 (was %2)").arg(statusText(status), statusText(previous)), key);
                }
            });
    connect(&monitor, &ReachabilityMonitor::probingNotPermitted, this, [this] {
        record(EventSeverity::Warning, tr("Status probes not possible"), probingNotPermittedText());
    });
}

void EventRecorder::attachSilenceWatch(SilenceWatch &watch) {
    connect(&watch, &SilenceWatch::silenceChanged, this,
            [this, &watch](const QString &key, SilenceState state) {
                if (state == SilenceState::Silent) {
                    m_silent.insert(key);
                    record(EventSeverity::Alarm, tr("Alarm raised"),
                           tr("Silent: level below %1 dBFS for %2 s")
                               .arg(watch.options().thresholdDbfs)
                               .arg(watch.options().holdMs / 1000.0),
                           key);
                } else if (m_silent.remove(key)) {
                    record(EventSeverity::Information, tr("Alarm cleared"),
                           state == SilenceState::Sounding ? tr("Audio back") : tr("No longer watched"), key);
                }
            });
}

void EventRecorder::attachDriftWatch(DriftWatch &watch) {
    connect(&watch, &DriftWatch::driftFound, this,
            [this](const QString &key, const QList<FieldChange> &changes) {
                record(EventSeverity::Warning, tr("Drift"),
                       tr("Stored → reported: %1").arg(describeChanges(changes)), key);
            });
    connect(&watch, &DriftWatch::driftCleared, this, [this](const QString &key) {
        record(EventSeverity::Information, tr("Drift cleared"), tr("The element holds the stored settings"),
               key);
    });
    connect(&watch, &DriftWatch::accepted, this, [this](const QString &key) {
        record(EventSeverity::Information, tr("Drift accepted"), tr("The element's settings were stored"),
               key);
    });
}

void EventRecorder::recordPing(const QString &address, const EchoResult &result) {
    const auto parsed = parseDottedAddress(address);
    const QString key = parsed ? m_keysByAddress.value(parsed->value) : QString();
    const QString outcome = result.status == EchoStatus::Success ? tr("%1 ms").arg(result.roundTripMs)
                                                                 : echoStatusText(result.status);
    record(result.status == EchoStatus::Success ? EventSeverity::Information : EventSeverity::Warning,
           tr("Ping"), tr("%1: %2").arg(parsed ? parsed->toString() : address.trimmed(), outcome), key);
}

void EventRecorder::countDrops() {
    if (!m_link)
        return;
    const quint64 dropped = m_link->droppedDatagrams();
    if (dropped <= m_dropsSeen)
        return;
    record(EventSeverity::Warning, tr("Datagrams dropped"),
           tr("%1 in the last minute: the receive queue was full").arg(dropped - m_dropsSeen));
    m_dropsSeen = dropped;
}

} // namespace ondalink

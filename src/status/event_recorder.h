// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "status/element_status.h"
#include "status/event_coalescer.h"
#include "status/event_log.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

namespace ondalink {

class Discovery;
class DriftWatch;
class ElementDatabase;
struct ElementListing;
class ElementLink;
class LevelMonitor;
class ReachabilityMonitor;
class SilenceWatch;

// Writes what happens into the event log. The console creates one, attaches what it has (the link,
// the discovery, the level monitor, the status monitors), calls reloadNames() when the tree reloads
// and recordPing() with each result its PingPresenter shows.
class EventRecorder : public QObject {
    Q_OBJECT
public:
    EventRecorder(EventLog &log, ElementDatabase &database, QObject *parent = nullptr);

    // Element stored or refused (repeats from one sender counted per minute), configuration sent /
    // confirmed / timed out, attenuation sent, database written or failed, datagrams dropped
    // (counted per minute).
    void attachLink(ElementLink &link);
    // Started and ended, with requests sent, answers, stored, refused.
    void attachDiscovery(Discovery &discovery, ElementLink &link);
    // Update from network: started, and each listed element that did not answer it.
    void attachUpdate(Discovery &update);
    void attachLevelMonitor(LevelMonitor &monitor, ElementLink &link);
    // Status changes, probing not permitted.
    void attachReachability(ReachabilityMonitor &monitor);
    // Silence alarms raised and cleared.
    void attachSilenceWatch(SilenceWatch &watch);
    // Settings found changed on an element (each field as stored → reported), matching again, accepted.
    void attachDriftWatch(DriftWatch &watch);

    // The names the rows carry, from the element list (one reading of nms.ini).
    void reloadNames();
    void reloadNames(const QList<ElementListing> &listing);
    // The operator's ping and what it showed.
    void recordPing(const QString &address, const EchoResult &result);

    // Counts the endpoint's drops since the last look and writes one row when there were any; the
    // minute timer calls it.
    void countDrops();

private:
    EventRow row(EventSeverity severity, const QString &event, const QString &detail,
                 const QString &key) const;
    void record(EventSeverity severity, const QString &event, const QString &detail, const QString &key = {});
    void recordMac(EventSeverity severity, const QString &event, const QString &detail, const QString &mac);

    EventLog &m_log;
    ElementDatabase &m_database;
    ElementLink *m_link = nullptr;
    QHash<QString, QString> m_names; // by element key
    QHash<quint32, QString> m_keysByAddress;
    QSet<QString> m_silent; // encoders whose silence alarm is raised
    quint64 m_dropsSeen = 0;
    QTimer m_dropTimer;
    EventCoalescer m_coalescer;
};

} // namespace ondalink

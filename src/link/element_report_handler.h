// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/confirmation.h"
#include "link/element_report.h"
#include "link/mac_lookups.h"
#include "link/message_coalescer.h"
#include "model/configuration_write.h"
#include "model/element_record.h"
#include "model/ipv4.h"
#include "store/configuration_history.h"
#include "store/element_schema.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>

namespace ondalink {

class ElementDatabase;
class MacResolver;
class Notifier;

// What the report handler needs from the link that owns it.
struct ReportHandlerHooks {
    std::function<void()> stopResponseTimer;   // a configuration write is answered
    std::function<bool()> discoveryRunning;    // as it is now, not as it was at the report's arrival
    std::function<void()> reloadTree;          // the element list shows the database again
    std::function<bool()> morePending;         // further datagrams wait to be handled
    std::function<ConfigurationWrite()> shown; // what the panel shows now
    // Runs work one at a time with the datagrams' handling, before those that wait.
    std::function<void(std::function<void(std::function<void()> done)> work)> post;
    // Whether ARP can find the MAC of a reported address (it is on a network of this host); unset:
    // always.
    std::function<bool(const QString &address)> arpReaches;
    // The MAC to take for a reported address when ARP found none (arpTried) or cannot (a routed
    // element); "" when there is none.
    std::function<QString(const QString &address, bool arpTried)> macWithoutArp;
    // A report outside a discovery answers the paging of an element being added by its address.
    std::function<bool(const QString &address)> answersAddition;
    // That answer has been handled: the element's key once its section is stored, "" when refused.
    std::function<void(const QString &key)> additionHandled;
    // A report outside a discovery and an addition answers a drift page to that address (the one the
    // report gives or the one it came from): it is compared only, never stored, confirmed or shown.
    std::function<bool(const QString &address, Ipv4Address sender)> answersDriftPage;
    // Such a report, its MAC found.
    std::function<void(const ElementReport &report)> driftAnswered;
};

// Decodes and checks an element report, looks up the element's MAC, then stores it (discovery)
// or confirms a configuration write against what the panel shows, stores what is confirmed and
// signals the element's reported state for the panel. A report whose MAC is not known at once waits
// for its lookup without holding up the reports of other addresses; reports that claim the same
// address are handled in their order of arrival.
class ElementReportHandler : public QObject {
    Q_OBJECT
public:
    ElementReportHandler(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                         ReportHandlerHooks hooks, int macLookupMs = 5000, QObject *parent = nullptr);
    ~ElementReportHandler() override;

    // Takes one report. done() runs exactly once per call, when the next datagram may be handled: at
    // once for a report that waits for its MAC (its handling resumes later through the post hook),
    // otherwise after its messages. discoveryAtArrival tells whether a discovery was waiting when the
    // datagram arrived. A datagram shorter than a report is dropped at once: no message, no reload,
    // the Response timer left running. sender is where it came from (0.0.0.0 when not known). Call
    // again only after done() has run.
    void handleReport(const QByteArray &datagram, Ipv4Address sender, bool discoveryAtArrival,
                      std::function<void()> done);

    // Stores the elements of a discovery that wait in a batch (see storeDiscovered). The link calls it
    // when no datagram waits any more; a report outside a discovery and a reload of the tree do too.
    void flushStored();

    // What became of the reports that arrived during a discovery since resetTally.
    struct Tally {
        int stored = 0;
        int refused = 0;
        QSet<QString> storedKeys; // the Element keys stored
    };
    const Tally &discoveryTally() const { return m_tally; }
    void resetTally() { m_tally = {}; }

    // A report is being handled or waits for its MAC.
    bool busy() const { return m_busy || m_parkedCount > 0; }
    int shortDatagramsDropped() const { return m_shortDropped; }
    // How long an identical failure still counts as a repeat of the previous one (1000 ms).
    void setRepeatQuietMs(int ms) { m_messages.setQuietMs(ms); }

Q_SIGNALS:
    // A confirming report's state, for the panel; the confirmed keys are stored by now. asSent: the
    // element reported every field as it was sent (no field is said to be unsaved).
    void confirmed(const ondalink::ConfirmedState &state, bool asSent);
    // Outcomes for the event log. mac is empty while it is not known yet; address is the one the
    // report gives, sender the one it came from.
    void elementStored(const QString &mac, const QString &name, bool discovered);
    void elementRefused(const QString &address, const QString &mac, const QString &message,
                        ondalink::Ipv4Address sender);
    void databaseWritten(int elements);
    void databaseWriteFailed(const QString &message);
    // These sections' keys are in the file now, written for that reason (Discovery: any discovery).
    void configurationsStored(const ondalink::SectionKeys &sections, ondalink::ConfigurationOrigin origin);

public:
    // Reports that wait for a MAC; beyond this many the dispatch waits too, so that the receive
    // queue's bound still bounds what is held.
    static constexpr int kMaxParked = 1024;

private:
    struct Parked {
        ElementReport report;
        Ipv4Address sender;
        bool discoveryAtArrival = false;
    };
    void begin(ElementReport report, Ipv4Address sender, bool discoveryAtArrival, std::function<void()> done);
    void lookupEnded(const QString &address, const QString &mac);
    void macLookupEnded(QString mac, bool arpTried = true);
    QList<Message> storeDiscovered();
    QList<Message> storeAdded();
    QList<Message> storeBatch();
    QList<Message> confirmWrite();
    void finish(const QList<Message> &messages);
    bool answersDriftPage(const QString &address, Ipv4Address sender, bool discoveryAtArrival) const;
    // The message of a refused report, said to the event log too.
    Message refused(const Message &message);
    friend class ElementLinkTestPeer;

    ElementDatabase &m_database;
    ReportHandlerHooks m_hooks;
    ElementReport m_report;
    Ipv4Address m_sender;
    MacLookups m_lookups;
    QHash<QString, QList<Parked>> m_parked; // by reported address, in arrival order
    int m_parkedCount = 0;
    std::function<void()> m_dispatchWaits; // done() held back while too many reports wait
    bool m_discoveryAtArrival = false;
    bool m_busy = false;
    bool m_stored = false;         // the report being handled wrote, or queued, something for nms.ini
    bool m_additionAnswer = false; // the report being handled answers an addition
    bool m_driftAnswer = false;    // it answers a drift page: no message, nothing stored
    QString m_addedKey;
    std::function<void()> m_done;
    MessageCoalescer m_messages;
    QList<std::pair<QString, KeyValues>> m_unstored; // discovered elements not yet in the file
    int m_shortDropped = 0;
    Tally m_tally;
};

} // namespace ondalink

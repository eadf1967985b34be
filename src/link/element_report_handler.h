// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/confirmation.h"
#include "link/element_report.h"
#include "link/message_coalescer.h"
#include "model/configuration_write.h"
#include "model/element_record.h"

#include <QByteArray>
#include <QObject>
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
};

// Decodes and checks an element report, looks up the element's MAC, then stores it (discovery)
// or confirms a configuration write against what the panel shows, stores what is confirmed and
// signals the element's reported state for the panel.
class ElementReportHandler : public QObject {
    Q_OBJECT
public:
    ElementReportHandler(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                         ReportHandlerHooks hooks, int macLookupMs = 5000, QObject *parent = nullptr);
    ~ElementReportHandler() override;

    // Handles one report. The MAC lookup is asynchronous, so done() may run later, from the event
    // loop; it runs exactly once per call. discoveryAtArrival tells whether a discovery was waiting
    // when the datagram arrived. A datagram shorter than a report is dropped at once: no message,
    // no reload, the Response timer left running. Call again only after done() has run.
    void handleReport(const QByteArray &datagram, bool discoveryAtArrival, std::function<void()> done);

    // Stores the elements of a discovery that wait in a batch (see storeDiscovered). The link calls it
    // when no datagram waits any more; a report outside a discovery and a reload of the tree do too.
    void flushStored();

    // The last report decoded (with the MAC once found); fields it did not carry are zero.
    const ElementRecord &snapshot() const { return m_report.record; }
    const ElementReport &report() const { return m_report; }

    bool busy() const { return m_busy; }
    int shortDatagramsDropped() const { return m_shortDropped; }
    // How long an identical failure still counts as a repeat of the previous one (1000 ms).
    void setRepeatQuietMs(int ms) { m_messages.setQuietMs(ms); }

Q_SIGNALS:
    // A confirming report's state, for the panel; the confirmed keys are stored by now.
    void confirmed(const ondalink::ConfirmedState &state);

private:
    void retryLookup();
    void attemptLookup();
    void macLookupEnded(const QString &mac);
    QList<Message> storeDiscovered();
    QList<Message> storeBatch();
    QList<Message> confirmWrite();
    friend class ElementLinkTestPeer;
    void finish(const QList<Message> &messages);

    ElementDatabase &m_database;
    MacResolver &m_resolver;
    ReportHandlerHooks m_hooks;
    ElementReport m_report;
    QTimer m_lookupBound; // how long one report may wait for its MAC
    QTimer m_retryTimer;  // paces the ARP attempts within timerGetMAC's bound
    int m_retryMs = 1;
    bool m_discoveryAtArrival = false;
    bool m_busy = false;
    std::function<void()> m_done;
    MessageCoalescer m_messages;
    QList<std::pair<QString, KeyValues>> m_unstored; // discovered elements not yet in the file
    int m_shortDropped = 0;
};

} // namespace ondalink

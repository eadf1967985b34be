// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/element_report.h"
#include "link/message_coalescer.h"
#include "model/element_record.h"
#include "store/element_schema.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

namespace ondalink {

class ElementDatabase;
class MacResolver;
class Notifier;
class PanelView;

// What the report handler needs from the link that owns it.
struct ReportHandlerHooks {
    std::function<void()> stopResponseTimer; // timerRemoteSent
    std::function<bool()> discoveryRunning;  // AutoDiscoverAwaiting as it is now
    std::function<void()> reloadTree;        // Load_Config
    std::function<bool()> morePending;       // further datagrams wait to be handled
};

// Decodes and checks an element report, looks up the element's MAC, then stores it (discovery)
// or confirms a configuration write against the panel.
class ElementReportHandler : public QObject {
    Q_OBJECT
public:
    ElementReportHandler(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                         PanelView &panel, ReportHandlerHooks hooks, int macLookupMs = 5000,
                         QObject *parent = nullptr);
    ~ElementReportHandler() override;

    // Handles one report. The MAC lookup is asynchronous, so done() may run later, from the event
    // loop; it runs exactly once per call. discoveryAtArrival is AutoDiscoverAwaiting as it was
    // when the datagram arrived. A datagram shorter than a report is dropped at once: no message,
    // no reload, the Response timer left running. Call again only after done() has run.
    void HandleElementReport(const QByteArray &datagram, bool discoveryAtArrival, std::function<void()> done);

    // Stores the elements of a discovery that wait in a batch (see storeDiscovered). The link calls it
    // when no datagram waits any more; a report outside a discovery and a reload of the tree do too.
    void flushStored();

    // The last report decoded (with the MAC once found); fields it did not carry are zero.
    const ElementRecord &snapshot() const { return m_report.record; }
    const ElementReport &report() const { return m_report; }
    QTimer &timerGetMAC() { return m_timerGetMAC; }

    bool busy() const { return m_busy; }
    int shortDatagramsDropped() const { return m_shortDropped; }
    // How long an identical failure still counts as a repeat of the previous one (1000 ms).
    void setRepeatQuietMs(int ms) { m_messages.setQuietMs(ms); }

private:
    void retryLookup();
    void attemptLookup();
    void macLookupEnded(const QString &mac);
    QList<Message> storeDiscovered();
    QList<Message> storeBatch();
    QList<Message> confirmWrite();
    void finish(const QList<Message> &messages);

    ElementDatabase &m_database;
    MacResolver &m_resolver;
    PanelView &m_panel;
    ReportHandlerHooks m_hooks;
    ElementReport m_report;
    QTimer m_timerGetMAC;
    QTimer m_retryTimer; // paces the ARP attempts within timerGetMAC's bound
    int m_retryMs = 1;
    bool m_discoveryAtArrival = false;
    bool m_busy = false;
    std::function<void()> m_done;
    MessageCoalescer m_messages;
    QList<std::pair<QString, KeyValues>> m_unstored; // discovered elements not yet in the file
    int m_shortDropped = 0;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_record.h"

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
    std::function<bool()> discoveryRunning; // AutoDiscoverAwaiting as it is now
    std::function<void()> reloadTree; // Load_Config
};

// Decodes and checks an element report, looks up the element's MAC, then stores it (discovery)
// or confirms a configuration write against the panel.
class ElementReportHandler : public QObject {
    Q_OBJECT
public:
    ElementReportHandler(ElementDatabase &database, Notifier &notifier, MacResolver &resolver, PanelView &panel,
                         ReportHandlerHooks hooks, int macLookupMs = 5000, QObject *parent = nullptr);
    ~ElementReportHandler() override;

    // Handles one report. The MAC lookup is asynchronous, so done() may run later, from the event
    // loop; it runs exactly once per call. discoveryAtArrival is AutoDiscoverAwaiting as it was
    // when the datagram arrived.
    void HandleElementReport(const QByteArray &datagram, bool discoveryAtArrival, std::function<void()> done);

    const ElementRecord &snapshot() const { return m_snapshot; }
    QTimer &timerGetMAC() { return m_timerGetMAC; }

private:
    ElementDatabase &m_database;
    Notifier &m_notifier;
    MacResolver &m_resolver;
    PanelView &m_panel;
    ReportHandlerHooks m_hooks;
    ElementRecord m_snapshot;
    QTimer m_timerGetMAC;
};

} // namespace ondalink

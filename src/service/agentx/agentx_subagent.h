// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "service/service_config.h"
#include "service/status_board.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

namespace ondalink {

// Publishes a status board as ONDALINK-NMS-MIB through an AgentX master agent (snmpd), and sends
// its notifications when an element goes offline or silent and when it comes back. The agent
// library runs in this thread's event loop: its sockets are watched by notifiers and its next
// timeout by a single-shot timer. When the master goes away the library reconnects every ping
// interval, and the table is served again once it is back. One per process: the agent library
// keeps its state in globals.
class AgentxSubagent : public QObject {
    Q_OBJECT
public:
    explicit AgentxSubagent(const StatusBoard &board, QObject *parent = nullptr);
    ~AgentxSubagent() override;
    AgentxSubagent(const AgentxSubagent &) = delete;
    AgentxSubagent &operator=(const AgentxSubagent &) = delete;

    // Starts the agent library as a subagent of the master at options.socket. Not reaching the
    // master is no error: it is tried again every ping interval. False, with *error, when the
    // library cannot start or a subagent already runs in this process.
    bool start(const AgentxOptions &options, QString *error);
    bool isConnected() const { return m_connected; }

Q_SIGNALS:
    void connectedChanged(bool connected);

private:
    struct Glue; // the agent library's callbacks

    void serviceSockets(int fd);
    void serviceTimeout();
    void afterRound();
    void rearm();
    void setConnected(bool connected);
    void rebuildIndices();
    void onStatusChanged(const BoardRow &row, ElementStatus previous);
    void onSilenceChanged(const BoardRow &row, SilenceState previous);
    void sendNotification(unsigned long which, const char *name, const BoardRow &row,
                          unsigned long stateColumn);

    const StatusBoard &m_board;
    QList<quint32> m_indices; // the board's row indices, ascending, for the table's searches
    QMap<int, QSocketNotifier *> m_notifiers;
    QTimer m_timer;
    bool m_started = false;
    bool m_connected = false;
    bool m_inRound = false;
};

} // namespace ondalink

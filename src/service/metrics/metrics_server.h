// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "service/service_config.h"

#include <QHttpServer>
#include <QObject>
#include <QString>

class QTcpServer;

namespace ondalink {

class StatusBoard;

// The Prometheus endpoint: GET /metrics renders the board at the moment of the scrape, / is a page
// that links to it, anything else is 404. It listens where the options say (loopback by default).
class MetricsServer : public QObject {
    Q_OBJECT
public:
    explicit MetricsServer(const StatusBoard &board, QObject *parent = nullptr);

    // False with "cannot listen on ADDRESS:PORT: REASON" in *error when the address cannot be bound.
    bool listen(const MetricsOptions &options, QString *error);
    // The port listened on (the one chosen when the options asked for 0); 0 before listen succeeds.
    quint16 port() const;

private:
    const StatusBoard &m_board;
    QHttpServer m_http;
    QTcpServer *m_tcp = nullptr;
};

} // namespace ondalink

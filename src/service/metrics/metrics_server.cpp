// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/metrics/metrics_server.h"

#include "service/metrics/metrics_text.h"
#include "service/status_board.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>

namespace ondalink {
namespace {

// What exporters conventionally answer on their root: a pointer to the metrics.
constexpr char kIndexPage[] = "<html><head><title>ondalink-nmsd</title></head><body>"
                              "<h1>ondalink-nmsd</h1><p><a href=\"/metrics\">Metrics</a></p>"
                              "</body></html>\n";

QString endpointText(const QHostAddress &address, quint16 port) {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

} // namespace

MetricsServer::MetricsServer(const StatusBoard &board, QObject *parent) : QObject(parent), m_board(board) {
    m_http.route(QStringLiteral("/metrics"), QHttpServerRequest::Method::Get, [this] {
        return QHttpServerResponse(QByteArray(kMetricsContentType), metricsText(m_board));
    });
    m_http.route(QStringLiteral("/"), QHttpServerRequest::Method::Get, [] {
        return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), QByteArray(kIndexPage));
    });
    m_http.setMissingHandler([](const QHttpServerRequest &, QHttpServerResponder &&responder) {
        responder.write(QByteArrayLiteral("Not found: the metrics are at /metrics\n"),
                        QByteArrayLiteral("text/plain; charset=utf-8"),
                        QHttpServerResponder::StatusCode::NotFound);
    });
}

bool MetricsServer::listen(const MetricsOptions &options, QString *error) {
    auto *tcp = new QTcpServer(this);
    if (!tcp->listen(options.address, options.port)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1: %2")
                         .arg(endpointText(options.address, options.port), tcp->errorString());
        delete tcp;
        return false;
    }
    delete m_tcp;
    m_tcp = tcp;
    m_http.bind(m_tcp);
    return true;
}

quint16 MetricsServer::port() const {
    return m_tcp ? m_tcp->serverPort() : 0;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

namespace ondalink::sim {

// Pages one address (a broadcast one on a lab host) from an ephemeral port and collects the
// answers for a while: a stand-in for the NMS when a script checks what answers. Another payload
// (a configuration write, a level request) can be sent the same way.
class PagingProbe : public QObject {
    Q_OBJECT
public:
    explicit PagingProbe(QObject *parent = nullptr);

    // False with errorString() when the socket cannot be bound or the request cannot be sent.
    bool start(const QHostAddress &target, quint16 port, int waitMs, const QByteArray &payload);
    QString errorString() const { return m_error; }

Q_SIGNALS:
    void answered(const QHostAddress &from, const QByteArray &datagram);
    void finished(int answers);

private:
    QUdpSocket m_socket;
    QTimer m_window;
    int m_answers = 0;
    QString m_error;
};

// One line for a received answer: source and length; for a report the fields that tell elements
// apart, for a level reply its positive peak.
QString describeReport(const QHostAddress &from, const QByteArray &datagram);

} // namespace ondalink::sim

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ipv4.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUdpSocket>

#include <deque>
#include <functional>
#include <optional>

namespace ondalink {

// A datagram as it was received, with whether a discovery was waiting at its arrival.
struct ReceivedDatagram {
    QByteArray data;
    bool discoveryAtArrival = false;
    Ipv4Address sender; // 0.0.0.0 for a datagram handed over by deliver()
};

struct EndpointOptions {
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 localPort = 2976;
    // Enough for a burst of 1,000 reports while the event loop is busy elsewhere.
    int receiveBufferBytes = 4 * 1024 * 1024;
    qsizetype fifoCapacity = 16384;
    qsizetype fifoBytes = 4 * 1024 * 1024; // of datagram payload
};

// Outcome of one send: ok, or why not in words the operator can act on.
struct SendResult {
    bool ok = false;
    QString failure;
};

// The one UDP socket of the program, bound once for its whole life. Every datagram is sent from it,
// so replies to the local port always reach it. On readyRead it takes every pending datagram into
// a bounded FIFO; the receive dispatch drains the FIFO one datagram at a time.
class UdpEndpoint : public QObject {
    Q_OBJECT
public:
    // discoveryFlag tells whether a discovery is waiting at the moment a datagram is read.
    UdpEndpoint(EndpointOptions options, std::function<bool()> discoveryFlag, QObject *parent = nullptr);

    // Binds without sharing the port, so a bind fails while another program holds it.
    bool open();
    bool isOpen() const;
    void close();
    quint16 localPort() const;
    // What the kernel granted for the receive buffer (0 before open).
    int receiveBufferGranted() const { return m_receiveBufferGranted; }

    // One datagram from the bound port to an IPv4 address.
    SendResult send(const QByteArray &payload, const QHostAddress &address, quint16 port);
    // The limited broadcast once on every up, broadcast-capable IPv4 interface other than loopback.
    // ok when at least one interface took it; the names of those are in sentInterfaces.
    SendResult broadcastOnEveryInterface(const QByteArray &payload, quint16 port,
                                         QStringList *sentInterfaces = nullptr);

    // Datagrams the filter rejects (by length) are read and dropped at once instead of queued.
    void setAcceptFilter(std::function<bool(qsizetype length)> filter) { m_accept = std::move(filter); }
    // Sees every datagram as it is queued, before datagramsQueued is emitted for it.
    void setArrivalObserver(std::function<void(const ReceivedDatagram &)> observer) {
        m_arrival = std::move(observer);
    }

    // Takes one datagram as if the socket had just handed it over: filtered, bounded and tagged like
    // every other. Lets a datagram reach the dispatch without a network (fuzzing, replay).
    void deliver(const QByteArray &datagram);

    bool hasPending() const { return !m_fifo.empty(); }
    qsizetype pendingCount() const { return static_cast<qsizetype>(m_fifo.size()); }
    ReceivedDatagram takeNext();
    // Datagrams dropped because the FIFO held fifoCapacity datagrams or fifoBytes bytes (the newest
    // are dropped).
    quint64 overflowCount() const { return m_overflow; }
    quint64 filteredCount() const { return m_filtered; }

Q_SIGNALS:
    // New datagrams stand in the FIFO.
    void datagramsQueued();

private:
    void readPending();
    void warnOfOverflow();
    bool enqueue(QByteArrayView datagram, Ipv4Address sender);
    void applyReceiveBuffer();

    EndpointOptions m_options;
    std::function<bool()> m_discoveryFlag;
    std::function<bool(qsizetype)> m_accept;
    std::function<void(const ReceivedDatagram &)> m_arrival;
    QUdpSocket m_socket;
    QByteArray m_readBuffer; // one buffer for every read, larger than any datagram
    std::deque<ReceivedDatagram> m_fifo;
    qsizetype m_fifoBytes = 0;
    quint64 m_overflow = 0;
    quint64 m_overflowWarned = 0; // the count the last warning gave
    qint64 m_lastOverflowWarningMs = -1;
    quint64 m_filtered = 0;
    int m_receiveBufferGranted = 0;
};

// A dotted address as the socket takes it; nullopt when the text is not a valid dotted address.
std::optional<QHostAddress> ipv4Address(const QString &text);

} // namespace ondalink

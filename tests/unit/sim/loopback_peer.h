// SPDX-License-Identifier: GPL-3.0-or-later
// An NMS stand-in on 127.0.0.1 and an ephemeral port, and an element config to match.
#pragma once

#include "element_simulator.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace ondalink::sim::testing {

inline SimConfig loopbackElement(quint8 role) {
    SimConfig config;
    config.identity.role = role;
    config.endpoint.bindAddress = QHostAddress(QHostAddress::LocalHost);
    config.endpoint.pagingPort = 0;
    config.endpoint.configPort = 0;
    config.endpoint.levelPort = 0;
    return config;
}

class LoopbackPeer {
public:
    LoopbackPeer() { EXPECT_TRUE(m_socket.bind(QHostAddress(QHostAddress::LocalHost), 0)); }

    void send(const QByteArray &data, quint16 port,
              const QHostAddress &to = QHostAddress(QHostAddress::LocalHost)) {
        ASSERT_EQ(m_socket.writeDatagram(data, to, port), data.size());
    }
    // The next datagram; an invalid one when none comes.
    QNetworkDatagram next() {
        if (!QTest::qWaitFor([this] { return m_socket.hasPendingDatagrams(); }, 5000))
            return {};
        return m_socket.receiveDatagram();
    }
    // Loopback delivers during the send, so once the element has handled a datagram its answer,
    // if any, is already waiting here.
    bool hasPending() { return m_socket.hasPendingDatagrams(); }
    quint16 port() const { return m_socket.localPort(); }

private:
    QUdpSocket m_socket;
};

// Sends and waits until the element has handled the datagram; returns what it made of it.
inline std::pair<DatagramKind, bool> deliver(ElementSimulator &element, LoopbackPeer &peer,
                                             const QByteArray &data, quint16 port,
                                             const QHostAddress &to = QHostAddress(QHostAddress::LocalHost)) {
    QSignalSpy handled(&element, &ElementSimulator::datagramHandled);
    peer.send(data, port, to);
    if (!handled.wait(5000)) {
        ADD_FAILURE() << "the element never handled a datagram of " << data.size() << " bytes";
        return {DatagramKind::Ignored, false};
    }
    return {handled.at(0).at(0).value<DatagramKind>(), handled.at(0).at(1).toBool()};
}

} // namespace ondalink::sim::testing

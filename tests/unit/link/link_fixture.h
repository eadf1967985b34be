// SPDX-License-Identifier: GPL-3.0-or-later
// The element link on loopback: an ephemeral local port, a temporary nms.ini, the seam fakes, and
// elements played by plain sockets on 127.0.0.x.
#pragma once

#include "fakes.h"
#include "link/element_link.h"
#include "link/element_report_handler.h"
#include "link_test_peer.h"
#include "model/ipv4.h"
#include "store/element_database.h"

#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace ondalink::testing {

// A socket playing an element, or the network the paging request goes out on.
struct Peer {
    explicit Peer(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0,
                  QAbstractSocket::BindMode mode = QAbstractSocket::DefaultForPlatform) {
        EXPECT_TRUE(socket.bind(address, port, mode));
    }
    quint16 port() const { return socket.localPort(); }
    // The next datagram to arrive; an invalid one when none comes within five seconds.
    QNetworkDatagram next() {
        return QTest::qWaitFor([&] { return socket.hasPendingDatagrams(); }, 5000) ? socket.receiveDatagram()
                                                                                   : QNetworkDatagram();
    }
    void sendTo(const QByteArray &payload, quint16 port) {
        socket.writeDatagram(payload, QHostAddress(QHostAddress::LocalHost), port);
    }

    QUdpSocket socket;
};

inline QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// An element report as an element sends it: the 40 common bytes, then the tail.
struct Report {
    int ipLast = 10; // 192.168.1.x
    int input = 1, type = 0, tx = 1, role = 2;
    QByteArray name = "Dec One         ";
    quint32 sn = 256;
    QByteArray tail{};

    QByteArray bytes() const {
        const auto s = static_cast<int>(sn);
        return bytesOf({192, 168, 1, ipLast, 255, 255, 255, 0, 192, 168, 1, 1, 192, 168, 1, 20, input, type,
                        tx}) +
               name + bytesOf({role, s >> 24, s >> 16, s >> 8, s}) + tail;
    }
};

// A full decoder tail: att, version 3.4, sfn, buf, sdm, sdl, sdt.
inline QByteArray decoderTail(int att = 200, int buf = 4, int sdm = 1, int sdl = 37, int sdt = 43) {
    return bytesOf({att, 3, 4, 1, buf, sdm, sdl, sdt});
}

inline const QString kSelectedMac = QStringLiteral("00:A0:C9:00:00:01");
inline const QString kSelectedKey = QStringLiteral("00A0C9000001");

class LinkTest : public ::testing::Test {
private:
    QTemporaryDir m_dir; // first in, last out: everything below uses the folder

protected:
    LinkTest() : database(m_dir.filePath(QStringLiteral("nms.ini"))) {
        settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
        settings.localPort = 0;
        settings.pagingHost = QStringLiteral("127.0.0.1");
        settings.responseTimeoutMs = 600000; // ticks only where a test asks it to
        answerArp(10, "00a0c9000001");
    }
    void makeLink() {
        link = std::make_unique<ElementLink>(
            database, notifier, resolver, [this] { return panel; }, settings);
        peer = std::make_unique<ElementLinkTestPeer>(*link);
        ASSERT_TRUE(link->open());
        QObject::connect(link.get(), &ElementLink::reloadTreeRequested, link.get(), [this] { ++reloads; });
        QObject::connect(link.get(), &ElementLink::elementConfirmed, link.get(),
                         [this](const ConfirmedState &state) { confirmed = state; });
    }
    void answerArp(int ipLast, const char *hexMac) {
        resolver.table.insert(
            parseDottedAddress(QStringLiteral("192.168.1.%1").arg(ipLast))->toNetworkOrder(),
            QByteArray::fromHex(hexMac));
    }
    // The panel shows the element whose section holds this stored address.
    void selectElementStoredAt(const QString &storedIp) {
        panel.mac = kSelectedMac;
        ASSERT_TRUE(database.write(kSelectedKey, QStringLiteral("ip"), storedIp));
    }
    // The panel as the operator sent it to the element that Report describes.
    void selectMatchingElement() {
        std::tie(panel.mac, panel.name, panel.ip, panel.mask, panel.gw, panel.remote, panel.input, panel.type,
                 panel.tx) =
            std::tuple(kSelectedMac, QStringLiteral("Dec One"), QStringLiteral("192.168.1.10"),
                       QStringLiteral("255.255.255.0"), QStringLiteral("192.168.1.1"),
                       QStringLiteral("192.168.1.20"), 1, 0, 1);
    }
    // One report through the handler; true once it has said, exactly once, that it is done, and has
    // finished with it.
    bool handle(const QByteArray &datagram, bool discoveryAtArrival = false) {
        int done = 0;
        peer->reportHandler().handleReport(datagram, Ipv4Address{}, discoveryAtArrival, [&done] { ++done; });
        // A report that waits for its MAC lets the dispatch go on at once and finishes later.
        return QTest::qWaitFor([&] { return done > 0 && !peer->reportHandler().busy(); }, 20000) && done == 1;
    }
    QString stored(const QString &key, const QString &section = kSelectedKey) const {
        return database.read(section, key, QStringLiteral("<none>"));
    }

    ElementDatabase database;
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    ConfigurationWrite panel; // what the panel shows; the link reads it when it needs it
    ConfirmedState confirmed; // the last state a confirmation put into the panel
    LinkSettings settings;
    std::unique_ptr<ElementLink> link;
    std::unique_ptr<ElementLinkTestPeer> peer;
    int reloads = 0;
};

} // namespace ondalink::testing

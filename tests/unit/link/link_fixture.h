// SPDX-License-Identifier: GPL-3.0-or-later
// The element link on loopback: an ephemeral local port, a temporary nms.ini, the seam fakes, and
// in-test elements that are plain sockets on 127.0.0.x.
#pragma once

#include "diag/arp.h"
#include "fakes.h"
#include "link/element_link.h"
#include "store/element_database.h"

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>

namespace ondalink::testing {

// A socket playing an element, or the network the paging request goes out on.
class LoopbackPeer {
public:
    explicit LoopbackPeer(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost),
                          quint16 port = 0,
                          QAbstractSocket::BindMode mode = QAbstractSocket::DefaultForPlatform) {
        bound = socket.bind(address, port, mode);
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams())
                received.append(socket.receiveDatagram());
        });
    }
    quint16 port() const { return socket.localPort(); }
    bool waitFor(qsizetype count, int timeoutMs = 5000) {
        return QTest::qWaitFor([&] { return received.size() >= count; }, timeoutMs);
    }
    void sendTo(const QByteArray &payload, quint16 port) {
        socket.writeDatagram(payload, QHostAddress(QHostAddress::LocalHost), port);
    }

    QUdpSocket socket;
    bool bound = false;
    QList<QNetworkDatagram> received;
};

// A 44-byte encoder report as an element sends it: ip and serial as given, the rest fixed.
inline QByteArray encoderReport(const QByteArray &ipOctets, const QByteArray &name16, quint32 serial) {
    QByteArray report = ipOctets;
    report += QByteArray::fromHex("ffffff00"); // mask
    report += ipOctets.left(3) + '\x01';       // gateway
    report += ipOctets.left(3) + '\x14';       // remote
    report += QByteArray::fromHex("000000");   // input, type, tx
    report += name16;
    report += '\x01'; // role: encoder
    for (int shift = 24; shift >= 0; shift -= 8)
        report += static_cast<char>((serial >> shift) & 0xFF);
    report += QByteArray::fromHex("03040000"); // version 3.4, sfn, buf
    return report;
}

inline const QString kSelectedMac = QStringLiteral("00:A0:C9:00:00:01");
inline const QString kSelectedKey = QStringLiteral("00A0C9000001");

class LinkTest : public ::testing::Test {
private:
    QTemporaryDir m_dir; // first in, last out: everything below uses the folder

protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        database = std::make_unique<ElementDatabase>(m_dir.filePath(QStringLiteral("nms.ini")));
    }

    static LinkSettings loopbackSettings() {
        LinkSettings settings;
        settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
        settings.localPort = 0;
        settings.pagingHost = QStringLiteral("127.0.0.1");
        return settings;
    }

    void makeLink(LinkSettings settings = loopbackSettings()) {
        link = std::make_unique<ElementLink>(*database, notifier, resolver, panel, std::move(settings));
        ASSERT_TRUE(link->open());
        QObject::connect(link.get(), &ElementLink::reloadTreeRequested, link.get(), [this] { ++reloads; });
    }

    // The panel shows the element whose section holds this stored address.
    void selectElementStoredAt(const QString &storedIp) {
        panel.mac = kSelectedMac;
        ASSERT_TRUE(database->write(kSelectedKey, QStringLiteral("ip"), storedIp));
    }

    void answerArp(const QString &ip, const QByteArray &hardware) {
        resolver.table.insert(ARP::AddressValue(ip), hardware);
    }

    QString dirPath() const { return m_dir.path(); }

    std::unique_ptr<ElementDatabase> database;
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    FakePanel panel;
    std::unique_ptr<ElementLink> link;
    int reloads = 0;
};

} // namespace ondalink::testing

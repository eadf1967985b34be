// SPDX-License-Identifier: GPL-3.0-or-later
// A write that changes the address moves the element's interface; an ip stand-in records how.
#include "loopback_peer.h"

#include <QFile>
#include <QTemporaryDir>

using namespace ondalink::sim;
using namespace ondalink::sim::testing;

namespace {

class InterfaceMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_record = m_dir.filePath(QStringLiteral("ip.log"));
        const QString script = m_dir.filePath(QStringLiteral("ip"));
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"$*\" >> '" + m_record.toLocal8Bit() +
                   "'\ncase \"$*\" in *127.0.0.3/*) echo 'RTNETLINK answers: no' >&2; exit 2;; esac\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        SimConfig config = loopbackElement(kEncoder);
        config.settings.ip = 0x7F000001;
        config.settings.mask = 0xFF000000;
        config.endpoint.interfaceName = QStringLiteral("simlab0");
        config.endpoint.ipCommand = script;
        m_element = std::make_unique<ElementSimulator>(config);
        ASSERT_TRUE(m_element->start()) << m_element->errorString().toStdString();
    }

    QStringList commands() const {
        QFile file(m_record);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // A 35-byte write of this address, mask and gateway, the rest zero.
    static QByteArray write(const char *addressesHex) {
        QByteArray data = QByteArray::fromHex(addressesHex);
        data.resize(35, '\0');
        return data;
    }

    QTemporaryDir m_dir;
    QString m_record;
    std::unique_ptr<ElementSimulator> m_element;
    LoopbackPeer peer;
};

TEST_F(InterfaceMoveTest, NewAddressIsSetBeforeTheReportLeavesFromIt) {
    // 127.0.0.2/24, gateway 127.0.0.254
    peer.send(write("7f000002ffffff007f0000fe"), m_element->configPort());
    const QNetworkDatagram report = peer.next();
    ASSERT_TRUE(report.isValid());
    EXPECT_EQ(report.senderAddress(), QHostAddress(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(report.data().left(4).toHex().toStdString(), "7f000002");
    EXPECT_EQ(commands(), (QStringList{QStringLiteral("addr del 127.0.0.1/8 dev simlab0"),
                                       QStringLiteral("addr replace 127.0.0.2/24 dev simlab0"),
                                       QStringLiteral("route replace default via 127.0.0.254 dev simlab0")}));
    // The level socket has moved too.
    peer.send("VOL", m_element->levelPort(), QHostAddress(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(peer.next().data().size(), 1440);
}

TEST_F(InterfaceMoveTest, FailedMoveStillAnswersFromTheOldAddress) {
    peer.send(write("7f000003ff000000"), m_element->configPort());
    const QNetworkDatagram report = peer.next();
    ASSERT_TRUE(report.isValid());
    EXPECT_EQ(report.senderAddress(), QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(report.data().left(4).toHex().toStdString(), "7f000003") << "the report tells what was written";
}

TEST_F(InterfaceMoveTest, AddressesThatCannotBeSetLeaveTheInterfaceAlone) {
    // 0.0.0.0, a broadcast address, a mask with a hole, the same address and mask again
    for (const char *hex : {"00000000ffffff00", "ffffffffffffff00", "7f000009ff00ff00", "7f000001ff000000"}) {
        peer.send(write(hex), m_element->configPort());
        EXPECT_TRUE(peer.next().isValid()) << hex;
    }
    EXPECT_EQ(commands(), QStringList());
}

TEST_F(InterfaceMoveTest, PagesForAnotherHostAddressAreLeftToThatElement) {
    const QByteArray paging("LINKWAVE KORVALEN PAGING REQUEST");
    EXPECT_EQ(
        deliver(*m_element, peer, paging, m_element->pagingPort(), QHostAddress(QStringLiteral("127.0.0.9"))),
        std::pair(DatagramKind::Ignored, false));
    EXPECT_FALSE(peer.hasPending());
    EXPECT_EQ(
        deliver(*m_element, peer, paging, m_element->pagingPort(), QHostAddress(QHostAddress::LocalHost)),
        std::pair(DatagramKind::Paging, true));
}

} // namespace

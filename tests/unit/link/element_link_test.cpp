// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"
#include "link/receive_dispatch.h"
#include "link_fixture.h"

#include <QSignalSpy>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(ClassifyDatagram, ChoosesByLengthAlone) {
    const std::pair<qsizetype, DatagramKind> rows[] = {
        {0, DatagramKind::ElementReport}, {2, DatagramKind::ElementReport},  {3, DatagramKind::Ignored},
        {4, DatagramKind::ElementReport}, {48, DatagramKind::ElementReport}, {49, DatagramKind::Ignored},
        {1439, DatagramKind::Ignored},    {1440, DatagramKind::LevelReply},  {1441, DatagramKind::Ignored}};
    for (const auto &[length, kind] : rows)
        EXPECT_EQ(classifyDatagram(length), kind) << length;
}

TEST(ReceiveDispatch, OneAtATimeInArrivalOrderEachWithTheFlagAtItsArrival) {
    EndpointOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.localPort = 0;
    bool discoveryFlag = false;
    UdpEndpoint endpoint(options, [&] { return discoveryFlag; });
    ASSERT_TRUE(endpoint.open());
    Peer peer;
    // Each datagram is numbered by its bytes.
    const auto send = [&](int length, int number) {
        peer.sendTo(QByteArray(length, char(number)), endpoint.localPort());
    };
    QStringList handled;
    bool inReport = false;
    bool reentered = false;
    ReceiveDispatch dispatch(
        endpoint,
        [&](const QByteArray &reply, Ipv4Address) { handled.append(u"level %1"_s.arg(int(reply[0]))); },
        [&](const QByteArray &datagram, Ipv4Address, bool discovery, const std::function<void()> &done) {
            reentered = reentered || inReport;
            inReport = true;
            handled.append(u"report %1 %2"_s.arg(int(datagram[0])).arg(int(discovery)));
            if (datagram[0] == 0) {
                // As a modal message box would: a nested loop runs while the flag rises and falls.
                discoveryFlag = true;
                send(44, 1);
                send(1440, 2);
                send(3, 3);
                EXPECT_TRUE(QTest::qWaitFor([&] { return endpoint.pendingCount() == 3; }));
                discoveryFlag = false;
                send(40, 4);
                EXPECT_TRUE(QTest::qWaitFor([&] { return endpoint.pendingCount() == 4; }));
            }
            QTimer::singleShot(1, &endpoint, [&inReport, done] {
                inReport = false;
                done();
            });
        });
    send(44, 0);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return handled.size() == 4 && !dispatch.busy() && !endpoint.hasPending(); }));
    EXPECT_EQ(handled, (QStringList{u"report 0 0"_s, u"report 1 1"_s, u"level 2"_s, u"report 4 0"_s}));
    EXPECT_FALSE(reentered);
}

TEST_F(LinkTest, AttenuationGoesToTheStoredAddressAndIsStoredOnlyWhenSent) {
    Peer typed(QHostAddress(u"127.0.0.1"_s));
    Peer element(QHostAddress(u"127.0.0.2"_s), typed.port());
    settings.controlPort = typed.port();
    makeLink();
    selectElementStoredAt(u"127.0.0.2"_s);
    panel.ip = u"127.0.0.1"_s; // what the operator typed
    const std::pair<int, bool> rows[] = {{13, false}, {14, true}, {255, true}, {256, false}};
    for (const auto &[position, sent] : rows) {
        link->sendAttenuation(position);
        EXPECT_EQ(stored(u"att"_s) == QString::number(position), sent) << position;
        if (!sent)
            continue;
        const QNetworkDatagram datagram = element.next(); // nothing unsent came before it
        EXPECT_EQ(std::tuple(datagram.data(), datagram.senderPort()),
                  std::tuple(bytesOf({position, 0}), peer->endpoint().localPort()));
    }
    EXPECT_FALSE(typed.socket.hasPendingDatagrams());
    selectElementStoredAt(u"no address"_s);
    link->sendAttenuation(120);
    EXPECT_EQ(notifier.messages,
              QList<Message>{Message(MessageId::AttenuationNotSent,
                                     {phrase(PhraseId::StoredAddressInvalid, {u"no address"_s})})});
    EXPECT_EQ(stored(u"att"_s), u"255"_s) << "an attenuation that was not sent is not stored";
}

TEST_F(LinkTest, SendFailureSaysWhatIsWrongAndTheLinkKeepsRunning) {
    Peer element;
    settings.controlPort = element.port();
    makeLink();
    // clang-format off
    const struct { QString mac, storedIp; QString failure; } failures[] = {
        {u""_s, u"127.0.0.1"_s, phrase(PhraseId::NoSelection)},
        {kSelectedMac, u""_s, phrase(PhraseId::NoStoredAddress)},
        {kSelectedMac, u"255.255.255.255"_s, phrase(PhraseId::StoredAddressNotUnicast, {u"255.255.255.255"_s})},
        {kSelectedMac, u"224.0.0.1"_s, phrase(PhraseId::StoredAddressNotUnicast, {u"224.0.0.1"_s})},
    };
    // clang-format on
    for (const auto &row : failures) {
        ASSERT_TRUE(database.write(kSelectedKey, u"ip"_s, row.storedIp));
        panel.mac = row.mac;
        const SendResult sent = link->requestLevel();
        EXPECT_EQ(std::tuple(sent.ok, sent.failure), std::tuple(false, row.failure));
    }
    EXPECT_FALSE(element.socket.hasPendingDatagrams());
    QSignalSpy levels(link.get(), &ElementLink::levelReplyReceived);
    element.sendTo(QByteArray(kLevelReplyLength, '\0'), peer->endpoint().localPort());
    EXPECT_TRUE(levels.wait(5000)) << "still bound: a reply to the local port arrives";

    link.reset();
    settings.controlPort = 0; // the kernel sends nothing to port 0
    makeLink();
    ASSERT_TRUE(database.write(kSelectedKey, u"ip"_s, u"127.0.0.1"_s));
    // The system's reason follows what the link says.
    const QString refused = phrase(PhraseId::NetworkRefused, {u"127.0.0.1"_s, u"0"_s, u"\x1f"_s});
    EXPECT_TRUE(link->requestLevel().failure.startsWith(refused.section(u'\x1f', 0, 0)));
}

} // namespace
} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"
#include "link/receive_dispatch.h"
#include "link_fixture.h"

#include <QSignalSpy>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

// The system's constants are the defaults; every other test passes loopback, ephemeral ports and its
// own timers.
TEST(LinkSettings, DefaultsAreTheSystemsPortsAndTimers) {
    const LinkSettings d;
    const std::tuple<const char *, qint64, qint64> rows[] = {
        {"NMS port, bound for the program's life", d.localPort, 2976},
        {"element port, configuration writes", d.elementPort, 2976},
        {"control port, attenuation and level requests", d.controlPort, 2977},
        {"paging port", d.pagingPort, 1901},
        {"timerRemoteSent: the Response a write waits for, ms", d.responseTimeoutMs, 3000},
        {"timerGetMAC: the bound of a MAC lookup, ms", d.macLookupMs, 5000},
        {"Timer1: the paging window's wait for answers, ms", d.pagingWaitMs, 3000},
        {"tmrVolume: the level tick until Slider1 is moved, ms", d.levelIntervalMs, 50},
    };
    for (const auto &[what, actual, expected] : rows)
        EXPECT_EQ(actual, expected) << what;
    EXPECT_EQ(std::tuple(d.pagingHost, d.bindAddress),
              std::tuple(u"255.255.255.255"_s, QHostAddress(QHostAddress::AnyIPv4)));
}

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
        endpoint, [&](const QByteArray &reply) { handled.append(u"level %1"_s.arg(int(reply[0]))); },
        [&](const QByteArray &datagram, bool discovery, std::function<void()> done) {
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

TEST_F(LinkTest, AttenuationGoesToTheStoredAddressOnlyForAFocusedDecoder) {
    Peer typed(QHostAddress(u"127.0.0.1"_s));
    Peer element(QHostAddress(u"127.0.0.2"_s), typed.port());
    settings.controlPort = typed.port();
    makeLink();
    selectElementStoredAt(u"127.0.0.2"_s);
    panel.ip = u"127.0.0.1"_s; // what the operator typed
    // clang-format off
    const struct { QString type; bool focus; int position; bool sent; } rows[] = {
        {u"ENCODER"_s, true, 200, false}, {u"DECODER"_s, false, 201, false}, {u"decoder"_s, true, 203, false},
        {u"DECODER"_s, true, 14, true}, {u"DECODER"_s, true, 255, true}};
    // clang-format on
    for (const auto &row : rows) {
        link->applyAttenuationChange(row.position, row.type, row.focus);
        EXPECT_EQ(stored(u"att"_s) == QString::number(row.position), row.sent) << row.position;
        if (!row.sent)
            continue;
        const QNetworkDatagram sent = element.next(); // nothing unsent came before it
        EXPECT_EQ(std::tuple(sent.data(), sent.senderPort()),
                  std::tuple(bytesOf({row.position, 0}), link->endpoint().localPort()));
    }
    EXPECT_FALSE(typed.socket.hasPendingDatagrams());
    selectElementStoredAt(u"no address"_s);
    link->applyAttenuationChange(120, u"DECODER"_s, true);
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(stored(u"att"_s), u"255"_s) << "an attenuation that was not sent is not stored";
}

TEST_F(LinkTest, SendFailureTellsTheOperatorWhatIsWrongAndKeepsRunning) {
    makeLink();
    Peer element;
    // clang-format off
    // mentioned: what the first of the message's two lines names
    const struct { QString mac, storedIp; quint16 port; QString mentioned; } failures[] = {
        {u"-"_s, u"127.0.0.1"_s, element.port(), u"No Network Element selected!"_s},
        {kSelectedMac, u""_s, element.port(), u"No IP address"_s},
        {kSelectedMac, u"255.255.255.255"_s, element.port(), u"255.255.255.255"_s},
        {kSelectedMac, u"127.0.0.1"_s, 0, u"refused"_s}, // the kernel sends nothing to port 0
    };
    // clang-format on
    for (const auto &row : failures) {
        notifier.messages.clear();
        ASSERT_TRUE(database.write(kSelectedKey, u"ip"_s, row.storedIp));
        panel.mac = row.mac;
        EXPECT_FALSE(link->SendToElement(row.port, "VOL"));
        ASSERT_EQ(notifier.messages.size(), 1);
        const QStringList lines = notifier.messages.at(0).text.split(u'\r');
        EXPECT_TRUE(lines.size() == 2 && lines.at(0).contains(row.mentioned)) << lines.at(0).toStdString();
    }
    EXPECT_FALSE(element.socket.hasPendingDatagrams());
    QSignalSpy levels(link.get(), &ElementLink::levelReplyReceived);
    element.sendTo(QByteArray(kLevelReplyLength, '\0'), link->endpoint().localPort());
    EXPECT_TRUE(levels.wait(5000)) << "still bound: a reply to the local port arrives";
}

} // namespace
} // namespace ondalink::testing

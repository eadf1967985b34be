// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"
#include "link/discovery.h"
#include "link/level_monitor.h"
#include "link/udp_endpoint.h"
#include "link_fixture.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(UdpEndpoint, BindFailsWhileAnotherSocketHoldsThePort) {
    LoopbackPeer other;
    ASSERT_TRUE(other.bound);
    EndpointOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.localPort = other.port();
    UdpEndpoint taken(options, {});
    EXPECT_FALSE(taken.open());

    // A second copy of the program finds the port taken as well.
    options.localPort = 0;
    UdpEndpoint first(options, {});
    ASSERT_TRUE(first.open());
    EXPECT_GT(first.receiveBufferGranted(), 0);
    options.localPort = first.localPort();
    UdpEndpoint second(options, {});
    EXPECT_FALSE(second.open());
}

QByteArray twoBytes(int first, int second) {
    QByteArray bytes;
    bytes.append(static_cast<char>(first));
    bytes.append(static_cast<char>(second));
    return bytes;
}

class NullLevelView : public LevelView {
public:
    void setMeterWidth(int) override {}
    void setLevelText(const QString &) override {}
};
class NullPagingView : public PagingView {
public:
    void clearGetVolume() override {}
    void emptyLists() override {}
    void closePagingWindow() override {}
};

TEST_F(LinkTest, DefaultsAreTheSystemConstants) {
    const LinkSettings defaults;
    EXPECT_EQ(defaults.localPort, 2976);
    EXPECT_EQ(defaults.elementPort, 2976);
    EXPECT_EQ(defaults.controlPort, 2977);
    EXPECT_EQ(defaults.pagingPort, 1901);
    EXPECT_EQ(defaults.pagingHost, u"255.255.255.255"_s);
    EXPECT_EQ(defaults.bindAddress, QHostAddress(QHostAddress::AnyIPv4));

    // Built with the defaults but never opened: no fixed port is bound by a test.
    ElementLink constants(*database, notifier, resolver, panel);
    EXPECT_EQ(constants.timerRemoteSent().interval(), 3000);
    EXPECT_TRUE(constants.timerRemoteSent().isSingleShot());
    EXPECT_FALSE(constants.timerRemoteSent().isActive());
    EXPECT_EQ(constants.timerGetMAC().interval(), 5000);
    EXPECT_FALSE(constants.AutoDiscoverAwaiting());
    NullLevelView levelView;
    LevelMonitor monitor(constants, levelView);
    EXPECT_EQ(monitor.tmrVolume().interval(), 50);
    EXPECT_FALSE(monitor.monitoring());
    NullPagingView pagingView;
    Discovery discovery(constants, pagingView);
    EXPECT_EQ(discovery.Timer1().interval(), 3000);
}

TEST_F(LinkTest, SendToElementGoesToTheStoredAddressFromTheBoundPort) {
    makeLink();
    LoopbackPeer typed(QHostAddress(u"127.0.0.1"_s));
    LoopbackPeer stored(QHostAddress(u"127.0.0.2"_s), typed.port());
    ASSERT_TRUE(typed.bound && stored.bound);
    selectElementStoredAt(u"127.0.0.2"_s);
    panel.ip = u"127.0.0.1"_s; // what the operator typed

    ASSERT_TRUE(link->SendToElement(typed.port(), "xyz"));
    ASSERT_TRUE(stored.waitFor(1));
    EXPECT_EQ(stored.received.at(0).data(), "xyz");
    EXPECT_EQ(stored.received.at(0).senderPort(), link->endpoint().localPort());
    EXPECT_FALSE(typed.socket.hasPendingDatagrams());
    EXPECT_TRUE(typed.received.isEmpty());
    EXPECT_EQ(link->endpoint().remoteHost(), u"127.0.0.2"_s);
    EXPECT_EQ(link->endpoint().remotePort(), typed.port());
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(LinkTest, SendFailureTellsTheOperatorWhatIsWrongAndKeepsRunning) {
    makeLink();
    LoopbackPeer element;
    const struct {
        QString mac;
        QString storedIp;
        quint16 port;
        QString mentioned; // what the first line must name
    } rows[] = {
        {u"-"_s, u"127.0.0.1"_s, element.port(), u"No Network Element selected!"_s},
        {kSelectedMac, u""_s, element.port(), u"No IP address"_s},
        {kSelectedMac, u"10.0.0"_s, element.port(), u"\"10.0.0\""_s},
        {kSelectedMac, u"255.255.255.255"_s, element.port(), u"255.255.255.255"_s},
        {kSelectedMac, u"0.0.0.0"_s, element.port(), u"0.0.0.0"_s},
        {kSelectedMac, u"224.0.0.1"_s, element.port(), u"224.0.0.1"_s},
        {kSelectedMac, u"127.0.0.1"_s, 0, u"refused"_s}, // the kernel will not send to port 0
    };
    for (const auto &row : rows) {
        notifier.messages.clear();
        ASSERT_TRUE(database->write(kSelectedKey, u"ip"_s, row.storedIp));
        panel.mac = row.mac;
        EXPECT_FALSE(link->SendToElement(row.port, "VOL")) << row.storedIp.toStdString();
        ASSERT_EQ(notifier.messages.size(), 1) << row.storedIp.toStdString();
        const Message &shown = notifier.messages.at(0);
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        EXPECT_FALSE(shown.text.contains(u"occupied"_s));
        const QStringList lines = shown.text.split(u'\r');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines.at(0).contains(row.mentioned)) << lines.at(0).toStdString();
    }
    EXPECT_TRUE(element.received.isEmpty());

    // Still bound: a reply to the local port still arrives.
    QSignalSpy levels(link.get(), &ElementLink::levelReplyReceived);
    element.sendTo(QByteArray(kLevelReplyLength, '\0'), link->endpoint().localPort());
    EXPECT_TRUE(levels.wait(5000));
}

TEST_F(LinkTest, AttenuationIsSentAndStoredOnlyForAFocusedDecoder) {
    LinkSettings settings = loopbackSettings();
    LoopbackPeer element;
    settings.controlPort = element.port();
    makeLink(settings);
    selectElementStoredAt(u"127.0.0.1"_s);
    const struct {
        QString type;
        bool focus;
        int position;
        bool sent;
    } rows[] = {
        {u"ENCODER"_s, true, 200, false},  {u"DECODER"_s, false, 201, false},
        {u"DECODER "_s, true, 202, false}, {u"decoder"_s, true, 203, false},
        {u"DECODER"_s, true, 14, true},    {u"DECODER"_s, true, 255, true},
    };
    QList<QByteArray> expected;
    for (const auto &row : rows) {
        link->applyAttenuationChange(row.position, row.type, row.focus);
        const QString stored = database->read(kSelectedKey, u"att"_s, u"<none>"_s);
        if (row.sent) {
            expected.append(twoBytes(row.position, 0));
            ASSERT_TRUE(element.waitFor(expected.size()));
            EXPECT_EQ(element.received.last().senderPort(), link->endpoint().localPort());
            EXPECT_EQ(stored, QString::number(row.position));
        } else {
            EXPECT_NE(stored, QString::number(row.position));
        }
    }
    // A last one marks the end: whatever was not sent has not arrived meanwhile.
    ASSERT_TRUE(link->SendAttenuation(99));
    expected.append(twoBytes(99, 0));
    ASSERT_TRUE(element.waitFor(expected.size()));
    QList<QByteArray> arrived;
    for (const QNetworkDatagram &datagram : element.received)
        arrived.append(datagram.data());
    EXPECT_EQ(arrived, expected);
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(LinkTest, UnsentAttenuationIsNotStored) {
    makeLink();
    selectElementStoredAt(u"no address"_s);
    link->applyAttenuationChange(120, u"DECODER"_s, true);
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(database->read(kSelectedKey, u"att"_s, u"<none>"_s), u"<none>"_s);
}

TEST_F(LinkTest, ResponseTimerTimeOutShowsItsMessageOnce) {
    LinkSettings settings = loopbackSettings();
    settings.responseTimeoutMs = 10;
    makeLink(settings);
    link->timerRemoteSent().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.isEmpty(); }));
    EXPECT_EQ(notifier.messages.at(0),
              critical(u"Waiting for a response from Network Element has timed out!\rCannot save."_s));
    EXPECT_FALSE(link->timerRemoteSent().isActive()); // one-shot: no second message follows
}

TEST_F(LinkTest, DatagramsReachTheirHandlersThroughTheLink) {
    makeLink();
    answerArp(u"10.1.1.7"_s, QByteArray::fromHex("00a0c9000007"));
    QSignalSpy levels(link.get(), &ElementLink::levelReplyReceived);
    LoopbackPeer element;
    const quint16 port = link->endpoint().localPort();
    element.sendTo(QByteArray(3, 'V'), port);
    element.sendTo(QByteArray(100, '\x01'), port);
    element.sendTo(QByteArray(kLevelReplyLength, '\x7f'), port);
    element.sendTo(encoderReport(QByteArray::fromHex("0a010107"), "ENC SEVEN       ", 7), port);

    // No write was sent and nothing is selected: the report is refused as not from the selected element.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.isEmpty() && reloads > 0; }));
    EXPECT_EQ(levels.size(), 1);
    EXPECT_EQ(levels.at(0).at(0).toByteArray(), QByteArray(kLevelReplyLength, '\x7f'));
    EXPECT_TRUE(notifier.messages.at(0).text.startsWith(u"The response received does not match"_s));
    EXPECT_EQ(link->endpoint().filteredCount(), 2u);
}

} // namespace
} // namespace ondalink::testing

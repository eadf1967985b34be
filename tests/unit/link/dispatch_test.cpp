// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receive_dispatch.h"
#include "link/udp_endpoint.h"
#include "link_fixture.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(ClassifyDatagram, ChoosesByLengthAloneAtTheBoundaries) {
    const struct {
        qsizetype length;
        DatagramKind kind;
    } rows[] = {
        {0, DatagramKind::ElementReport},  {2, DatagramKind::ElementReport},
        {3, DatagramKind::Ignored},        {4, DatagramKind::ElementReport},
        {39, DatagramKind::ElementReport}, {48, DatagramKind::ElementReport},
        {49, DatagramKind::Ignored},       {1439, DatagramKind::Ignored},
        {1440, DatagramKind::LevelReply},  {1441, DatagramKind::Ignored},
        {65507, DatagramKind::Ignored},
    };
    for (const auto &row : rows)
        EXPECT_EQ(classifyDatagram(row.length), row.kind) << "length " << row.length;
}

// A datagram of the given length whose first byte numbers it.
QByteArray numbered(int length, int number) {
    QByteArray data(length, '\x55');
    if (length > 0)
        data[0] = static_cast<char>(number);
    return data;
}

struct Handled {
    qsizetype length;
    int number;
    bool discovery;
    friend bool operator==(const Handled &, const Handled &) = default;
};

// An endpoint on an ephemeral loopback port with a dispatch whose report handler finishes later.
class DispatchTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        EndpointOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.localPort = 0;
        endpoint = std::make_unique<UdpEndpoint>(options, [this] { return discoveryFlag; });
        ASSERT_TRUE(endpoint->open());
        if (GetParam()) // as the link sets it up
            endpoint->setAcceptFilter(
                [](qsizetype n) { return classifyDatagram(n) != DatagramKind::Ignored; });
        dispatch = std::make_unique<ReceiveDispatch>(
            *endpoint, [this](const QByteArray &reply) { record(reply, false); },
            [this](const QByteArray &datagram, bool discovery, std::function<void()> done) {
                if (inReport)
                    reentered = true;
                inReport = true;
                record(datagram, discovery);
                if (duringReport)
                    duringReport(datagram);
                QTimer::singleShot(1, dispatch.get(), [this, done] {
                    inReport = false;
                    done();
                });
            });
    }

    void record(const QByteArray &data, bool discovery) {
        handled.append({data.size(), data.isEmpty() ? -1 : static_cast<quint8>(data[0]), discovery});
    }
    void send(const QByteArray &data) { peer.sendTo(data, endpoint->localPort()); }
    bool waitHandled(qsizetype count) {
        return QTest::qWaitFor([&] { return handled.size() >= count; }, 5000);
    }

    LoopbackPeer peer;
    bool discoveryFlag = false;
    std::unique_ptr<UdpEndpoint> endpoint;
    std::unique_ptr<ReceiveDispatch> dispatch;
    QList<Handled> handled;
    bool inReport = false;
    bool reentered = false;
    std::function<void(const QByteArray &)> duringReport;
};

TEST_P(DispatchTest, BurstOfMixedLengthsIsHandledInArrivalOrderOneAtATime) {
    const int lengths[] = {44, 1440, 3, 0, 100, 48, 1441, 1440, 40, 2, 49, 1439, 3, 10, 44};
    QList<Handled> expected;
    for (int i = 0; i < int(std::size(lengths)); ++i) {
        send(numbered(lengths[i], i));
        if (classifyDatagram(lengths[i]) != DatagramKind::Ignored)
            expected.append({lengths[i], lengths[i] == 0 ? -1 : i, false});
    }
    ASSERT_TRUE(waitHandled(expected.size()));
    EXPECT_EQ(handled, expected);
    EXPECT_FALSE(reentered);
    // Nothing ignored trickles in afterwards.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dispatch->busy() && !endpoint->hasPending(); }, 2000));
    EXPECT_EQ(handled.size(), expected.size());
}

TEST_P(DispatchTest, DuringANestedLoopOthersWaitAndKeepTheFlagTheyArrivedWith) {
    bool held = false;
    duringReport = [&](const QByteArray &datagram) {
        if (datagram.size() != 44 || datagram[0] != 0)
            return;
        // As a modal message box would: a nested loop runs while the flag rises and falls.
        discoveryFlag = true;
        send(numbered(44, 1));
        send(numbered(1440, 2));
        held = QTest::qWaitFor([&] { return endpoint->pendingCount() == 2; }, 5000);
        discoveryFlag = false;
        send(numbered(40, 3));
        held = held && QTest::qWaitFor([&] { return endpoint->pendingCount() == 3; }, 5000);
    };
    send(numbered(44, 0));
    ASSERT_TRUE(waitHandled(4));
    EXPECT_TRUE(held);
    EXPECT_FALSE(reentered);
    const QList<Handled> expected = {{44, 0, false}, {44, 1, true}, {1440, 2, false}, {40, 3, false}};
    EXPECT_EQ(handled, expected);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutLengthFilter, DispatchTest, ::testing::Bool());

TEST(UdpEndpoint, FullFifoDropsTheNewestAndCountsThem) {
    EndpointOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.localPort = 0;
    options.fifoCapacity = 5;
    UdpEndpoint endpoint(options, [] { return false; });
    ASSERT_TRUE(endpoint.open());
    LoopbackPeer peer;
    for (int i = 0; i < 8; ++i)
        peer.sendTo(numbered(44, i), endpoint.localPort());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return endpoint.pendingCount() + qsizetype(endpoint.overflowCount()) == 8; }));
    EXPECT_EQ(endpoint.pendingCount(), 5);
    EXPECT_EQ(endpoint.overflowCount(), 3u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(endpoint.takeNext().data, numbered(44, i));
}

} // namespace
} // namespace ondalink::testing

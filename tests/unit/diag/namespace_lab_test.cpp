// SPDX-License-Identifier: GPL-3.0-or-later
// Real ICMP and ARP between two network namespaces of this machine.
#include "diag/echo.h"
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "diag/mac_lookup.h"
#include "net_namespace.h"

#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using Kind = IcmpProber::SocketKind;

// The NMS host 10.77.1.1 (02:00:5e:00:00:01) on a link to a router 10.77.1.2 and .3
// (02:0a:1b:0c:ff:05), which answers no echo and refuses 10.77.3.0/24.
class NamespaceLab : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0 ||
            !lab.sh(uR"(n="ip -n @nms" && r="ip -n @router" && ip netns add @nms && ip netns add @router &&
            ip link add h0 netns @nms address 02:00:5e:00:00:01 type veth
               peer name r0 netns @router address 02:0a:1b:0c:ff:05 &&
            $n link set lo up && $n addr add 10.77.1.1/24 dev h0 && $n link set h0 up &&
            $n route add default via 10.77.1.2 && $r addr add 10.77.1.2/24 dev r0 &&
            $r addr add 10.77.1.3/24 dev r0 && $r link set r0 up && $r route add unreachable 10.77.3.0/24 &&
            ip netns exec @router sysctl -qw net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0
               net.ipv4.icmp_echo_ignore_all=1)"_s))
            skipReason = "no network namespaces here (they need root and iproute2)";
    }
    static void TearDownTestSuite() { lab.sh(u"ip netns del @nms; ip netns del @router"_s); }
    void SetUp() override {
        if (skipReason)
            GTEST_SKIP() << skipReason;
    }

    // f on a thread of its own in the NMS host's namespace, as root or (nobody) as nobody.
    template <typename F> static auto onNmsHost(F f, bool nobody = false) {
        return lab.run(u"nms"_s, nobody ? std::optional(std::vector<gid_t>{}) : std::nullopt, f);
    }

    inline static const testing::NetNamespaces lab{u"odiag"_s};
    inline static const char *skipReason = nullptr;
};

// A loopback answer, and no echo at all without a permitted socket, are ping_method_test's.
TEST_F(NamespaceLab, EchoOutcomesMapToTheirStatusOnEitherSocket) {
    const std::pair<const char16_t *, EchoStatus> targets[] = {
        {u"10.77.1.2", EchoStatus::TimedOut}, {u"10.77.3.9", EchoStatus::DestinationHostUnreachable}};
    for (const Kind kind : {Kind::Datagram, Kind::Raw}) {
        // Only the host's groups decide whether the datagram socket is allowed there.
        ASSERT_TRUE(lab.sh(u"ip netns exec @nms sysctl -qw net.ipv4.ping_group_range='%1'"_s.arg(
            kind == Kind::Datagram ? u"0 2147483647" : u"1 0")));
        for (const auto &entry : targets) {
            // Not a structured binding: older clang cannot capture one in the lambda below.
            const char16_t *target = entry.first;
            SCOPED_TRACE(QString::fromUtf16(target).toStdString() + " socket kind " +
                         std::to_string(int(kind)));
            IcmpProber prober;
            const EchoResult result = onNmsHost([&] {
                return prober.echo(parseDottedAddress(QString::fromUtf16(target)).value(), kEchoTimeoutMs);
            });
            EXPECT_EQ(prober.lastSocketKind(), kind);
            EXPECT_EQ(result.status, entry.second) << echoStatusText(result.status).toStdString();
        }
    }
}

TEST_F(NamespaceLab, AsynchronousEchoesEndEachWithItsOwnOutcome) {
    for (const Kind kind : {Kind::Datagram, Kind::Raw, Kind::None}) {
        SCOPED_TRACE("socket kind " + std::to_string(int(kind)));
        ASSERT_TRUE(lab.sh(u"ip netns exec @nms sysctl -qw net.ipv4.ping_group_range='%1'"_s.arg(
            kind == Kind::Datagram ? u"0 2147483647" : u"1 0")));
        // The socket is made in the namespace; the prober lives on this thread's event loop.
        AsyncIcmpProber prober(onNmsHost([] { return openIcmpSocket(); }, kind == Kind::None));
        EXPECT_EQ(prober.method(), kind);
        EXPECT_EQ(prober.isPermitted(), kind != Kind::None);
        QHash<quint64, EchoResult> results;
        QObject::connect(
            &prober, &AsyncEchoProber::finished,
            [&](quint64 token, Ipv4Address, EchoResult result) { results.insert(token, result); });
        // Sent together: the silent router's time-out does not hold up the others.
        const quint64 loopback = prober.probe(*parseDottedAddress(u"127.0.0.1"_s), 5000);
        const quint64 silent = prober.probe(*parseDottedAddress(u"10.77.1.2"_s), 300);
        const quint64 refused = prober.probe(*parseDottedAddress(u"10.77.3.9"_s), 5000);
        if (kind == Kind::None) {
            EXPECT_EQ(loopback + silent + refused, 0u);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 3; }, 4000));
        EXPECT_EQ(results[loopback].status, EchoStatus::Success);
        EXPECT_EQ(results[silent].status, EchoStatus::TimedOut);
        EXPECT_EQ(results[refused].status, EchoStatus::DestinationHostUnreachable);
        EXPECT_EQ(prober.inFlight(), 0);

        // At most 64 outstanding; room again once they end.
        int accepted = 0;
        for (int i = 0; i < 70; ++i)
            accepted += prober.probe(*parseDottedAddress(u"10.77.1.2"_s), 200) != 0 ? 1 : 0;
        EXPECT_EQ(accepted, 64);
        ASSERT_TRUE(QTest::qWaitFor([&] { return prober.inFlight() == 0; }, 3000));
        EXPECT_EQ(results.size(), 3 + 64);
        EXPECT_NE(prober.probe(*parseDottedAddress(u"127.0.0.1"_s), 1000), 0u);
    }
}

TEST_F(NamespaceLab, NeighbourIsPromptedOnceAndFoundLater) {
    // /proc/net follows the process's first thread; a thread's own view is under thread-self.
    NeighbourResolver resolver(u"/proc/thread-self/net/arp"_s);
    QString mac;
    const auto lookup = [&](const QString &address, const QString &separator) {
        return onNmsHost([&] { return lookupMac(address, mac, separator, resolver); });
    };
    EXPECT_TRUE(lookup(u"10.77.1.1"_s, u"-"_s)); // its own address: the interface's
    EXPECT_EQ(mac, u"02-00-5E-00-00-01"_s);
    EXPECT_FALSE(lookup(u"10.77.9.9"_s, u":"_s)); // off-link and multicast: never prompted
    EXPECT_FALSE(lookup(u"224.0.0.1"_s, u":"_s));
    EXPECT_EQ(resolver.promptsSent(), 0);

    EXPECT_FALSE(lookup(u"10.77.1.3"_s, u":"_s));
    EXPECT_EQ(resolver.promptsSent(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lookup(u"10.77.1.3"_s, u":"_s); }, 5000));
    EXPECT_EQ(mac, u"02:0A:1B:0C:FF:05"_s);
}

} // namespace
} // namespace ondalink

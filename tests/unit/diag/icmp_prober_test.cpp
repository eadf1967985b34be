// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/icmp_prober.h"

#include "diag/arp.h"
#include "diag/icmp.h"
#include "netns_lab.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using Kind = IcmpProber::SocketKind;

quint32 address(const char16_t *text) {
    return ARP::AddressValue(QString::fromUtf16(text));
}

TEST(IcmpProber, LoopbackAnswers) {
    IcmpProber prober;
    const EchoReply reply = prober.echo(address(u"127.0.0.1"), 1000);
    if (prober.lastSocketKind() == Kind::None)
        GTEST_SKIP()
            << "neither an ICMP datagram socket (net.ipv4.ping_group_range) nor a raw one (CAP_NET_RAW)";
    EXPECT_EQ(reply.status, kEchoSuccess);
}

// The NMS host reaches a router; behind it a second router sends the 10.77.4.0/24 traffic back,
// a loop that ends in "time exceeded". The router refuses 10.77.3.0/24 and has no route for
// 10.77.5.0/24. The far router answers no echo. The NMS host itself refuses 10.77.8.0/24.
class IcmpLab : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (const auto reason = testing::NetnsLab::unavailable()) {
            s_skip = *reason;
            return;
        }
        s_lab = std::make_unique<testing::NetnsLab>();
        testing::NetnsLab &lab = *s_lab;
        const bool built =
            lab.add(u"nms"_s) && lab.add(u"router"_s) && lab.add(u"far"_s) &&
            lab.link(u"nms"_s, u"h0"_s, u"10.77.1.1/24"_s, u"router"_s, u"r0"_s, u"10.77.1.2/24"_s) &&
            lab.link(u"router"_s, u"r1"_s, u"10.77.2.1/24"_s, u"far"_s, u"f0"_s, u"10.77.2.2/24"_s) &&
            lab.ip(u"nms"_s, u"route add default via 10.77.1.2"_s) &&
            lab.ip(u"nms"_s, u"route add unreachable 10.77.8.0/24"_s) &&
            lab.ip(u"router"_s, u"route add unreachable 10.77.3.0/24"_s) &&
            lab.ip(u"router"_s, u"route add 10.77.4.0/24 via 10.77.2.2"_s) &&
            lab.ip(u"far"_s, u"route add default via 10.77.2.1"_s) &&
            lab.sysctl(u"router"_s, u"net.ipv4.ip_forward=1"_s) &&
            lab.sysctl(u"far"_s, u"net.ipv4.ip_forward=1"_s) &&
            lab.sysctl(u"router"_s, u"net.ipv4.icmp_ratelimit=0"_s) &&
            lab.sysctl(u"far"_s, u"net.ipv4.icmp_ratelimit=0"_s) &&
            lab.sysctl(u"far"_s, u"net.ipv4.icmp_echo_ignore_all=1"_s);
        if (!built)
            s_skip = u"the lab's namespaces could not be wired"_s;
    }
    static void TearDownTestSuite() { s_lab.reset(); }

    void SetUp() override {
        if (!s_skip.isEmpty())
            GTEST_SKIP() << s_skip.toStdString();
    }

    // Only the NMS host's groups decide whether the datagram socket is allowed there.
    static bool allowDatagram(bool allow) {
        return s_lab->sysctl(u"nms"_s, allow ? u"net.ipv4.ping_group_range=0 2147483647"_s
                                             : u"net.ipv4.ping_group_range=1 0"_s);
    }

    inline static std::unique_ptr<testing::NetnsLab> s_lab;
    inline static QString s_skip;
};

struct LabRow {
    const char *name;
    const char16_t *target;
    qint32 status;
};

void PrintTo(const LabRow &row, std::ostream *out) {
    *out << row.name;
}

class IcmpLabOutcome : public IcmpLab, public ::testing::WithParamInterface<std::tuple<LabRow, Kind>> {};

TEST_P(IcmpLabOutcome, MapsTheOutcomeToItsStatus) {
    const auto [row, kind] = GetParam();
    ASSERT_TRUE(allowDatagram(kind == Kind::Datagram));
    testing::NamespaceThread nms(s_lab->path(u"nms"_s));
    ASSERT_TRUE(nms.enter());
    IcmpProber prober;
    const EchoReply reply = nms.call([&] { return prober.echo(address(row.target), ICMP::kEchoTimeoutMs); });
    EXPECT_EQ(prober.lastSocketKind(), kind);
    EXPECT_EQ(reply.status, row.status) << ICMP::EchoStatusText(reply.status).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Targets, IcmpLabOutcome,
    ::testing::Combine(
        ::testing::Values(LabRow{"router", u"10.77.1.2", kEchoSuccess},
                          LabRow{"own_address", u"10.77.1.1", kEchoSuccess},
                          LabRow{"silent_host", u"10.77.2.2", kEchoTimedOut},
                          LabRow{"router_refuses", u"10.77.3.9", ICMP::kEchoHostUnreachable},
                          LabRow{"router_has_no_route", u"10.77.5.9", ICMP::kEchoNetUnreachable},
                          LabRow{"routing_loop", u"10.77.4.9", ICMP::kEchoTtlExpiredTransit},
                          LabRow{"local_route_refuses", u"10.77.8.9", ICMP::kEchoHostUnreachable}),
        ::testing::Values(Kind::Datagram, Kind::Raw)),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Kind::Datagram ? "_datagram" : "_raw");
    });

TEST_F(IcmpLab, NoPermittedSocketGivesNoEcho) {
    ASSERT_TRUE(allowDatagram(false));
    testing::NamespaceThread nms(s_lab->path(u"nms"_s));
    ASSERT_TRUE(nms.enter());
    ASSERT_TRUE(nms.call([] { return testing::NamespaceThread::dropNetRaw(); }));
    IcmpProber prober;
    const EchoReply reply =
        nms.call([&] { return prober.echo(address(u"10.77.1.2"), ICMP::kEchoTimeoutMs); });
    EXPECT_EQ(prober.lastSocketKind(), Kind::None);
    EXPECT_EQ(reply.status, kEchoNoEcho);
}

TEST_F(IcmpLab, NoRouteAtAllIsNetUnreachable) {
    ASSERT_TRUE(s_lab->add(u"bare"_s));
    testing::NamespaceThread bare(s_lab->path(u"bare"_s));
    ASSERT_TRUE(bare.enter());
    IcmpProber prober;
    const EchoReply reply =
        bare.call([&] { return prober.echo(address(u"10.77.1.2"), ICMP::kEchoTimeoutMs); });
    EXPECT_EQ(reply.status, ICMP::kEchoNetUnreachable);
}

} // namespace
} // namespace ondalink

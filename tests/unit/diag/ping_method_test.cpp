// SPDX-License-Identifier: GPL-3.0-or-later
// Which way ping works: the sysctl's text, and the probe against the kernel's own decision.
#include "diag/echo.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/ping_method.h"
#include "model/ipv4.h"
#include "net_namespace.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(PingGroupRange, ReadsTheSysctlsTextRefusesAnythingElseAndHoldsItsBounds) {
    using Range = std::optional<std::pair<quint32, quint32>>;
    // clang-format off
    const std::tuple<const char *, Range, std::vector<std::pair<quint32, bool>>> rows[] = { // gid, admitted
        {"0\t2147483647\n", {{0, 2147483647}}, {{0, true}, {2147483648U, false}}}, // systemd's default
        {"1\t0\n", {{1, 0}}, {{0, false}, {1, false}}},                     // the kernel's default: nobody
        {"  100   100  ", {{100, 100}}, {{99, false}, {100, true}, {101, false}}},
        {"0 4294967295", {{0, 4294967295U}}, {{4294967295U, true}}},
        {"", {}, {}}, {"\n", {}, {}}, {"5", {}, {}}, {"1 2 3", {}, {}}, {"-1 5", {}, {}}, {"+1 5", {}, {}},
        {"1 4294967296", {}, {}}, {"0x10 20", {}, {}}, {"1,2", {}, {}}, {"1 2a", {}, {}},
    };
    // clang-format on
    for (const auto &[text, range, gids] : rows) {
        const auto parsed = parsePingGroupRange(text);
        EXPECT_EQ(parsed ? Range({parsed->low, parsed->high}) : std::nullopt, range) << text;
        for (const auto &[gid, admitted] : gids)
            EXPECT_EQ(parsed->contains(gid), admitted) << text << ' ' << gid;
    }
}

// In a network namespace of its own, whose ping_group_range the test sets: what the probe says, what
// the range says of this process's groups, and the socket a real echo then takes.
class PingMethodInNamespace : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0 || !lab.sh(u"ip netns add @ && ip -n @ link set lo up"_s))
            skipReason = "no network namespaces here (they need root and iproute2)";
    }
    static void TearDownTestSuite() { lab.sh(u"ip netns del @"_s); }
    void SetUp() override {
        if (skipReason)
            GTEST_SKIP() << skipReason;
    }

    inline static const testing::NetNamespaces lab{u"opm"_s};
    inline static const char *skipReason = nullptr;
};

TEST_F(PingMethodInNamespace, ProbeFollowsTheRangeAndTheCapability) {
    struct Row {
        const char16_t *range;
        std::optional<std::vector<gid_t>> user; // nullopt: root, with CAP_NET_RAW
        PingMethod method;
        bool admitted;
    };
    const Row rows[] = {
        {u"0 2147483647", std::nullopt, PingMethod::Datagram, true},
        {u"1 0", std::nullopt, PingMethod::Raw, false},
        {u"1 0", std::vector<gid_t>{}, PingMethod::None, false},
        {u"65534 65534", std::vector<gid_t>{}, PingMethod::Datagram, true},    // the effective group
        {u"100 100", std::vector<gid_t>{27, 100}, PingMethod::Datagram, true}, // a supplementary one
        {u"100 100", std::vector<gid_t>{27, 1000}, PingMethod::None, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(QString::fromUtf16(row.range).toStdString() + (row.user ? " as nobody" : " as root"));
        ASSERT_TRUE(lab.sh(u"ip netns exec @ sysctl -qw net.ipv4.ping_group_range='%1'"_s.arg(row.range)));
        struct Seen {
            PingAccess access;
            PingMethod echoTook = PingMethod::None;
            EchoStatus status = EchoStatus::Unknown;
        };
        const Seen seen = lab.run({}, row.user, [] {
            Seen s{probePingAccess()};
            IcmpProber prober;
            s.status = prober.echo(*parseDottedAddress(u"127.0.0.1"), kEchoTimeoutMs).status;
            s.echoTook = prober.lastSocketKind();
            return s;
        });
        EXPECT_EQ(seen.access.method, row.method);
        ASSERT_TRUE(seen.access.groupRange.has_value());
        EXPECT_EQ(seen.access.rangeAdmitsProcess, row.admitted);
        // The probe names the socket an echo really takes, and that echo works.
        EXPECT_EQ(seen.echoTook, row.method);
        EXPECT_EQ(seen.status, row.method == PingMethod::None ? EchoStatus::Unknown : EchoStatus::Success);
    }
}

} // namespace
} // namespace ondalink

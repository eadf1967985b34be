// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/icmp.h"

#include "fake_prober.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <climits>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

struct StatusRow {
    qint32 status;
    const char16_t *text;
};

class EchoStatusTextTest : public ::testing::TestWithParam<StatusRow> {};

TEST_P(EchoStatusTextTest, NamesTheStatus) {
    EXPECT_EQ(ICMP::EchoStatusText(GetParam().status), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EchoStatusTextTest,
    ::testing::Values(StatusRow{0, u"Success!"}, StatusRow{11001, u"Buffer Too Small"},
                      StatusRow{11002, u"Destination Net Unreachable"},
                      StatusRow{11003, u"Destination Host Unreachable"},
                      StatusRow{11004, u"Destination Protocol Unreachable"},
                      StatusRow{11005, u"Destination Port Unreachable"}, StatusRow{11006, u"No Resources"},
                      StatusRow{11007, u"Bad Option"}, StatusRow{11008, u"Hardware Error"},
                      StatusRow{11009, u"Packet Too Big"}, StatusRow{11010, u"Request Timed Out"},
                      StatusRow{11011, u"Bad Request"}, StatusRow{11012, u"Bad Route"},
                      StatusRow{11013, u"TimeToLive Expired Transit"},
                      StatusRow{11014, u"TimeToLive Expired Reassembly"},
                      StatusRow{11015, u"Parameter Problem"}, StatusRow{11016, u"Source Quench"},
                      StatusRow{11017, u"Option Too Big"}, StatusRow{11018, u"Bad Destination"},
                      StatusRow{11032, u"Negotiating IPSEC"}, StatusRow{11050, u"General Failure"}));

INSTANTIATE_TEST_SUITE_P(Unknown, EchoStatusTextTest,
                         ::testing::Values(StatusRow{-1, u"Unknown Response"},
                                           StatusRow{11000, u"Unknown Response"},
                                           StatusRow{11019, u"Unknown Response"},
                                           StatusRow{11051, u"Unknown Response"},
                                           StatusRow{INT_MIN, u"Unknown Response"}));

struct ProbeRow {
    const char16_t *address;
    quint32 probedHostOrder; // 0: no echo may be sent
};

class EchoProbeTest : public ::testing::TestWithParam<ProbeRow> {};

TEST_P(EchoProbeTest, ProbesTheAddressOrGivesNoEcho) {
    const ProbeRow row = GetParam();
    testing::ScriptedProber prober;
    prober.replies.push_back(EchoReply{kEchoSuccess, 17});
    const EchoReply reply = ICMP::EchoProbe(QString::fromUtf16(row.address), prober);
    if (row.probedHostOrder == 0) {
        EXPECT_EQ(reply.status, kEchoNoEcho);
        EXPECT_TRUE(prober.addresses.isEmpty());
        return;
    }
    ASSERT_EQ(prober.addresses.size(), 1);
    EXPECT_EQ(prober.addresses.first(), qToBigEndian(row.probedHostOrder));
    EXPECT_EQ(prober.timeouts.first(), 1000);
    EXPECT_EQ(reply.status, kEchoSuccess);
    EXPECT_EQ(reply.roundTripMs, 17u);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, EchoProbeTest,
    ::testing::Values(ProbeRow{u"192.168.1.10", 0xC0A8010A},
                      // what the panel accepts is read as decimal octets, as it is sent to the element
                      ProbeRow{u"192.168.001.010", 0xC0A8010A}, ProbeRow{u" 10.0.0.1", 0x0A000001},
                      // anything else as inet_addr reads it
                      ProbeRow{u"0x7f.1", 0x7F000001}, ProbeRow{u"0.0.0.0", 0},
                      ProbeRow{u"255.255.255.255", 0}, ProbeRow{u"no address", 0}));

} // namespace
} // namespace ondalink

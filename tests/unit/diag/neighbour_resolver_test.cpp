// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/neighbour_resolver.h"

#include "diag/arp.h"
#include "netns_lab.h"

#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

quint32 address(const char16_t *text) {
    return ARP::AddressValue(QString::fromUtf16(text));
}

const QByteArray kHeading =
    "IP address       HW type     Flags       HW address            Mask     Device\n";

struct TableRow {
    const char *name;
    QByteArray entries;
    const char16_t *wanted;
    QByteArray found; // null: no complete entry
};

class NeighbourTableTest : public ::testing::TestWithParam<TableRow> {};

TEST_P(NeighbourTableTest, FindsTheCompleteEntry) {
    const TableRow row = GetParam();
    const std::optional<QByteArray> found = completeNeighbour(kHeading + row.entries, address(row.wanted));
    if (row.found.isNull())
        EXPECT_FALSE(found.has_value());
    else
        EXPECT_EQ(found, row.found);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, NeighbourTableTest,
    ::testing::Values(
        TableRow{"complete", "192.168.1.20     0x1         0x2         00:1a:2b:0c:4d:5e     *        eth0\n",
                 u"192.168.1.20", QByteArray::fromHex("001a2b0c4d5e")},
        TableRow{"permanent",
                 "192.168.1.20     0x1         0x6         02:00:00:00:00:07     *        eth0\n",
                 u"192.168.1.20", QByteArray::fromHex("020000000007")},
        TableRow{"incomplete",
                 "192.168.1.20     0x1         0x0         00:00:00:00:00:00     *        eth0\n",
                 u"192.168.1.20", QByteArray()},
        TableRow{"other_address",
                 "192.168.1.2      0x1         0x2         00:1a:2b:0c:4d:5e     *        eth0\n"
                 "192.168.1.200    0x1         0x2         00:1a:2b:0c:4d:5f     *        eth0\n",
                 u"192.168.1.20", QByteArray()},
        TableRow{"complete_on_second_device",
                 "10.0.0.9         0x1         0x0         00:00:00:00:00:00     *        eth0\n"
                 "10.0.0.9         0x1         0x2         0a:0b:0c:0d:0e:0f     *        eth1\n",
                 u"10.0.0.9", QByteArray::fromHex("0a0b0c0d0e0f")},
        TableRow{"long_hardware_address",
                 "10.0.0.9         0x20        0x2         80:00:00:48:fe:80:00:00 *      ib0\n", u"10.0.0.9",
                 QByteArray::fromHex("80000048fe800000")},
        TableRow{"malformed_lines_skipped",
                 "10.0.0.9\n10.0.0.9 0x1 0x2 zz:00:00:00:00:01 * eth0\n10.0.0.9 0x1 junk 00:00:00:00:00:01 * "
                 "eth0\n"
                 "10.0.0.9 0x1 0x2 0a:0b:0c:0d:0e:0f * eth0\n",
                 u"10.0.0.9", QByteArray::fromHex("0a0b0c0d0e0f")},
        TableRow{"heading_only", "", u"10.0.0.9", QByteArray()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PromptLimiter, OnePromptPerAddressAndInterval) {
    PromptLimiter limiter(200);
    EXPECT_TRUE(limiter.allow(1, 1000));
    EXPECT_FALSE(limiter.allow(1, 1199));
    EXPECT_TRUE(limiter.allow(2, 1199));
    EXPECT_TRUE(limiter.allow(1, 1200));
    EXPECT_FALSE(limiter.allow(1, 1300));
}

TEST(PromptLimiter, ManyAddressesDoNotForgetARecentOne) {
    PromptLimiter limiter(200);
    for (quint32 a = 1; a <= 1000; ++a)
        EXPECT_TRUE(limiter.allow(a, 5000));
    EXPECT_FALSE(limiter.allow(1, 5100));
    EXPECT_FALSE(limiter.allow(1000, 5100));
}

TEST(NeighbourResolver, ReadsTheTableAtTheGivenPath) {
    QTemporaryFile table;
    ASSERT_TRUE(table.open());
    table.write(kHeading + "198.51.100.7     0x1         0x2         02:0a:1b:0c:ff:05     *        eth0\n");
    table.close();
    NeighbourResolver resolver(table.fileName());
    QString mac;
    EXPECT_TRUE(ARP::LookupMac(u"198.51.100.7"_s, mac, u":"_s, resolver));
    EXPECT_EQ(mac, u"02:0A:1B:0C:FF:05"_s);
    EXPECT_EQ(resolver.promptsSent(), 0);
}

TEST(NeighbourResolver, LoopbackGivesItsZeroAddressWhichTheLookupRefuses) {
    NeighbourResolver resolver(u"/nonexistent"_s);
    QByteArray hardware;
    EXPECT_TRUE(resolver.sendArp(address(u"127.0.0.1"), hardware));
    EXPECT_EQ(hardware, QByteArray(6, '\0'));
    QString mac = u"untouched"_s;
    EXPECT_FALSE(ARP::LookupMac(u"127.0.0.1"_s, mac, u":"_s, resolver));
    EXPECT_EQ(mac, u"untouched"_s);
    EXPECT_EQ(resolver.promptsSent(), 0);
}

// Two namespaces on one veth pair with known hardware addresses.
class NeighbourLab : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = testing::NetnsLab::unavailable())
            GTEST_SKIP() << reason->toStdString();
        ASSERT_TRUE(lab.add(u"nms"_s) && lab.add(u"element"_s));
        ASSERT_TRUE(lab.link(u"nms"_s, u"n0"_s, u"10.78.0.1/24"_s, u"element"_s, u"e0"_s, u"10.78.0.2/24"_s));
        ASSERT_TRUE(lab.ip(u"nms"_s, u"link set n0 address 02:00:5e:00:00:01"_s));
        ASSERT_TRUE(lab.ip(u"element"_s, u"link set e0 address 02:0a:1b:0c:ff:05"_s));
        ASSERT_TRUE(nms.enter());
    }

    testing::NetnsLab lab;
    testing::NamespaceThread nms{lab.path(u"nms"_s)};
    // /proc/net follows the process's first thread; the thread's own view is under thread-self.
    NeighbourResolver resolver{u"/proc/thread-self/net/arp"_s};
};

TEST_F(NeighbourLab, FirstAttemptPromptsAndALaterOneFindsTheElement) {
    QString mac;
    const auto lookup = [&] { return ARP::LookupMac(u"10.78.0.2"_s, mac, u":"_s, resolver); };
    EXPECT_FALSE(nms.call(lookup));
    EXPECT_EQ(resolver.promptsSent(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return nms.call(lookup); }, 5000));
    EXPECT_EQ(mac, u"02:0A:1B:0C:FF:05"_s);
}

TEST_F(NeighbourLab, OwnAddressGivesItsInterfaceAndOffLinkOnesAreNotPrompted) {
    QString mac;
    EXPECT_TRUE(nms.call([&] { return ARP::LookupMac(u"10.78.0.1"_s, mac, u"-"_s, resolver); }));
    EXPECT_EQ(mac, u"02-00-5E-00-00-01"_s);
    EXPECT_FALSE(nms.call([&] { return ARP::LookupMac(u"10.79.0.2"_s, mac, u":"_s, resolver); }));
    EXPECT_FALSE(nms.call([&] { return ARP::LookupMac(u"224.0.0.1"_s, mac, u":"_s, resolver); }));
    EXPECT_EQ(resolver.promptsSent(), 0);
}

} // namespace
} // namespace ondalink

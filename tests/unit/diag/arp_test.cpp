// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/arp.h"
#include "diag/linux/neighbour_resolver.h"

#include "fakes.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(AddressValue, ReadsTextAsInetAddrDoes) {
    // clang-format off
    const std::pair<const char16_t *, quint32> rows[] = {
        {u"192.168.1.10", 0xC0A8010A}, {u"1.2.3", 0x01020003}, {u"16909060", 0x01020304},
        {u"0x7f.1", 0x7F000001}, {u"010.0.0.012", 0x0800000A}, {u"1.2.3.4 words", 0x01020304}};
    // clang-format on
    for (const auto &[text, host] : rows)
        EXPECT_EQ(ARP::AddressValue(QString::fromUtf16(text)), qToBigEndian(host)) << host;
    // No address gives all ones, which 255.255.255.255 cannot be told from.
    for (const QString &text : {u"255.255.255.255"_s, u""_s, u" 1.2.3.4"_s, u"1.2.3.256"_s, u"1.2.3.4.5"_s,
                                u"1.2.65536"_s, u"4294967296"_s, u"08.0.0.1"_s, u"1.2.3."_s})
        EXPECT_EQ(ARP::AddressValue(text), 0xFFFFFFFFu) << text.toStdString();
}

TEST(LookupMac, FormatsSixBytesAndAppliesTheFailureRules) {
    // clang-format off
    const struct { const char *answer; const char16_t *separator, *mac; bool found; } rows[] = {
        // answer: what the system finds, in hex; null when the attempt fails. mac: the text left there.
        {"001a2b0c4d5e", u":", u"00:1A:2B:0C:4D:5E", true},
        {"0aff00010f10", u"-", u"0A-FF-00-01-0F-10", true},
        {"0a0b", u":", u"", true}, {"0a0b0c0d0e0f10", u":", u"", true}, {nullptr, u":", u"untouched", false},
        {"000000001234", u":", u"untouched", false}, {"", u":", u"untouched", false},
        {"010203040506070809", u":", u"untouched", false}}; // beyond the buffer
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.answer ? row.answer : "no answer");
        testing::ScriptedResolver resolver;
        if (row.answer)
            resolver.table.insert(ARP::AddressValue(u"192.168.5.20"_s), QByteArray::fromHex(row.answer));
        QString mac = u"untouched"_s;
        EXPECT_EQ(ARP::LookupMac(u"192.168.5.20"_s, mac, QString::fromUtf16(row.separator), resolver),
                  row.found);
        EXPECT_EQ(mac, QString::fromUtf16(row.mac));
        EXPECT_EQ(resolver.attempts, 1);
    }
    // 0.0.0.0 is never asked for; text that is no address is, and fails.
    testing::ScriptedResolver resolver;
    resolver.table.insert(0, QByteArray::fromHex("001a2b0c4d5e"));
    QString mac;
    EXPECT_FALSE(ARP::LookupMac(u"0.0.0.0"_s, mac, u":"_s, resolver));
    EXPECT_EQ(resolver.attempts, 0);
    EXPECT_FALSE(ARP::LookupMac(u"element"_s, mac, u":"_s, resolver));
    EXPECT_EQ(resolver.attempts, 1);
    EXPECT_TRUE(mac.isEmpty());
}

TEST(NeighbourTable, FindsTheFirstCompleteEntryOfTheAddress) {
    // clang-format off
    const std::pair<QByteArray, QByteArray> rows[] = { // entries for 10.0.0.9 and others, what is found
        {"10.0.0.9         0x1         0x2         00:1a:2b:0c:4d:5e     *        eth0\n", "001a2b0c4d5e"},
        {"10.0.0.9 0x1 0x6 02:00:00:00:00:07 * eth0\n", "020000000007"}, // permanent
        {"10.0.0.9 0x1 0x0 00:00:00:00:00:00 * eth0\n", ""}, // incomplete
        {"10.0.0.90 0x1 0x2 00:1a:2b:0c:4d:5e * eth0\n10.0.0.99 0x1 0x2 00:1a:2b:0c:4d:5f * eth0\n", ""},
        {"10.0.0.9 0x1 0x0 00:00:00:00:00:00 * eth0\n10.0.0.9 0x1 0x2 0a:0b:0c:0d:0e:0f * eth1\n",
         "0a0b0c0d0e0f"},
        {"10.0.0.9 0x20 0x2 80:00:00:48:fe:80:00:00 * ib0\n", "80000048fe800000"},
        {"10.0.0.9\n10.0.0.9 0x1 0x2 zz:00:00:00:00:01 * eth0\n10.0.0.9 0x1 junk 00:00:00:00:00:01 * eth0\n"
         "10.0.0.9 0x1 0x2 0a:0b:0c:0d:0e:0f * eth0\n", "0a0b0c0d0e0f"}};
    // clang-format on
    const QByteArray heading =
        "IP address       HW type     Flags       HW address            Mask     Device\n";
    for (const auto &[entries, found] : rows)
        EXPECT_EQ(completeNeighbour(heading + entries, qToBigEndian(0x0A000009u)).value_or("").toHex(), found)
            << entries.toStdString();
}

TEST(PromptLimiter, OnePromptPerAddressAndIntervalAlsoAmongMany) {
    PromptLimiter limiter(200);
    EXPECT_TRUE(limiter.allow(1, 1000));
    EXPECT_FALSE(limiter.allow(1, 1199));
    EXPECT_TRUE(limiter.allow(1, 1200));
    for (quint32 a = 2; a <= 1000; ++a)
        EXPECT_TRUE(limiter.allow(a, 1300));
    EXPECT_FALSE(limiter.allow(1, 1350)); // the clean-up keeps fresh entries
    EXPECT_FALSE(limiter.allow(1000, 1350));
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/neighbour_resolver.h"
#include "diag/mac_lookup.h"

#include "fakes.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(ParseInetAddress, ReadsAndRefusesTextAsInetAddrDoes) {
    // clang-format off
    const struct { const char *name; const char16_t *text; std::optional<quint32> value; } rows[] = {
        {"four decimal parts", u"192.168.1.10", 0xC0A8010A}, {"all ones", u"255.255.255.255", 0xFFFFFFFF},
        {"three parts: the last fills two bytes", u"1.2.3", 0x01020003},
        {"two parts: the last fills three bytes", u"1.65535", 0x0100FFFF},
        {"one part: the whole address", u"16909060", 0x01020304}, {"hex", u"0x7f.1", 0x7F000001},
        {"upper-case hex", u"0XC0.0XA8.0X01.0X0A", 0xC0A8010A},
        {"leading zero: octal", u"010.0.0.012", 0x0800000A}, {"lone zero", u"0.0.0.0", 0},
        {"stops at a blank", u"1.2.3.4 words", 0x01020304}, {"stops at a tab", u"1.2.3.4\tx", 0x01020304},
        {"empty", u"", {}}, {"blank before", u" 1.2.3.4", {}}, {"256 in a leading part", u"1.2.256.4", {}},
        {"256 in the last of four", u"1.2.3.256", {}}, {"five parts", u"1.2.3.4.5", {}},
        {"last of three beyond two bytes", u"1.2.65536", {}}, {"beyond 32 bits", u"4294967296", {}},
        {"8 is no octal digit", u"08.0.0.1", {}}, {"empty last part", u"1.2.3.", {}},
        {"empty middle part", u"1..3.4", {}}, {"sign", u"-1.2.3.4", {}}, {"plus", u"+1.2.3.4", {}},
        {"letters after the digits", u"1.2.3.4x", {}}, {"a name", u"element", {}},
    };
    // clang-format on
    for (const auto &row : rows) {
        const auto address = parseInetAddress(QString::fromUtf16(row.text));
        EXPECT_EQ(address ? std::optional(address->value) : std::nullopt, row.value) << row.name;
    }
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
            resolver.table.insert(Ipv4Address{0xC0A80514}.toNetworkOrder(), QByteArray::fromHex(row.answer));
        QString mac = u"untouched"_s;
        EXPECT_EQ(lookupMac(u"192.168.5.20"_s, mac, QString::fromUtf16(row.separator), resolver), row.found);
        EXPECT_EQ(mac, QString::fromUtf16(row.mac));
        EXPECT_EQ(resolver.attempts, 1);
    }
    // 0.0.0.0 is never asked for; text that is no address is, and fails.
    testing::ScriptedResolver resolver;
    resolver.table.insert(0, QByteArray::fromHex("001a2b0c4d5e"));
    QString mac;
    EXPECT_FALSE(lookupMac(u"0.0.0.0"_s, mac, u":"_s, resolver));
    EXPECT_EQ(resolver.attempts, 0);
    EXPECT_FALSE(lookupMac(u"element"_s, mac, u":"_s, resolver));
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

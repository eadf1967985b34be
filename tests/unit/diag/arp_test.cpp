// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/arp.h"

#include "fakes.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

constexpr quint32 kNone = 0xFFFFFFFFu;

struct AddressRow {
    const char16_t *text;
    quint32 hostOrder; // kNone when the text is no address
};

class AddressValueTest : public ::testing::TestWithParam<AddressRow> {};

TEST_P(AddressValueTest, ReadsTextAsInetAddrDoes) {
    const AddressRow row = GetParam();
    const quint32 expected = row.hostOrder == kNone ? kNone : qToBigEndian(row.hostOrder);
    EXPECT_EQ(ARP::AddressValue(QString::fromUtf16(row.text)), expected)
        << QString::fromUtf16(row.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Forms, AddressValueTest,
                         ::testing::Values(AddressRow{u"192.168.1.10", 0xC0A8010A}, AddressRow{u"0.0.0.0", 0},
                                           AddressRow{u"1.2.3", 0x01020003}, AddressRow{u"1.2", 0x01000002},
                                           AddressRow{u"16909060", 0x01020304},
                                           AddressRow{u"0x7f.1", 0x7F000001},
                                           AddressRow{u"010.0.0.012", 0x0800000A},
                                           AddressRow{u"1.2.3.4 trailing words", 0x01020304},
                                           // not addresses; all ones cannot be told from them
                                           AddressRow{u"255.255.255.255", kNone}, AddressRow{u"", kNone},
                                           AddressRow{u" 1.2.3.4", kNone}, AddressRow{u"1.2.3.256", kNone},
                                           AddressRow{u"1.2.3.4.5", kNone}, AddressRow{u"1.2.65536", kNone},
                                           AddressRow{u"4294967296", kNone}, AddressRow{u"08.0.0.1", kNone},
                                           AddressRow{u"1.2.3.", kNone}, AddressRow{u"1.2.3.4x", kNone}));

struct MacRow {
    QByteArray bytes;
    const char16_t *separator;
    const char16_t *text;
};

class MacBytesToTextTest : public ::testing::TestWithParam<MacRow> {};

TEST_P(MacBytesToTextTest, Formats) {
    const MacRow row = GetParam();
    EXPECT_EQ(ARP::MacBytesToText(row.bytes, QString::fromUtf16(row.separator)),
              QString::fromUtf16(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MacBytesToTextTest,
    ::testing::Values(MacRow{QByteArray::fromHex("001a2b0c4d5e"), u":", u"00:1A:2B:0C:4D:5E"},
                      MacRow{QByteArray::fromHex("0aff00010f10"), u"-", u"0A-FF-00-01-0F-10"},
                      MacRow{QByteArray::fromHex("001a2b0c4d"), u":", u""},
                      MacRow{QByteArray::fromHex("001a2b0c4d5e6f"), u":", u""}));

struct LookupRow {
    const char *name;
    QByteArray answer; // what the resolver finds; null: the attempt fails
    bool found;
    const char16_t *mac; // the text left in mac
};

class LookupMacTest : public ::testing::TestWithParam<LookupRow> {};

TEST_P(LookupMacTest, AppliesTheFailureRules) {
    const LookupRow row = GetParam();
    testing::ScriptedResolver resolver;
    const quint32 address = ARP::AddressValue(u"192.168.5.20"_s);
    if (!row.answer.isNull())
        resolver.table.insert(address, row.answer);
    QString mac = u"untouched"_s;
    EXPECT_EQ(ARP::LookupMac(u"192.168.5.20"_s, mac, u":"_s, resolver), row.found);
    EXPECT_EQ(mac, QString::fromUtf16(row.mac));
    EXPECT_EQ(resolver.attempts, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LookupMacTest,
    ::testing::Values(LookupRow{"six_bytes", QByteArray::fromHex("001a2b0c4d5e"), true, u"00:1A:2B:0C:4D:5E"},
                      LookupRow{"zero_first_word", QByteArray::fromHex("000000001234"), false, u"untouched"},
                      LookupRow{"no_answer", QByteArray(), false, u"untouched"},
                      LookupRow{"empty_answer", QByteArray(""), false, u"untouched"},
                      LookupRow{"short_answer", QByteArray::fromHex("0a0b"), true, u""},
                      LookupRow{"longer_than_the_buffer", QByteArray::fromHex("010203040506070809"), false,
                                u"untouched"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LookupMac, ZeroAddressMakesNoAttempt) {
    testing::ScriptedResolver resolver;
    resolver.table.insert(0, QByteArray::fromHex("001a2b0c4d5e"));
    QString mac = u"untouched"_s;
    EXPECT_FALSE(ARP::LookupMac(u"0.0.0.0"_s, mac, u":"_s, resolver));
    EXPECT_EQ(resolver.attempts, 0);
    EXPECT_EQ(mac, u"untouched"_s);
}

TEST(LookupMac, TextThatIsNoAddressIsStillAttemptedAndFails) {
    testing::ScriptedResolver resolver;
    QString mac;
    EXPECT_FALSE(ARP::LookupMac(u"element"_s, mac, u":"_s, resolver));
    EXPECT_EQ(resolver.attempts, 1);
}

} // namespace
} // namespace ondalink

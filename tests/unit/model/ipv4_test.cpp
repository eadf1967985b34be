// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ipv4.h"

#include <gtest/gtest.h>

namespace ondalink {
namespace {

TEST(ParseDottedAddress, FourDecimalBytesWithBlanksAroundAndNothingElse) {
    // clang-format off
    const struct { const char *name; const char16_t *text; std::optional<quint32> value; } rows[] = {
        {"plain", u"192.168.1.10", 0xC0A8010A}, {"lowest", u"0.0.0.0", 0}, {"highest", u"255.255.255.255", 0xFFFFFFFF},
        {"leading zeros are decimal", u"192.168.001.010", 0xC0A8010A},
        {"many leading zeros", u"0000000000255.0.0.1", 0xFF000001}, {"blank before", u" 10.0.0.1", 0x0A000001},
        {"blanks around every part", u"10 . 0 .0 . 1 ", 0x0A000001},
        {"tab and newline are blanks", u"\t10.0.0.1\n", 0x0A000001},
        {"empty", u"", {}}, {"only blanks", u"   ", {}}, {"three parts", u"192.168.1", {}},
        {"five parts", u"1.2.3.4.5", {}}, {"empty fifth part", u"1.2.3.4.", {}},
        {"empty middle part", u"10..0.1", {}}, {"empty first part", u".1.2.3", {}}, {"blank part", u"1.2.3. ", {}},
        {"256", u"1.2.3.256", {}}, {"256 with leading zeros", u"1.2.3.0256", {}},
        {"far beyond a byte", u"1.2.3.99999999999", {}}, {"minus sign", u"-1.2.3.4", {}},
        {"plus sign", u"+1.2.3.4", {}}, {"hex part", u"1.2.3.0x4", {}}, {"blank inside a part", u"1 2.3.4.5", {}},
        {"letters", u"a.b.c.d", {}}, {"non-ASCII digit", u"\u0661.2.3.4", {}}, {"one number", u"16909060", {}},
    };
    // clang-format on
    for (const auto &row : rows) {
        const auto address = parseDottedAddress(QString::fromUtf16(row.text));
        EXPECT_EQ(address ? std::optional(address->value) : std::nullopt, row.value) << row.name;
    }
}

// The text and the octets are checked where addresses are stored and packed; this is the order the
// system's address functions take.
TEST(Ipv4Address, NetworkOrderIsTheOrderOfTheDottedParts) {
    const Ipv4Address address{0xC0A8010A};
    const quint32 network = address.toNetworkOrder();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&network), 4), QByteArray("\xC0\xA8\x01\x0A", 4));
    EXPECT_EQ(Ipv4Address::fromNetworkOrder(network), address);
}

} // namespace
} // namespace ondalink

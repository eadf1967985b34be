// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/mac_text.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

struct Conversion {
    QString in;
    QString out;
};

class MacToKeyTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(MacToKeyTest, SeventeenCharactersLoseTheirColonsOthersGiveNothing) {
    EXPECT_EQ(MacToKey(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Texts, MacToKeyTest,
                         ::testing::Values(Conversion{u"00:1a:2b:3c:4d:5e"_s, u"001A2B3C4D5E"_s},
                                           Conversion{u"00:A0:C9:00:00:01"_s, u"00A0C9000001"_s},
                                           Conversion{u"001A2B3C4D5E"_s, u""_s}, Conversion{u"-"_s, u""_s},
                                           Conversion{u""_s, u""_s},
                                           Conversion{u"00:1a:2b:3c:4d:5e:"_s, u""_s},
                                           // any 17 characters qualify; only colons go
                                           Conversion{u"00-1a-2b-3c-4d-5e"_s, u"00-1A-2B-3C-4D-5E"_s}));

class FormatMacTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(FormatMacTest, TwelveCharactersBecomeSixUpperCasePairs) {
    EXPECT_EQ(FormatMac(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatMacTest,
                         ::testing::Values(Conversion{u"001a2b3c4d5e"_s, u"00:1A:2B:3C:4D:5E"_s},
                                           Conversion{u"0011AABBCCDD"_s, u"00:11:AA:BB:CC:DD"_s},
                                           Conversion{u"001a2b3c4d5"_s, u""_s},
                                           Conversion{u"001a2b3c4d5e0"_s, u""_s}, Conversion{u""_s, u""_s}));

TEST(MacText, KeyAndColonFormRoundTrip) {
    for (const QString &key : {u"000000000000"_s, u"FFFFFFFFFFFF"_s, u"00A0C9000001"_s})
        EXPECT_EQ(MacToKey(FormatMac(key)), key);
}

TEST(IsElementKey, TwelveHexDigitsOfEitherCase) {
    for (const QString &yes : {u"001A2B3C4D5E"_s, u"001a2b3c4d5e"_s, u"000000000000"_s})
        EXPECT_TRUE(isElementKey(yes)) << yes.toStdString();
    for (const QString &no : {u""_s, u"001A2B3C4D5"_s, u"001A2B3C4D5E0"_s, u"001A2B3C4D5G"_s,
                              u"00:1A:2B:3C:4D:5E"_s, u"001A2B 3C4D5"_s, u"GLOBAL SETUP"_s})
        EXPECT_FALSE(isElementKey(no)) << no.toStdString();
}

} // namespace
} // namespace ondalink

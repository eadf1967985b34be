// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/mac_text.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(MacText, KeyAndColonFormsOfExactLengthsOnly) {
    const std::pair<QString, QString> toKey[] = {{u"00:1a:2b:3c:4d:5e"_s, u"001A2B3C4D5E"_s},
                                                 {u"001A2B3C4D5E"_s, u""_s},
                                                 {u"-"_s, u""_s},
                                                 {u"00:1a:2b:3c:4d:5e:"_s, u""_s}};
    for (const auto &[in, out] : toKey)
        EXPECT_EQ(macToElementKey(in), out) << in.toStdString();
    const std::pair<QString, QString> toColon[] = {
        {u"001a2b3c4d5e"_s, u"00:1A:2B:3C:4D:5E"_s}, {u"001a2b3c4d5"_s, u""_s}, {u"001a2b3c4d5e0"_s, u""_s}};
    for (const auto &[in, out] : toColon)
        EXPECT_EQ(elementKeyToMac(in), out) << in.toStdString();

    EXPECT_TRUE(isElementKey(u"001a2b3c4d5E"_s));
    for (const QString &no : {u"001A2B3C4D5"_s, u"001A2B3C4D5G"_s, u"00:1A:2B:3C:4D:5E"_s, u"GLOBAL SETUP"_s})
        EXPECT_FALSE(isElementKey(no)) << no.toStdString();
}

} // namespace
} // namespace ondalink

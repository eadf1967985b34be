// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/level_display.h"
#include "level_replies.h"
#include "link/datagrams.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(LevelDisplay, PeakOnTheMeterAndInDecibelsToFullScale) {
    const std::pair<QByteArray, LevelDisplay> rows[] = {
        {levelReply("000000", 0, "7fffff"), {2100, u"0dBFS"_s}},
        {levelReply("800000"), {0, u"-oodBFS"_s}}, // negative half-waves do not count
        {levelReply("c00000", 479, "400000"), {1050, u"-6dBFS"_s}},
        {levelReply("000000", 200, "000001"), {0, u"-138.5dBFS"_s}},
        {levelReply("0a0000", 3, "0a0100"), {164, u"-22.1dBFS"_s}}, // big-endian
        {levelReply("000000", 1, "100000"),
         {262, u"-18.1dBFS"_s}}, // 262.5 units: halves go to the even neighbour
        {levelReply("000000", 1, "300000"), {788, u"-8.5dBFS"_s}}, // 787.5
    };
    for (const auto &[data, shown] : rows)
        EXPECT_EQ(levelDisplay(levelPeak(data), QLocale::c()), shown) << shown.text.toStdString();
    EXPECT_EQ(levelDisplay(1, QLocale(QLocale::German)).text, u"-138,5dBFS"_s);
}

} // namespace
} // namespace ondalink::testing

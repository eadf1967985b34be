// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_arguments.h"

#include <gtest/gtest.h>

using namespace ondalink::sim;

namespace {

TEST(SimArguments, OutOfRangeOrUnknownValuesAreRefusedWithAReason) {
    // clang-format off
    const std::pair<const char *, bool> rows[] = { // each refusal next to the value it just misses
        {"--firmware 25.5", true}, {"--firmware 3.45", false}, {"--firmware 3276.7", false},
        {"--corrupt input=255 --corrupt sn=2147483648 --corrupt 41=255", true},
        {"--corrupt input=256", false}, {"--corrupt colour=1", false}, {"--corrupt sn", false},
        {"--role decoder", true}, {"--role router", false},
        {"--ip 10.0.0.255", true}, {"--ip 10.0.0.256", false},
        {"--peak 8388607", true}, {"--peak 8388608", false},
        {"--serial 4294967295", true}, {"--serial 4294967296", false},
        {"--probe 127.0.0.1:1901", true}, {"--probe host:0", false},
        {"--count 12 --bind 10.77.0.11", true}, {"--count 12", false},
        {"--control-port 65535", true}, {"--control-port 65536", false}, {"--control-port -1", false},
        {"--tell silent --control-port 20001", true}, {"--tell silent", false},
        {"--tell silent --control-port 0", false},
        {"--sdl 300", false}, {"--level loud", false}, {"stray", false}};
    // clang-format on
    for (const auto &[line, accepted] : rows) {
        SimArguments parser;
        const QStringList words = QString::fromLatin1(line).split(u' ');
        EXPECT_EQ(parser.parse(QStringList{QStringLiteral("sim")} + words), accepted) << line;
        EXPECT_EQ(parser.error().isEmpty(), accepted) << line;
    }
}

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_arguments.h"

#include <gtest/gtest.h>

using namespace ondalink::sim;

namespace {

std::optional<RunOptions> parse(const QString &line) {
    SimArguments parser;
    if (!parser.parse(QStringList{QStringLiteral("sim")} + line.split(u' ', Qt::SkipEmptyParts))) {
        EXPECT_FALSE(parser.error().isEmpty());
        return std::nullopt;
    }
    return parser.options();
}

TEST(SimArguments, FirmwareTextBecomesBytesThatReadBackAsIt) {
    for (const char *text : {"3.4", "34.1", "2", "0.5", "100.0", "25.5", "255.5"}) {
        const auto options = parse(QStringLiteral("--firmware ") + QLatin1String(text));
        ASSERT_TRUE(options) << text;
        // The NMS reads the two bytes' decimal texts joined, over ten.
        const ElementIdentity &id = options->element.identity;
        EXPECT_DOUBLE_EQ((QString::number(id.versionHigh) + QString::number(id.versionLow)).toInt() / 10.0,
                         QString::fromLatin1(text).toDouble())
            << text;
    }
}

TEST(SimArguments, BadValuesAreRefused) {
    for (const char *line :
         {"--firmware 3.45", "--firmware 3276.7", "--corrupt colour=1", "--corrupt input=256", "--corrupt sn",
          "--role router", "--ip 10.0.0.256", "--sdl 300", "--peak 8388608", "--level loud", "--probe host:0",
          "--serial 4294967296", "stray"})
        EXPECT_FALSE(parse(QLatin1String(line))) << line;
}

TEST(SimArguments, CorruptFieldsBecomeBytePatchesAtTheirOffsets) {
    const auto options = parse(QStringLiteral("--corrupt input=2 --corrupt sn=2147483648 --corrupt 41=255"));
    ASSERT_TRUE(options);
    const QList<BytePatch> &patches = options->element.faults.patches;
    ASSERT_EQ(patches.size(), 3);
    EXPECT_EQ(std::pair(patches[0].offset, patches[0].bytes), std::pair(16, QByteArray("\x02")));
    EXPECT_EQ(std::pair(patches[1].offset, patches[1].bytes), std::pair(36, QByteArray::fromHex("80000000")));
    EXPECT_EQ(std::pair(patches[2].offset, patches[2].bytes), std::pair(41, QByteArray("\xff")));
}

TEST(SimArguments, GroupMembersGetTheirOwnAddressSerialAndName) {
    const auto options = parse(QStringLiteral("--role decoder --bind 10.77.0.11 --serial 100 "
                                              "--name ABCDEFGHIJKLMNOP --count 12 --paging-port 0"));
    ASSERT_TRUE(options);
    EXPECT_EQ(options->count, 12);
    EXPECT_EQ(options->element.endpoint.pagingPort, 0);
    EXPECT_EQ(options->element.identity.role, kDecoder);
    EXPECT_EQ(options->element.settings.ip, 0x0A4D000Bu) << "an element bound to an address reports it";
    const SimConfig twelfth = nthElement(options->element, 11);
    EXPECT_EQ(twelfth.endpoint.bindAddress, QHostAddress(QStringLiteral("10.77.0.22")));
    EXPECT_EQ(twelfth.settings.ip, 0x0A4D0016u);
    EXPECT_EQ(twelfth.identity.serial, 111u);
    EXPECT_EQ(twelfth.settings.name, QByteArray("ABCDEFGHIJKLM 12"));
    EXPECT_EQ(nthElement(options->element, 0).settings.name, QByteArray("ABCDEFGHIJKLMN 1"));
}

} // namespace

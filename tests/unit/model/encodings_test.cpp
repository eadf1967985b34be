// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/encodings.h"
#include "model/mac_text.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(padName, SixteenUpperCaseCharactersWhoseCapitalsFitOneByte) {
    // Cutting to sixteen and upper-casing plain names is checked by the configuration write.
    const std::pair<QString, QString> rows[] = {
        {u""_s, QString(16, u' ')},
        {u"  x"_s, u"  X             "_s},
        // ß would become SS and ÿ a capital beyond Latin-1: both stay as they are.
        {u"stra\u00dfe \u00ff\u00e9"_s, u"STRA\u00dfE \u00ff\u00c9       "_s},
    };
    for (const auto &[in, out] : rows)
        EXPECT_EQ(padName(in), out) << in.toStdString();
    EXPECT_EQ(nameToBytes(u"dec \u00e91"_s), QByteArray("DEC \xC9"
                                                        "1          "));
}

// The serial number's bytes are checked by the report's decoding.
TEST(VersionBytes, DecodeOrRefuse) {
    const struct {
        quint8 a, b;
        std::optional<double> version;
    } versions[] = {{2, 0, 2.0},     {3, 4, 3.4},       {3, 41, 34.1},           {0, 5, 0.5},
                    {255, 0, 255.0}, {32, 255, 3225.5}, {33, 100, std::nullopt}, {255, 255, std::nullopt}};
    for (const auto &row : versions)
        EXPECT_EQ(versionFromBytes(row.a, row.b), row.version) << int(row.a) << ' ' << int(row.b);
}

// Positive halves, and the roles' words, are checked where the level and the report use them.
TEST(Numbers, HalfEvenRoundingShortestTextAndVersionForms) {
    EXPECT_EQ(roundHalfEven(-2.5, 0), -2.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.125, 2), 0.12);

    const QLocale c(QLocale::C);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(shortestDecimal(-0.0, c), u"0"_s);
    EXPECT_EQ(shortestDecimal(1234567.5, german), u"1234567,5"_s);

    QLocale::setDefault(german);
    EXPECT_EQ(versionText(3.4, 2), u"3.40"_s);
    EXPECT_EQ(versionText(2.0, 1), u"2.0"_s);
    QLocale::setDefault(c);
    EXPECT_EQ(parseVersion(u"3,4"_s), 3.4);
    EXPECT_EQ(parseVersion(u" 2 "_s), 2.0);
    for (const QString &bad : {u""_s, u"3.4.1"_s, u"nan"_s, u"inf"_s})
        EXPECT_EQ(parseVersion(bad), std::nullopt) << bad.toStdString();
}

TEST(UnitLabels, ShortestNumberInTheSystemLocaleThenTheUnit) {
    // clang-format off
    const struct { QString (*label)(int, const QLocale &); int position; QString point, comma; } rows[] = {
        {bufferText, 1, u"7.5mS"_s, u"7,5mS"_s},
        {bufferText, 8, u"25mS"_s, u"25mS"_s},
        {attenuationText, 14, u"Mute"_s, u"Mute"_s},
        {attenuationText, 15, u"-120 dB"_s, u"-120 dB"_s},
        {attenuationText, 254, u"-0.5 dB"_s, u"-0,5 dB"_s},
        {attenuationText, 255, u"0 dB"_s, u"0 dB"_s},
        {silDetLevelText, 1, u"-49.8dBu"_s, u"-49,8dBu"_s},
        {silDetLevelText, 37, u"-18.4dBu"_s, u"-18,4dBu"_s},
        {silDetLevelText, 154, u"-6dBu"_s, u"-6dBu"_s},
        {silDetTimeText, 43, u"19.6Sec"_s, u"19,6Sec"_s},
        {silDetTimeText, 220, u"100.1Sec"_s, u"100,1Sec"_s},
    };
    // clang-format on
    for (const auto &row : rows) {
        EXPECT_EQ(row.label(row.position, QLocale(QLocale::C)), row.point);
        EXPECT_EQ(row.label(row.position, QLocale(QLocale::German, QLocale::Germany)), row.comma);
    }
}

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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/encodings.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

struct TextCase {
    QString in;
    QString out;
};

class PadNameTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PadNameTest, GivesSixteenUpperCaseCharacters) {
    EXPECT_EQ(PadName(GetParam().in), GetParam().out);
    EXPECT_EQ(PadName(GetParam().in).size(), 16);
}

INSTANTIATE_TEST_SUITE_P(Names, PadNameTest,
                         ::testing::Values(TextCase{u"studio a"_s, u"STUDIO A        "_s},
                                           TextCase{u"abcdefghijklmnopqrst"_s, u"ABCDEFGHIJKLMNOP"_s},
                                           TextCase{u""_s, QString(16, u' ')},
                                           TextCase{u"  x"_s, u"  X             "_s},
                                           TextCase{u"EXACTLY SIXTEEN!"_s, u"EXACTLY SIXTEEN!"_s},
                                           TextCase{u"caf\u00e9"_s, u"CAF\u00c9            "_s}));

TEST(NameBytes, SixteenBytesOfTheLowEightBitsEachWayRoundTrip) {
    const QByteArray bytes = nameToBytes(u"dec \u00e91"_s);
    EXPECT_EQ(bytes, QByteArray("DEC \xC9"
                                "1          "));
    EXPECT_EQ(nameFromBytes(bytes), u"DEC \u00c91          "_s);

    QByteArray every;
    for (int b = 0; b < 256; ++b)
        every.append(static_cast<char>(b));
    const QString text = nameFromBytes(every);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(text.at(b).unicode(), b);
}

TEST(DottedAddress, TextFromBytesHasNoLeadingZeros) {
    EXPECT_EQ(addressFromBytes(QByteArray("\xC0\xA8\x01\x0A", 4)), u"192.168.1.10"_s);
    EXPECT_EQ(addressFromBytes(QByteArray(4, '\0')), u"0.0.0.0"_s);
    EXPECT_EQ(addressFromBytes(QByteArray(4, '\xFF')), u"255.255.255.255"_s);
}

TEST(DottedAddress, SplitKeepsEmptyPartsAndAnEmptyTextHasNone) {
    EXPECT_EQ(SplitAddress(u""_s), QStringList());
    EXPECT_EQ(SplitAddress(u"10..0.1"_s), (QStringList{u"10"_s, u""_s, u"0"_s, u"1"_s}));
    EXPECT_EQ(SplitAddress(u"1.2.3.4."_s).size(), 5);
    EXPECT_EQ(SplitAddress(u"."_s), (QStringList{u""_s, u""_s}));
}

struct AddressCase {
    QString text;
    bool valid;
};

class IsValidAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(IsValidAddressTest, FourByteValuesWithBlanksAllowed) {
    EXPECT_EQ(IsValidAddress(GetParam().text), GetParam().valid) << GetParam().text.toStdString();
    EXPECT_EQ(addressToBytes(GetParam().text).has_value(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsValidAddressTest,
    ::testing::Values(AddressCase{u"0.0.0.0"_s, true}, AddressCase{u"255.255.255.255"_s, true},
                      AddressCase{u" 10.0.0.1"_s, true}, AddressCase{u"10 . 0 .0 . 1 "_s, true},
                      AddressCase{u"192.168.001.010"_s, true}, AddressCase{u"0255.1.1.1"_s, true},
                      AddressCase{u""_s, false}, AddressCase{u"1.2.3"_s, false},
                      AddressCase{u"1.2.3.4."_s, false}, AddressCase{u"1.2.3.4.5"_s, false},
                      AddressCase{u"10..0.1"_s, false}, AddressCase{u"1.2.3.256"_s, false},
                      AddressCase{u"1.2.3.99999999999999"_s, false}, AddressCase{u"-1.2.3.4"_s, false},
                      AddressCase{u"a.b.c.d"_s, false}, AddressCase{u"1.2.3.0x4"_s, false},
                      AddressCase{u"1 2.3.4.5"_s, false}, AddressCase{u"1.2.3. "_s, false},
                      AddressCase{u"\u0661.2.3.4"_s, false}));

TEST(DottedAddress, BytesInTextOrder) {
    const auto bytes = addressToBytes(u"192.168. 1 .10"_s);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::array<quint8, 4>{192, 168, 1, 10}));
}

struct VersionCase {
    quint8 a;
    quint8 b;
    std::optional<double> version;
};

class VersionBytesTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionBytesTest, JoinsTheDecimalTextsAndDividesByTen) {
    EXPECT_EQ(versionFromBytes(GetParam().a, GetParam().b), GetParam().version)
        << int(GetParam().a) << " " << int(GetParam().b);
}

INSTANTIATE_TEST_SUITE_P(Bytes, VersionBytesTest,
                         ::testing::Values(VersionCase{2, 0, 2.0}, VersionCase{3, 4, 3.4},
                                           VersionCase{3, 41, 34.1}, VersionCase{0, 5, 0.5},
                                           VersionCase{0, 0, 0.0}, VersionCase{32, 255, 3225.5},
                                           VersionCase{255, 0, 255.0}, VersionCase{33, 100, std::nullopt},
                                           VersionCase{100, 255, std::nullopt},
                                           VersionCase{255, 255, std::nullopt}));

struct SerialCase {
    QByteArray bytes;
    std::optional<qint32> serial;
};

class SerialBytesTest : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialBytesTest, BigEndianAndPositive) {
    EXPECT_EQ(serialFromBytes(GetParam().bytes), GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(Bytes, SerialBytesTest,
                         ::testing::Values(SerialCase{QByteArray("\x00\x00\x01\x00", 4), 256},
                                           SerialCase{QByteArray("\x00\x00\x00\x01", 4), 1},
                                           SerialCase{QByteArray("\x01\x02\x03\x04", 4), 0x01020304},
                                           SerialCase{QByteArray("\x7F\xFF\xFF\xFF", 4), 2147483647},
                                           SerialCase{QByteArray("\x80\x00\x00\x00", 4), std::nullopt},
                                           SerialCase{QByteArray("\xFF\xFF\xFF\xFF", 4), std::nullopt},
                                           SerialCase{QByteArray(4, '\0'), std::nullopt},
                                           SerialCase{QByteArray("\x01\x02\x03", 3), std::nullopt}));

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(roundHalfEven(3.5, 0), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5, 0), -2.0);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(roundHalfEven(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.25, 1), 1.2);
    EXPECT_DOUBLE_EQ(roundHalfEven(1.26, 1), 1.3);
    EXPECT_DOUBLE_EQ(roundHalfEven(-18.44, 1), -18.4);
}

TEST(ShortestDecimal, NoTrailingZeroExponentOrGrouping) {
    const QLocale c(QLocale::C);
    EXPECT_EQ(shortestDecimal(2.0, c), u"2"_s);
    EXPECT_EQ(shortestDecimal(3.4, c), u"3.4"_s);
    EXPECT_EQ(shortestDecimal(-120.0, c), u"-120"_s);
    EXPECT_EQ(shortestDecimal(-0.0, c), u"0"_s);
    EXPECT_EQ(shortestDecimal(1234567.5, c), u"1234567.5"_s);
    EXPECT_EQ(shortestDecimal(1e21, c), u"1000000000000000000000"_s);
    EXPECT_EQ(shortestDecimal(0.0001, c), u"0.0001"_s);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(shortestDecimal(3.4, german), u"3,4"_s);
    EXPECT_EQ(shortestDecimal(1234567.5, german), u"1234567,5"_s);
}

TEST(VersionText, AlwaysAPointAndFixedDecimals) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(versionText(3.4, 2), u"3.40"_s);
    EXPECT_EQ(versionText(2.0, 1), u"2.0"_s);
    EXPECT_EQ(versionText(34.1, 1), u"34.1"_s);
    QLocale::setDefault(before);
}

TEST(ParseVersion, EitherSeparatorAndNothingElse) {
    EXPECT_EQ(parseVersion(u"3.4"_s), 3.4);
    EXPECT_EQ(parseVersion(u"3,4"_s), 3.4);
    EXPECT_EQ(parseVersion(u" 2 "_s), 2.0);
    EXPECT_EQ(parseVersion(u""_s), std::nullopt);
    EXPECT_EQ(parseVersion(u"abc"_s), std::nullopt);
    EXPECT_EQ(parseVersion(u"3.4.1"_s), std::nullopt);
    EXPECT_EQ(parseVersion(u"nan"_s), std::nullopt);
    EXPECT_EQ(parseVersion(u"inf"_s), std::nullopt);
}

TEST(RoleText, OnlyOneAndTwoHaveNames) {
    EXPECT_EQ(roleText(1), u"ENCODER"_s);
    EXPECT_EQ(roleText(2), u"DECODER"_s);
    for (int other : {0, 3, 255, -1})
        EXPECT_EQ(roleText(other), u"UNKNOWN"_s) << other;
}

struct LabelCase {
    QString (*label)(int, const QLocale &);
    int position;
    QString pointText;
    QString commaText;
};

class UnitLabelTest : public ::testing::TestWithParam<LabelCase> {
protected:
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::C)); }
};

TEST_P(UnitLabelTest, ShortestNumberInTheSystemLocaleThenTheUnit) {
    const LabelCase &c = GetParam();
    QLocale::setDefault(QLocale(QLocale::C));
    EXPECT_EQ(c.label(c.position, QLocale()), c.pointText);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(c.label(c.position, QLocale()), c.commaText);
}

INSTANTIATE_TEST_SUITE_P(Labels, UnitLabelTest,
                         ::testing::Values(LabelCase{bufferText, 0, u"5mS"_s, u"5mS"_s},
                                           LabelCase{bufferText, 1, u"7.5mS"_s, u"7,5mS"_s},
                                           LabelCase{bufferText, 8, u"25mS"_s, u"25mS"_s},
                                           LabelCase{attenuationText, 14, u"Mute"_s, u"Mute"_s},
                                           LabelCase{attenuationText, 15, u"-120 dB"_s, u"-120 dB"_s},
                                           LabelCase{attenuationText, 254, u"-0.5 dB"_s, u"-0,5 dB"_s},
                                           LabelCase{attenuationText, 255, u"0 dB"_s, u"0 dB"_s},
                                           LabelCase{silDetLevelText, 1, u"-49.8dBu"_s, u"-49,8dBu"_s},
                                           LabelCase{silDetLevelText, 10, u"-29.8dBu"_s, u"-29,8dBu"_s},
                                           LabelCase{silDetLevelText, 37, u"-18.4dBu"_s, u"-18,4dBu"_s},
                                           LabelCase{silDetLevelText, 77, u"-12dBu"_s, u"-12dBu"_s},
                                           LabelCase{silDetLevelText, 154, u"-6dBu"_s, u"-6dBu"_s},
                                           LabelCase{silDetTimeText, 1, u"0.5Sec"_s, u"0,5Sec"_s},
                                           LabelCase{silDetTimeText, 11, u"5Sec"_s, u"5Sec"_s},
                                           LabelCase{silDetTimeText, 43, u"19.6Sec"_s, u"19,6Sec"_s},
                                           LabelCase{silDetTimeText, 220, u"100.1Sec"_s, u"100,1Sec"_s}));

TEST(UnitLabels, EveryScrollPositionShowsOneDecimalAtMost) {
    const QLocale c(QLocale::C);
    for (int p = 1; p <= 154; ++p) {
        const QString text = silDetLevelText(p, c).chopped(3);
        const double value = 20.0 * std::log10(p * 2.04870129870129) - 56.0;
        EXPECT_NEAR(text.toDouble(), value, 0.05 + 1e-9) << p;
        EXPECT_LE(text.section(u'.', 1).size(), 1) << text.toStdString();
    }
    for (int p = 1; p <= 220; ++p) {
        const QString text = silDetTimeText(p, c).chopped(3);
        EXPECT_NEAR(text.toDouble(), p * 0.455104166666667, 0.05 + 1e-9) << p;
        EXPECT_LE(text.section(u'.', 1).size(), 1) << text.toStdString();
    }
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_report_bytes.h"
#include "link/element_report.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::bytesOf;
using testing::ReportBytes;

TEST(ElementReportDecode, FullEncoderReportByteByByte) {
    // 44 bytes written out by hand: every common field and the encoder tail.
    const QByteArray datagram = QByteArray::fromHex("0a000105"
                                                    "ffff0000"
                                                    "0a0001fe"
                                                    "e0000102"
                                                    "01"
                                                    "01"
                                                    "00"
                                                    "53747564696f2041202020202020207a" // "Studio A       z"
                                                    "01"
                                                    "00012345"
                                                    "0329"
                                                    "01"
                                                    "07");
    ASSERT_EQ(datagram.size(), 44);
    ElementReport report;
    ASSERT_EQ(decodeReport(datagram, report), ReportCheck::Ok);
    const ElementRecord &r = report.record;
    EXPECT_EQ(r.ip, u"10.0.1.5"_s);
    EXPECT_EQ(r.mask, u"255.255.0.0"_s);
    EXPECT_EQ(r.gw, u"10.0.1.254"_s);
    EXPECT_EQ(r.remote, u"224.0.1.2"_s);
    EXPECT_EQ(r.input, 1);
    EXPECT_EQ(r.type, 1);
    EXPECT_EQ(r.tx, 0);
    EXPECT_EQ(r.name, u"Studio A       z"_s); // as received: no trimming, no case change
    EXPECT_EQ(r.role, 1);
    EXPECT_EQ(r.sn, 0x12345);
    EXPECT_DOUBLE_EQ(r.ver, 34.1);
    EXPECT_EQ(r.sfn, 1);
    EXPECT_EQ(r.buf, 7);
    EXPECT_TRUE(r.mac.isEmpty());
    EXPECT_FALSE(report.carried);
}

struct TailRow {
    const char *label;
    quint8 role;
    QByteArray tail;
    double ver;
    quint8 sfn, buf, att, sdm, sdl, sdt;
    ReportFields carried;
};

class ElementReportTails : public ::testing::TestWithParam<TailRow> {};

TEST_P(ElementReportTails, TakesFieldsOnlyAsFarAsTheDatagramReaches) {
    const TailRow &row = GetParam();
    ReportBytes in;
    in.role = row.role;
    in.tail = row.tail;
    ElementReport report;
    ASSERT_EQ(decodeReport(in.bytes(), report), ReportCheck::Ok);
    const ElementRecord &r = report.record;
    EXPECT_DOUBLE_EQ(r.ver, row.ver);
    EXPECT_EQ(r.sfn, row.sfn);
    EXPECT_EQ(r.buf, row.buf);
    EXPECT_EQ(r.att, row.att);
    EXPECT_EQ(r.sdm, row.sdm);
    EXPECT_EQ(r.sdl, row.sdl);
    EXPECT_EQ(r.sdt, row.sdt);
    EXPECT_EQ(report.carried, row.carried);
}

constexpr auto kAtt = ReportField::Att;
constexpr auto kDecoderAll = ReportField::Att | ReportField::Sdm | ReportField::Sdl | ReportField::Sdt;

INSTANTIATE_TEST_SUITE_P(
    Lengths, ElementReportTails,
    ::testing::Values(
        // label, role, tail, ver, sfn, buf, att, sdm, sdl, sdt, carried
        TailRow{"encoder40", 1, {}, 2.0, 0, 0, 0, 0, 0, 0, {}},
        TailRow{"encoder41", 1, bytesOf({9}), 2.0, 0, 0, 0, 0, 0, 0, {}},
        TailRow{"encoder42", 1, bytesOf({3, 4}), 3.4, 0, 0, 0, 0, 0, 0, {}},
        TailRow{"encoder43", 1, bytesOf({3, 4, 1}), 3.4, 1, 0, 0, 0, 0, 0, {}},
        TailRow{"encoder44", 1, bytesOf({3, 41, 1, 7}), 34.1, 1, 7, 0, 0, 0, 0, {}},
        TailRow{"encoder48", 1, bytesOf({3, 4, 1, 7, 9, 9, 9, 9}), 3.4, 1, 7, 0, 0, 0, 0, {}},
        TailRow{"role0As48", 0, bytesOf({2, 0, 0, 1, 9, 9, 9, 9}), 2.0, 0, 1, 0, 0, 0, 0, {}},
        TailRow{"decoder40", 2, {}, 2.0, 0, 1, 255, 0, 0, 0, kAtt},
        TailRow{"decoder41", 2, bytesOf({10}), 2.0, 0, 1, 10, 0, 0, 0, kAtt},
        TailRow{"decoder42HalfVersion", 2, bytesOf({10, 3}), 2.0, 0, 1, 10, 0, 0, 0, kAtt},
        TailRow{"decoder43", 2, bytesOf({10, 3, 4}), 3.4, 0, 1, 10, 0, 0, 0, kAtt},
        TailRow{"decoder44", 2, bytesOf({10, 3, 4, 1}), 3.4, 1, 1, 10, 0, 0, 0, kAtt},
        TailRow{"decoder45", 2, bytesOf({10, 3, 4, 1, 12}), 3.4, 1, 12, 10, 0, 0, 0, kAtt},
        TailRow{"decoder46", 2, bytesOf({10, 3, 4, 1, 12, 2}), 3.4, 1, 12, 10, 2, 0, 0,
                kAtt | ReportField::Sdm},
        TailRow{"decoder47", 2, bytesOf({10, 3, 4, 1, 12, 2, 200}), 3.4, 1, 12, 10, 2, 200, 0,
                kAtt | ReportField::Sdm | ReportField::Sdl},
        TailRow{"decoder48", 2, bytesOf({10, 2, 0, 1, 12, 2, 200, 250}), 2.0, 1, 12, 10, 2, 200, 250,
                kDecoderAll},
        TailRow{"decoderModeWithoutEntry", 2, bytesOf({10, 3, 4, 1, 12, 3, 5, 6}), 3.4, 1, 12, 10, 0, 5, 6,
                kAtt | ReportField::Sdl | ReportField::Sdt}),
    [](const auto &info) { return std::string(info.param.label); });

struct CheckRow {
    const char *label;
    quint8 input, type, tx, role;
    quint32 sn;
    QByteArray tail;
    ReportCheck expected;
};

class ElementReportChecks : public ::testing::TestWithParam<CheckRow> {};

TEST_P(ElementReportChecks, FirstFailingCheckWins) {
    const CheckRow &row = GetParam();
    ReportBytes in;
    in.input = row.input;
    in.type = row.type;
    in.tx = row.tx;
    in.role = row.role;
    in.sn = row.sn;
    in.tail = row.tail;
    ElementReport report;
    EXPECT_EQ(decodeReport(in.bytes(), report), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Order, ElementReportChecks,
    ::testing::Values(
        CheckRow{"inputBeforeAll", 2, 2, 2, 3, 0, {}, ReportCheck::AudioInput},
        CheckRow{"typeBeforeTx", 1, 2, 2, 3, 0, {}, ReportCheck::AudioType},
        CheckRow{"txBeforeRole", 0, 0, 255, 3, 0, {}, ReportCheck::TxType},
        CheckRow{"roleBeforeSerial", 0, 0, 0, 3, 0, {}, ReportCheck::ElementType},
        CheckRow{"serialZero", 0, 0, 0, 1, 0, {}, ReportCheck::SerialNumber},
        CheckRow{"serialTopByte128", 0, 0, 0, 1, 0x80000000u, {}, ReportCheck::SerialNumber},
        CheckRow{"serialTopByteFF", 0, 0, 0, 2, 0xFF000001u, {}, ReportCheck::SerialNumber},
        CheckRow{"serialBeforeVersion", 0, 0, 0, 1, 0, bytesOf({255, 255}), ReportCheck::SerialNumber},
        CheckRow{"encoderVersionTooLarge", 0, 0, 0, 1, 1, bytesOf({255, 100}), ReportCheck::Version},
        CheckRow{"decoderVersionTooLarge", 0, 0, 0, 2, 1, bytesOf({20, 33, 100}), ReportCheck::Version},
        CheckRow{"largestVersionBytes", 0, 0, 0, 1, 1, bytesOf({255, 99}), ReportCheck::Ok},
        CheckRow{"roleZeroPasses", 1, 1, 1, 0, 0x7FFFFFFFu, {}, ReportCheck::Ok},
        CheckRow{"serialOne", 0, 0, 0, 2, 1, {}, ReportCheck::Ok}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(ElementReportName, ControlCharactersBecomeQuestionMarks) {
    const QByteArray bytes("A\r\n[X]=\0\x1f\x7f\x85\xa0\xff"
                           "bcd",
                           16);
    const QString name = reportedName(bytes);
    ASSERT_EQ(name.size(), 16);
    EXPECT_EQ(name, u"A??[X]=????\u00a0\u00ffbcd"_s);
}

TEST(ElementReportDiscoveryKeys, EncoderAndDecoderInTheirOrder) {
    ReportBytes encoder;
    encoder.role = 1;
    encoder.tail = testing::encoderTail(2);
    ElementReport report;
    ASSERT_EQ(decodeReport(encoder.bytes(), report), ReportCheck::Ok);
    const KeyValues keys = discoveryKeys(report, QLocale::c());
    EXPECT_EQ(keys, (KeyValues{{u"name"_s, u"DEC ONE         "_s},
                               {u"ip"_s, u"192.168.1.10"_s},
                               {u"mask"_s, u"255.255.255.0"_s},
                               {u"gw"_s, u"192.168.1.1"_s},
                               {u"remote"_s, u"192.168.1.20"_s},
                               {u"input"_s, u"1"_s},
                               {u"type"_s, u"0"_s},
                               {u"tx"_s, u"1"_s},
                               {u"role"_s, u"1"_s},
                               {u"sn"_s, u"256"_s},
                               {u"ver"_s, u"3.4"_s},
                               {u"sfn"_s, u"1"_s},
                               {u"buf"_s, u"2"_s}}));

    ReportBytes decoder;
    decoder.tail = testing::decoderTail(10, 12, 2, 200, 250);
    ASSERT_EQ(decodeReport(decoder.bytes(), report), ReportCheck::Ok);
    // Stored as reported; only the panel brings them into range.
    EXPECT_EQ(discoveryKeys(report, QLocale::c()).mid(12), (KeyValues{{u"buf"_s, u"12"_s},
                                                                      {u"att"_s, u"10"_s},
                                                                      {u"sdm"_s, u"2"_s},
                                                                      {u"sdl"_s, u"200"_s},
                                                                      {u"sdt"_s, u"250"_s}}));
}

TEST(ElementReportDiscoveryKeys, NameIsSixteenCapitalsThatFitOneByte) {
    ReportBytes encoder;
    encoder.role = 1;
    encoder.name = QByteArray("stra\xdf"
                              "e \xff\xb5",
                              9);
    ElementReport report;
    ASSERT_EQ(decodeReport(encoder.bytes(), report), ReportCheck::Ok);
    const QString stored = discoveryKeys(report, QLocale::c()).first().second;
    EXPECT_EQ(stored, u"STRA\u00dfE \u00ff\u00b5       "_s);
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_simulator.h"

#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace ondalink::sim;

namespace {

const QByteArray kPaging("LINKWAVE KORVALEN PAGING REQUEST");
// The element below as each role: "Studio A" and 8 blanks, then the role's own fields. Every byte
// differs, so that a misplaced field shows.
const QByteArray kCommon =
    QByteArray::fromHex("0a010203ffffff000a0102fe0a01026401000153747564696f20412020202020202020");
const QByteArray kEncoderReport = kCommon + QByteArray::fromHex("010102030403290106");
const QByteArray kDecoderReport = kCommon + QByteArray::fromHex("0201020304c80329010602252b");
// ip 192.168.5.7/255.255.0.0 gw 192.168.0.1 remote 239.1.2.3, digital MPX unicast, "NEW NAME";
// then a decoder's sfn 0, buf 8, sdm 1, sdl 154, sdt 220.
const QByteArray kWrite = QByteArray::fromHex("c0a80507ffff0000c0a80001ef0102030001004e4557204e414d45"
                                              "20202020202020200008019adc");
const QByteArray kDecoderWritten = kWrite.left(35) + kDecoderReport.mid(35, 8) + kWrite.mid(35);
const QByteArray kAttenuated = QByteArray(kDecoderReport).replace(40, 1, "\x0e");
const QByteArray kApplied = QByteArray(35, '\x01') + kDecoderReport.mid(35);
const QByteArray kSilence(1440, '\0'); // 480 samples of a zero signal
const Faults kMute{{}, -1, 0, true};   // receives and applies, never answers

enum Port { ToPaging, ToConfig, ToLevel };

std::string hex(const QByteArray &bytes) {
    return bytes.toHex().toStdString();
}

TEST(ElementSimulator, RoutesByPortAnswersAndInjectsFaults) {
    // clang-format off
    const struct { quint8 role; Faults faults; Port port; QByteArray data; DatagramKind kind;
                   QByteArray answer, changed; } rows[] = { // null: no answer, the report unchanged
        {kEncoder, {}, ToPaging, kPaging, DatagramKind::Paging, kEncoderReport, {}},
        {kDecoder, {}, ToPaging, kPaging, DatagramKind::Paging, kDecoderReport, {}},
        {kDecoder, {}, ToPaging, kPaging + '\0', DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToPaging, kPaging.toLower(), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToPaging, kPaging.left(31), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToConfig, kPaging, DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToLevel, kPaging, DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToConfig, kWrite, DatagramKind::ConfigWrite, kDecoderWritten, kDecoderWritten},
        {kEncoder, {}, ToConfig, kWrite, DatagramKind::ConfigWrite, kWrite.left(35) + kEncoderReport.mid(35),
         kWrite.left(35) + kEncoderReport.mid(35)}, // an encoder has no decoder fields
        {kDecoder, {}, ToConfig, kWrite.left(36), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToLevel, QByteArray::fromHex("0e00"), DatagramKind::Attenuation, {}, kAttenuated},
        {kEncoder, {}, ToLevel, QByteArray::fromHex("0e00"), DatagramKind::Attenuation, {}, {}},
        // below mute, a second byte, one byte only, three bytes
        {kDecoder, {}, ToLevel, QByteArray::fromHex("0d00"), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToLevel, QByteArray::fromHex("6401"), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToLevel, QByteArray::fromHex("64"), DatagramKind::Ignored, {}, {}},
        {kDecoder, {}, ToLevel, QByteArray::fromHex("640000"), DatagramKind::Ignored, {}, {}},
        {kEncoder, {}, ToLevel, "VOL", DatagramKind::LevelRequest, kSilence, {}},
        {kDecoder, {{{16, "\x02"}}, -1, 0, false}, ToPaging, kPaging, DatagramKind::Paging,
         QByteArray(kDecoderReport).replace(16, 1, "\x02"), {}},
        {kDecoder, {{}, 40, 0, false}, ToPaging, kPaging, DatagramKind::Paging, kDecoderReport.left(40), {}},
        {kDecoder, {{}, 50, 0, false}, ToPaging, kPaging, DatagramKind::Paging, kDecoderReport + QByteArray(2, '\0'), {}},
        {kDecoder, {{{46, "\x07\x07\x07"}}, 47, 0, false}, ToPaging, kPaging, DatagramKind::Paging, // past the end: dropped
         kDecoderReport.left(46) + '\x07', {}},
        {kDecoder, {{}, -1, 30, false}, ToPaging, kPaging, DatagramKind::Paging, kDecoderReport, {}},
        {kDecoder, kMute, ToConfig, QByteArray(35, '\x01'), DatagramKind::ConfigWrite, {}, kApplied},
        {kDecoder, kMute, ToPaging, kPaging, DatagramKind::Paging, {}, {}},
        {kDecoder, kMute, ToLevel, "VOL", DatagramKind::LevelRequest, {}, {}},
    };
    // clang-format on
    QUdpSocket nms;
    ASSERT_TRUE(nms.bind(QHostAddress::LocalHost, 0));
    for (const auto &row : rows) {
        SCOPED_TRACE(hex(row.data) + " to port " + std::to_string(row.port) + " of role " +
                     std::to_string(row.role));
        SimConfig config;
        config.identity = {row.role, 0x01020304, 3, 41};
        // ip, mask, gw, remote, input, type, tx, name, sfn, buf, att, sdm, sdl, sdt
        config.settings = {0x0A010203,         0xFFFFFF00, 0x0A0102FE, 0x0A010264, 1, 0,  1,
                           "Studio A        ", 1,          6,          200,        2, 37, 43};
        config.level = {LevelShape::Zero, 8388607, 0};
        config.faults = row.faults;
        config.endpoint.bindAddress = QHostAddress(QHostAddress::LocalHost);
        config.endpoint.pagingPort = config.endpoint.configPort = config.endpoint.levelPort = 0;
        ElementSimulator element(config);
        ASSERT_TRUE(element.start()) << element.errorString().toStdString();
        const QByteArray before = element.currentReport();
        const quint16 ports[] = {element.pagingPort(), element.configPort(), element.levelPort()};
        QSignalSpy handled(&element, &ElementSimulator::datagramHandled);
        ASSERT_EQ(nms.writeDatagram(row.data, QHostAddress::LocalHost, ports[row.port]), row.data.size());
        ASSERT_TRUE(handled.wait(5000));
        EXPECT_EQ(handled.at(0).at(0).value<DatagramKind>(), row.kind);
        EXPECT_EQ(handled.at(0).at(1).toBool(), !row.answer.isNull());
        if (!row.answer.isNull()) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return nms.hasPendingDatagrams(); }, 5000));
            EXPECT_EQ(hex(nms.receiveDatagram().data()), hex(row.answer));
        }
        EXPECT_FALSE(nms.hasPendingDatagrams()); // loopback delivers during the send
        EXPECT_EQ(hex(element.currentReport()), hex(row.changed.isNull() ? before : row.changed));
    }
}

} // namespace

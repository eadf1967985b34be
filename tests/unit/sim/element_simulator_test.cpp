// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_simulator.h"

#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <climits>

using namespace ondalink::sim;

namespace {

const QByteArray kPaging("LINKWAVE KORVALEN PAGING REQUEST");
const QHostAddress kLocal(QHostAddress::LocalHost);

// Settings whose every byte differs, so that a misplaced field shows; bound to 127.0.0.1 on
// ephemeral ports.
SimConfig studioElement(quint8 role) {
    SimConfig c;
    c.identity = {role, 0x01020304, 3, 41};
    // ip, mask, gw, remote, input, type, tx, name, sfn, buf, att, sdm, sdl, sdt
    c.settings = {0x0A010203,         0xFFFFFF00, 0x0A0102FE, 0x0A010264, 1, 0,  1,
                  "Studio A        ", 1,          6,          200,        2, 37, 43};
    c.endpoint.bindAddress = kLocal;
    c.endpoint.pagingPort = c.endpoint.configPort = c.endpoint.levelPort = 0;
    return c;
}

// The report of studioElement: the common part ("Studio A" and 8 blanks), then each role's own.
const std::string kCommonHex = "0a010203ffffff000a0102fe0a010264010001"
                               "53747564696f20412020202020202020";
const std::string kEncoderTail = "010102030403290106";
const std::string kDecoderTail = "0201020304c80329010602252b";

std::string hex(const QByteArray &bytes) {
    return bytes.toHex().toStdString();
}

// The simulator and an NMS stand-in on 127.0.0.1 and an ephemeral port.
class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nms.bind(kLocal, 0)); }

    void start(const SimConfig &config) {
        element = std::make_unique<ElementSimulator>(config);
        ASSERT_TRUE(element->start()) << element->errorString().toStdString();
    }
    // Sends and waits until the element has handled the datagram; returns what it made of it.
    // Loopback delivers during the send, so an answer, if any, is then already waiting.
    std::pair<DatagramKind, bool> deliver(const QByteArray &data, quint16 port,
                                          const QHostAddress &to = kLocal) {
        QSignalSpy handled(element.get(), &ElementSimulator::datagramHandled);
        EXPECT_EQ(nms.writeDatagram(data, to, port), data.size());
        if (!handled.wait(5000)) {
            ADD_FAILURE() << "no datagram of " << data.size() << " bytes handled";
            return {DatagramKind::Ignored, false};
        }
        return {handled.at(0).at(0).value<DatagramKind>(), handled.at(0).at(1).toBool()};
    }
    // The next datagram to the NMS; an invalid one when none comes.
    QNetworkDatagram next() {
        return QTest::qWaitFor([&] { return nms.hasPendingDatagrams(); }, 5000) ? nms.receiveDatagram()
                                                                                : QNetworkDatagram();
    }
    QByteArray page() {
        EXPECT_EQ(deliver(kPaging, element->pagingPort()), std::pair(DatagramKind::Paging, true));
        return next().data();
    }

    QUdpSocket nms;
    std::unique_ptr<ElementSimulator> element;
};

TEST_F(SimulatorTest, PagingIsAnsweredWithTheRolesReportAndNothingElsePages) {
    start(studioElement(kEncoder));
    EXPECT_EQ(hex(page()), kCommonHex + kEncoderTail);
    start(studioElement(kDecoder));
    EXPECT_EQ(hex(page()), kCommonHex + kDecoderTail);
    for (const QByteArray &data :
         {kPaging + '\0', kPaging.toLower(), kPaging.left(31), " " + kPaging, QByteArray()})
        EXPECT_EQ(deliver(data, element->pagingPort()), std::pair(DatagramKind::Ignored, false)) << hex(data);
    EXPECT_EQ(deliver(kPaging, element->configPort()).first, DatagramKind::Ignored);
    EXPECT_EQ(deliver(kPaging, element->levelPort()).first, DatagramKind::Ignored);
    EXPECT_FALSE(nms.hasPendingDatagrams());
}

TEST_F(SimulatorTest, WriteIsAppliedAndAnsweredWithTheNewReport) {
    // ip 192.168.5.7/255.255.0.0 gw 192.168.0.1 remote 239.1.2.3, digital MPX unicast, "NEW NAME"
    const std::string write = "c0a80507ffff0000c0a80001ef0102030001004e4557204e414d452020202020202020";
    // clang-format off
    const std::tuple<quint8, std::string, std::string> rows[] = { // role, decoder part, report tail
        // an encoder has no decoder fields
        {kEncoder, "", kEncoderTail}, {kEncoder, "0008019adc", kEncoderTail},
        {kDecoder, "0008019adc", "0201020304c803290008019adc"}, {kDecoder, "", kDecoderTail}};
    // clang-format on
    for (const auto &[role, decoderPart, tail] : rows) {
        SCOPED_TRACE(decoderPart + " to role " + std::to_string(role));
        start(studioElement(role));
        const QByteArray data = QByteArray::fromHex(QByteArray::fromStdString(write + decoderPart));
        EXPECT_EQ(deliver(data, element->configPort()), std::pair(DatagramKind::ConfigWrite, true));
        EXPECT_EQ(hex(next().data()), write.substr(0, 70) + tail);
        EXPECT_EQ(hex(page()), write.substr(0, 70) + tail); // and keeps it
    }
}

TEST_F(SimulatorTest, AttenuationIsTakenByADecoderOnlyAndNeverAnswered) {
    for (const quint8 role : {kDecoder, kEncoder}) {
        start(studioElement(role));
        EXPECT_EQ(deliver(QByteArray::fromHex("0e00"), element->levelPort()),
                  std::pair(DatagramKind::Attenuation, false));
        // Not the attenuation datagram: below mute, a second byte, one byte only, three bytes.
        for (const char *bytes : {"0d00", "6401", "64", "640000"})
            EXPECT_EQ(deliver(QByteArray::fromHex(bytes), element->levelPort()).first, DatagramKind::Ignored);
        EXPECT_FALSE(nms.hasPendingDatagrams());
        EXPECT_EQ(element->settings().att, role == kDecoder ? 14 : 200);
    }
}

TEST_F(SimulatorTest, LevelRequestIsAnsweredWithABlockOfTheSignalsPeak) {
    // clang-format off
    const std::pair<LevelSignal, qint32> rows[] = { // -1: no sample of zero or above
        {{LevelShape::Sine, 1, 0}, 1}, {{LevelShape::Sine, 8388607, 0}, 8388607},
        {{LevelShape::Zero, 8388607, 0}, 0}, {{LevelShape::Negative, 8388607, 0}, -1}};
    // clang-format on
    start(studioElement(kEncoder));
    for (const auto &[signal, peak] : rows) {
        element->setLevelSignal(signal);
        EXPECT_EQ(deliver("VOL", element->levelPort()), std::pair(DatagramKind::LevelRequest, true));
        const QByteArray block = next().data();
        ASSERT_EQ(block.size(), 1440);
        qint32 largest = INT_MIN; // 480 samples of 3 bytes, big-endian two's complement
        for (int i = 0; i < 1440; i += 3)
            largest = std::max(largest,
                               qint8(block[i]) * 65536 + quint8(block[i + 1]) * 256 + quint8(block[i + 2]));
        EXPECT_EQ(std::max(largest, -1), peak);
    }
}

TEST_F(SimulatorTest, FaultsShapeEveryReport) {
    const QByteArray report = QByteArray::fromHex(QByteArray::fromStdString(kCommonHex + kDecoderTail));
    const std::pair<Faults, QByteArray> rows[] = {
        {{{{16, "\x02"}}, -1, 0, false}, QByteArray(report).replace(16, 1, "\x02")},
        {{{}, 40, 0, false}, report.left(40)},
        {{{}, 50, 0, false}, report + QByteArray(2, '\0')},
        {{{{46, "\x07\x07\x07"}}, 47, 0, false}, report.left(46) + '\x07'}, // patched past the end: dropped
    };
    for (const auto &[faults, expected] : rows) {
        SimConfig config = studioElement(kDecoder);
        config.faults = faults;
        start(config);
        EXPECT_EQ(hex(page()), hex(expected));
    }
    element->setFaults({{}, -1, 0, true}); // no reply: the write is still applied
    EXPECT_EQ(deliver(QByteArray(35, '\x01'), element->configPort()),
              std::pair(DatagramKind::ConfigWrite, false));
    EXPECT_EQ(deliver(kPaging, element->pagingPort()), std::pair(DatagramKind::Paging, false));
    EXPECT_EQ(deliver("VOL", element->levelPort()), std::pair(DatagramKind::LevelRequest, false));
    EXPECT_FALSE(nms.hasPendingDatagrams());
    EXPECT_EQ(element->settings().ip, 0x01010101u);
}

TEST_F(SimulatorTest, HostileDatagramsAreIgnoredAndTheElementStillAnswers) {
    start(studioElement(kDecoder));
    QRandomGenerator random(20240611);
    const quint16 ports[] = {element->pagingPort(), element->configPort(), element->levelPort()};
    for (int i = 0; i < 60; ++i) {
        QByteArray data(random.bounded(2001), '\0');
        for (char &c : data)
            c = static_cast<char>(random.bounded(256));
        // The lengths that name a datagram on its port are taken on purpose: left out here.
        const quint16 port = ports[i % 3];
        if ((port == ports[1] && (data.size() == 35 || data.size() == 40)) ||
            (port == ports[2] && data.size() == 2))
            data.append('x');
        EXPECT_EQ(deliver(data, port), std::pair(DatagramKind::Ignored, false)) << data.size();
    }
    EXPECT_FALSE(nms.hasPendingDatagrams());
    EXPECT_EQ(hex(page()), kCommonHex + kDecoderTail);
}

} // namespace

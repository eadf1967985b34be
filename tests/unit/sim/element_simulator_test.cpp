// SPDX-License-Identifier: GPL-3.0-or-later
#include "loopback_peer.h"

#include <QRandomGenerator>

using namespace ondalink::sim;
using namespace ondalink::sim::testing;

namespace {

const QByteArray kPaging("LINKWAVE KORVALEN PAGING REQUEST");

// Settings whose every byte differs, so a misplaced field shows.
SimConfig studioElement(quint8 role) {
    SimConfig config = loopbackElement(role);
    config.settings.ip = 0x0A010203; // 10.1.2.3
    config.settings.mask = 0xFFFFFF00;
    config.settings.gw = 0x0A0102FE;
    config.settings.remote = 0x0A010264;
    config.settings.input = 1;
    config.settings.type = 0;
    config.settings.tx = 1;
    config.settings.name = "Studio A        ";
    config.settings.sfn = 1;
    config.settings.buf = 6;
    config.settings.att = 200;
    config.settings.sdm = 2;
    config.settings.sdl = 37;
    config.settings.sdt = 43;
    config.identity.serial = 0x01020304;
    config.identity.versionHigh = 3;
    config.identity.versionLow = 41;
    return config;
}

const QByteArray kCommonHex = "0a010203ffffff000a0102fe0a010264010001"
                              "53747564696f20412020202020202020"; // "Studio A" and 8 blanks
const QByteArray kEncoderReport = QByteArray::fromHex(kCommonHex + "01"
                                                                   "01020304"
                                                                   "03290106");
const QByteArray kDecoderReport = QByteArray::fromHex(kCommonHex + "02"
                                                                   "01020304"
                                                                   "c8032901"
                                                                   "0602252b");

class SimulatorTest : public ::testing::Test {
protected:
    ElementSimulator &start(const SimConfig &config) {
        m_element = std::make_unique<ElementSimulator>(config);
        EXPECT_TRUE(m_element->start()) << m_element->errorString().toStdString();
        return *m_element;
    }
    QByteArray page() {
        EXPECT_EQ(deliver(*m_element, peer, kPaging, m_element->pagingPort()),
                  std::pair(DatagramKind::Paging, true));
        return peer.next().data();
    }

    LoopbackPeer peer;
    std::unique_ptr<ElementSimulator> m_element;
};

TEST_F(SimulatorTest, PagingIsAnsweredWithTheRolesReportToTheSender) {
    for (auto [role, expected] : {std::pair{kEncoder, kEncoderReport}, std::pair{kDecoder, kDecoderReport}}) {
        start(studioElement(role));
        peer.send(kPaging, m_element->pagingPort());
        const QNetworkDatagram reply = peer.next();
        EXPECT_EQ(reply.data().toHex().toStdString(), expected.toHex().toStdString()) << "role " << int(role);
        EXPECT_EQ(reply.destinationPort(), peer.port());
    }
}

TEST_F(SimulatorTest, AnythingButTheExactPagingTextIsIgnored) {
    ElementSimulator &element = start(studioElement(kEncoder));
    const QByteArray wrong[] = {kPaging + '\0', kPaging.toLower(), kPaging.left(31), " " + kPaging,
                                QByteArray()};
    for (const QByteArray &data : wrong) {
        EXPECT_EQ(deliver(element, peer, data, element.pagingPort()),
                  std::pair(DatagramKind::Ignored, false));
        EXPECT_FALSE(peer.hasPending()) << data.toStdString();
    }
    // Only the paging port pages.
    EXPECT_EQ(deliver(element, peer, kPaging, element.configPort()).first, DatagramKind::Ignored);
    EXPECT_EQ(deliver(element, peer, kPaging, element.levelPort()).first, DatagramKind::Ignored);
    EXPECT_FALSE(peer.hasPending());
}

struct WriteCase {
    quint8 role;
    int length;
    QByteArray expectedReport;
};

class ConfigWriteTest : public SimulatorTest, public ::testing::WithParamInterface<WriteCase> {};

// ip 192.168.5.7/255.255.0.0 gw 192.168.0.1 remote 239.1.2.3, digital MPX unicast, "NEW NAME"
const QByteArray kWriteCommonHex = "c0a80507ffff0000c0a80001ef010203000100"
                                   "4e4557204e414d452020202020202020";
const QByteArray kNewCommonHex = kWriteCommonHex;

TEST_P(ConfigWriteTest, WriteIsAppliedAndAnsweredWithTheNewReport) {
    const WriteCase &c = GetParam();
    ElementSimulator &element = start(studioElement(c.role));
    // Decoder tail: sfn 0, buf 8, sdm 1, sdl 154, sdt 220.
    const QByteArray write = QByteArray::fromHex(kWriteCommonHex + (c.length == 40 ? "0008019adc" : ""));
    ASSERT_EQ(write.size(), c.length);
    EXPECT_EQ(deliver(element, peer, write, element.configPort()),
              std::pair(DatagramKind::ConfigWrite, true));
    EXPECT_EQ(peer.next().data().toHex().toStdString(), c.expectedReport.toHex().toStdString());
    EXPECT_EQ(page().toHex().toStdString(), c.expectedReport.toHex().toStdString())
        << "the element keeps what it was sent";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConfigWriteTest,
    ::testing::Values(WriteCase{kEncoder, 35,
                                QByteArray::fromHex(kNewCommonHex + "01"
                                                                    "01020304"
                                                                    "03290106")},
                      // An encoder has no decoder fields: the tail of a 40-byte write changes nothing.
                      WriteCase{kEncoder, 40,
                                QByteArray::fromHex(kNewCommonHex + "01"
                                                                    "01020304"
                                                                    "03290106")},
                      WriteCase{kDecoder, 40,
                                QByteArray::fromHex(kNewCommonHex + "02"
                                                                    "01020304"
                                                                    "c8032900"
                                                                    "08019adc")},
                      WriteCase{kDecoder, 35,
                                QByteArray::fromHex(kNewCommonHex + "02"
                                                                    "01020304"
                                                                    "c8032901"
                                                                    "0602252b")}));

TEST_F(SimulatorTest, WritesOfOtherLengthsChangeNothing) {
    ElementSimulator &element = start(studioElement(kDecoder));
    for (int length : {0, 34, 36, 39, 41, 44, 48}) {
        EXPECT_EQ(deliver(element, peer, QByteArray(length, '\x01'), element.configPort()),
                  std::pair(DatagramKind::Ignored, false));
    }
    EXPECT_FALSE(peer.hasPending());
    EXPECT_EQ(page().toHex().toStdString(), kDecoderReport.toHex().toStdString());
}

TEST_F(SimulatorTest, AttenuationDatagramSetsTheDecodersAttenuation) {
    ElementSimulator &element = start(studioElement(kDecoder));
    EXPECT_EQ(deliver(element, peer, QByteArray::fromHex("0e00"), element.levelPort()),
              std::pair(DatagramKind::Attenuation, false));
    EXPECT_EQ(element.settings().att, 14);
    // Not the attenuation datagram: below mute, a second byte, one byte only.
    for (const char *hex : {"0d00", "6401", "64", "640000"})
        EXPECT_EQ(deliver(element, peer, QByteArray::fromHex(hex), element.levelPort()).first,
                  DatagramKind::Ignored);
    EXPECT_FALSE(peer.hasPending()) << "attenuation is never answered";
    EXPECT_EQ(quint8(page().at(40)), 14);
}

TEST_F(SimulatorTest, EncoderKeepsNoAttenuation) {
    ElementSimulator &element = start(studioElement(kEncoder));
    deliver(element, peer, QByteArray::fromHex("6400"), element.levelPort());
    EXPECT_EQ(page().toHex().toStdString(), kEncoderReport.toHex().toStdString());
}

// Positive peak and count of non-negative samples of a level block.
std::pair<qint32, int> scan(const QByteArray &block) {
    qint32 peak = -1;
    int nonNegative = 0;
    for (int i = 0; i + 2 < block.size(); i += 3) {
        const auto b = [&](int k) { return qint32(quint8(block[i + k])); };
        qint32 value = (b(0) << 16) | (b(1) << 8) | b(2);
        if (value >= 0x800000)
            value -= 0x1000000;
        peak = std::max(peak, value);
        nonNegative += value >= 0 ? 1 : 0;
    }
    return {peak, nonNegative};
}

TEST_F(SimulatorTest, LevelRequestIsAnsweredWithABlockOfTheChosenPeak) {
    for (qint32 peak : {1, 4194304, 8388607}) {
        SimConfig config = studioElement(kEncoder);
        config.level.peak = peak;
        ElementSimulator &element = start(config);
        EXPECT_EQ(deliver(element, peer, "VOL", element.levelPort()),
                  std::pair(DatagramKind::LevelRequest, true));
        const QByteArray block = peer.next().data();
        ASSERT_EQ(block.size(), 1440);
        EXPECT_EQ(scan(block).first, peak);
    }
}

TEST_F(SimulatorTest, SilentShapesHaveNoPositiveSample) {
    ElementSimulator &element = start(studioElement(kEncoder));
    element.setLevelSignal({LevelShape::Zero, 8388607, 0});
    peer.send("VOL", element.levelPort());
    EXPECT_EQ(peer.next().data(), QByteArray(1440, '\0'));
    element.setLevelSignal({LevelShape::Negative, 8388607, 0});
    peer.send("VOL", element.levelPort());
    const QByteArray block = peer.next().data();
    ASSERT_EQ(block.size(), 1440);
    EXPECT_EQ(scan(block).second, 0);
}

TEST_F(SimulatorTest, DriftingPeakStaysWithinTheChosenPeak) {
    SimConfig config = studioElement(kEncoder);
    config.level = {LevelShape::Sine, 1000000, 40};
    ElementSimulator &element = start(config);
    for (int i = 0; i < 5; ++i) {
        peer.send("VOL", element.levelPort());
        const qint32 peak = scan(peer.next().data()).first;
        EXPECT_GE(peak, 100000);
        EXPECT_LE(peak, 1000000);
    }
}

struct FaultCase {
    const char *what;
    Faults faults;
    QByteArray expected;
};

class ReportFaultTest : public SimulatorTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ReportFaultTest, FaultShapesEveryReport) {
    SimConfig config = studioElement(kDecoder);
    config.faults = GetParam().faults;
    start(config);
    EXPECT_EQ(page().toHex().toStdString(), GetParam().expected.toHex().toStdString());
}

QByteArray patched(QByteArray report, int offset, const QByteArray &bytes) {
    return report.replace(offset, bytes.size(), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportFaultTest,
    ::testing::Values(
        FaultCase{"input 2", {{{16, "\x02"}}, -1, 0, false}, patched(kDecoderReport, 16, "\x02")},
        // A corrupt role does not change the tail the element sends.
        FaultCase{"role 3", {{{35, "\x03"}}, -1, 0, false}, patched(kDecoderReport, 35, "\x03")},
        FaultCase{"serial 0",
                  {{{36, QByteArray(4, '\0')}}, -1, 0, false},
                  patched(kDecoderReport, 36, QByteArray(4, '\0'))},
        FaultCase{"40 bytes", {{}, 40, 0, false}, kDecoderReport.left(40)},
        FaultCase{"45 bytes", {{}, 45, 0, false}, kDecoderReport.left(45)},
        FaultCase{"50 bytes", {{}, 50, 0, false}, kDecoderReport + QByteArray(2, '\0')},
        FaultCase{"patch past the end is dropped",
                  {{{46, "\x07\x07\x07"}}, 47, 0, false},
                  patched(kDecoderReport.left(47), 46, "\x07")}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

TEST_F(SimulatorTest, NoReplyStillAppliesTheWrite) {
    SimConfig config = studioElement(kEncoder);
    config.faults.noReply = true;
    ElementSimulator &element = start(config);
    const QByteArray write = QByteArray::fromHex(kWriteCommonHex);
    EXPECT_EQ(deliver(element, peer, write, element.configPort()),
              std::pair(DatagramKind::ConfigWrite, false));
    EXPECT_EQ(deliver(element, peer, kPaging, element.pagingPort()), std::pair(DatagramKind::Paging, false));
    EXPECT_EQ(deliver(element, peer, "VOL", element.levelPort()),
              std::pair(DatagramKind::LevelRequest, false));
    EXPECT_FALSE(peer.hasPending());
    EXPECT_EQ(element.settings().ip, 0xC0A80507u);
}

TEST_F(SimulatorTest, DelayedReplyComesLater) {
    SimConfig config = studioElement(kEncoder);
    config.faults.replyDelayMs = 50;
    ElementSimulator &element = start(config);
    bool pendingWhenHandled = true;
    QObject::connect(&element, &ElementSimulator::datagramHandled, &element,
                     [&] { pendingWhenHandled = peer.hasPending(); });
    peer.send(kPaging, element.pagingPort());
    EXPECT_EQ(peer.next().data().toHex().toStdString(), kEncoderReport.toHex().toStdString());
    EXPECT_FALSE(pendingWhenHandled) << "the report left before the delay";
}

TEST_F(SimulatorTest, HostileDatagramsAreIgnoredAndTheElementStillAnswers) {
    ElementSimulator &element = start(studioElement(kDecoder));
    QRandomGenerator random(20240611);
    for (int i = 0; i < 60; ++i) {
        QByteArray data(random.bounded(2001), '\0');
        for (char &c : data)
            c = static_cast<char>(random.bounded(256));
        // The lengths that name a datagram on each port are left out: those are taken on purpose.
        const quint16 ports[] = {element.pagingPort(), element.configPort(), element.levelPort()};
        const quint16 port = ports[i % 3];
        if ((port == element.configPort() && (data.size() == 35 || data.size() == 40)) ||
            (port == element.levelPort() && data.size() == 2))
            data.append('x');
        EXPECT_EQ(deliver(element, peer, data, port), std::pair(DatagramKind::Ignored, false)) << data.size();
    }
    EXPECT_FALSE(peer.hasPending());
    EXPECT_EQ(page().toHex().toStdString(), kDecoderReport.toHex().toStdString());
}

TEST_F(SimulatorTest, EveryDatagramIsLoggedOnOneLine) {
    ElementSimulator &element = start(studioElement(kDecoder));
    QSignalSpy lines(&element, &ElementSimulator::logLine);
    deliver(element, peer, kPaging, element.pagingPort());
    deliver(element, peer, QByteArray(3, 'x'), element.levelPort());
    ASSERT_EQ(lines.size(), 2);
    const QString paging = lines.at(0).at(0).toString();
    EXPECT_TRUE(paging.contains(QStringLiteral("127.0.0.1:") + QString::number(peer.port())))
        << paging.toStdString();
    EXPECT_TRUE(paging.contains(u"len 32")) << paging.toStdString();
    EXPECT_TRUE(paging.contains(u"answered")) << paging.toStdString();
    EXPECT_TRUE(lines.at(1).at(0).toString().contains(u"ignored"));
}

TEST_F(SimulatorTest, BusyPortIsReported) {
    ElementSimulator &first = start(studioElement(kEncoder));
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));
    SimConfig config = studioElement(kEncoder);
    config.endpoint.configPort = holder.localPort();
    ElementSimulator second(config);
    EXPECT_FALSE(second.start());
    EXPECT_TRUE(second.errorString().contains(QString::number(holder.localPort())));
    EXPECT_NE(first.configPort(), 0);
}

} // namespace

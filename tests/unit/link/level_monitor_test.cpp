// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"
#include "link/level_monitor.h"
#include "link/receive_dispatch.h"
#include "link_fixture.h"
#include "model/encodings.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

class RecordingLevelView : public LevelView {
public:
    void setMeterWidth(int units) override { width = units; }
    void setLevelText(const QString &text) override { this->text = text; }
    int width = -1;
    QString text;
};

// 480 groups of three bytes, each group the same, with optional groups written over.
QByteArray reply(QByteArrayView group, QList<std::pair<int, QByteArray>> others = {}) {
    QByteArray data;
    for (int i = 0; i < kLevelSampleCount; ++i)
        data.append(group);
    for (const auto &[index, bytes] : others)
        data.replace(index * 3, 3, bytes);
    return data;
}

TEST(LevelReply, PeakOnTheMeterAndInDecibelsToFullScale) {
    const QByteArray zero = QByteArray::fromHex("000000");
    const struct {
        QByteArray data;
        int width;
        QString text;
    } rows[] = {
        {reply(zero, {{0, QByteArray::fromHex("7fffff")}}), 2100, u"0dBFS"_s},
        {reply(QByteArray::fromHex("800000")), 0, u"-oodBFS"_s},
        {reply(QByteArray::fromHex("ffffff")), 0, u"-oodBFS"_s},
        {reply(zero), 0, u"-oodBFS"_s},
        {reply(zero, {{17, QByteArray::fromHex("400000")}}), 1050, u"-6dBFS"_s},
        {reply(QByteArray::fromHex("c00000"), {{479, QByteArray::fromHex("400000")}}), 1050, u"-6dBFS"_s},
        {reply(zero, {{200, QByteArray::fromHex("000001")}}), 0, u"-138.5dBFS"_s},
        // Big-endian: the middle and low bytes count, the first group is not special.
        {reply(QByteArray::fromHex("0a0000"), {{3, QByteArray::fromHex("0a0100")}}), 164, u"-22.1dBFS"_s},
        {reply(zero, {{1, QByteArray::fromHex("200000")}}), 525, u"-12dBFS"_s},
    };
    for (const auto &row : rows) {
        const LevelDisplay shown = levelDisplay(levelPeak(row.data), QLocale::c());
        EXPECT_EQ(shown.meterWidth, row.width) << row.text.toStdString();
        EXPECT_EQ(shown.text, row.text);
    }
    EXPECT_EQ(levelDisplay(1, QLocale(QLocale::German)).text, u"-138,5dBFS"_s);
}

TEST(LevelReply, WidthRoundsHalvesToTheEvenNeighbour) {
    // An eighth of full scale is 262.5 units, three eighths 787.5.
    EXPECT_EQ(levelDisplay(1u << 20, QLocale::c()).meterWidth, 262);
    EXPECT_EQ(levelDisplay(3u << 20, QLocale::c()).meterWidth, 788); // 787.5
}

class LevelMonitorTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        LinkSettings settings = loopbackSettings();
        settings.controlPort = element.port();
        makeLink(settings);
        monitor = std::make_unique<LevelMonitor>(*link, view);
    }

    LoopbackPeer element;
    RecordingLevelView view;
    std::unique_ptr<LevelMonitor> monitor;
};

TEST_F(LevelMonitorTest, SwitchStartsAndStopsPollingAndBlanksTheMeter) {
    selectElementStoredAt(u"127.0.0.1"_s);
    monitor->chkGetVolume_Click(true);
    EXPECT_TRUE(monitor->monitoring());
    ASSERT_TRUE(element.waitFor(2)); // one request every interval
    for (const QNetworkDatagram &request : element.received) {
        EXPECT_EQ(request.data(), "VOL");
        EXPECT_EQ(request.senderPort(), link->endpoint().localPort());
    }
    monitor->ShowLevel(reply(QByteArray::fromHex("400000")));
    EXPECT_EQ(view.width, 1050);

    monitor->chkGetVolume_Click(false);
    EXPECT_FALSE(monitor->monitoring());
    EXPECT_EQ(view.width, 0);
    EXPECT_EQ(view.text, u"-oodBFS"_s);
}

TEST_F(LevelMonitorTest, ReplyWhileSwitchedOffOnlyBlanks) {
    view.width = 700;
    view.text = u"-9.5dBFS"_s;
    QSignalSpy handled(&link->dispatch(), &ReceiveDispatch::datagramHandled);
    element.sendTo(reply(QByteArray::fromHex("7fffff")), link->endpoint().localPort());
    ASSERT_TRUE(handled.wait(5000));
    EXPECT_EQ(view.width, 0);
    EXPECT_EQ(view.text, u"-oodBFS"_s);
}

TEST_F(LevelMonitorTest, ReplyThroughTheLinkIsShownWhileMonitoring) {
    selectElementStoredAt(u"127.0.0.1"_s);
    monitor->chkGetVolume_Click(true);
    element.sendTo(reply(QByteArray::fromHex("000000"), {{479, QByteArray::fromHex("400000")}}),
                   link->endpoint().localPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.width == 1050; }));
    EXPECT_EQ(view.text, shortestDecimal(-6, QLocale()) + u"dBFS"_s);
}

TEST_F(LevelMonitorTest, IntervalIsFiftyUntilTheSliderMovesAndARunningTimerKeepsRunning) {
    EXPECT_EQ(monitor->tmrVolume().interval(), 50);
    monitor->Slider1_Change(200); // while off: used when switched on
    selectElementStoredAt(u"127.0.0.1"_s);
    monitor->chkGetVolume_Click(true);
    EXPECT_EQ(monitor->tmrVolume().interval(), 200);
    monitor->Slider1_Change(5);
    EXPECT_TRUE(monitor->monitoring());
    EXPECT_EQ(monitor->tmrVolume().interval(), 5);
    monitor->Slider1_Change(0);
    EXPECT_EQ(monitor->tmrVolume().interval(), 1);
}

TEST_F(LevelMonitorTest, FailedRequestSwitchesMonitoringOffBeforeTellingTheOperator) {
    selectElementStoredAt(u""_s); // nothing usable stored
    QSignalSpy switchedOff(monitor.get(), &LevelMonitor::monitoringSwitchedOff);
    bool pollingDuringMessage = true;
    // Polling must be off while the box's own event loop runs, or every tick would open another.
    notifier.onShow = [&](const Message &) { pollingDuringMessage = monitor->monitoring(); };
    monitor->Slider1_Change(1);
    monitor->chkGetVolume_Click(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.isEmpty(); }));
    EXPECT_FALSE(pollingDuringMessage);
    EXPECT_EQ(switchedOff.size(), 1);
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.at(0).icon, MessageIcon::Critical);
    EXPECT_FALSE(notifier.messages.at(0).text.contains(u"occupied"_s));
    EXPECT_EQ(view.text, u"-oodBFS"_s);
}

} // namespace
} // namespace ondalink::testing

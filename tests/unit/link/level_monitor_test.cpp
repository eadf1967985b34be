// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/datagrams.h"
#include "link/level_monitor.h"
#include "link_fixture.h"

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

// 480 groups of three bytes, each the same, and one group written over.
QByteArray reply(const char *group, int index = 0, const char *other = nullptr) {
    QByteArray data = QByteArray::fromHex(group).repeated(kLevelSampleCount);
    return other ? data.replace(index * 3, 3, QByteArray::fromHex(other)) : data;
}

TEST(LevelReply, PeakOnTheMeterAndInDecibelsToFullScale) {
    const std::pair<QByteArray, LevelDisplay> rows[] = {
        {reply("000000", 0, "7fffff"), {2100, u"0dBFS"_s}},
        {reply("800000"), {0, u"-oodBFS"_s}}, // negative half-waves do not count
        {reply("c00000", 479, "400000"), {1050, u"-6dBFS"_s}},
        {reply("000000", 200, "000001"), {0, u"-138.5dBFS"_s}},
        {reply("0a0000", 3, "0a0100"), {164, u"-22.1dBFS"_s}}, // big-endian
        {reply("000000", 1, "100000"), {262, u"-18.1dBFS"_s}}, // 262.5 units: halves go to the even neighbour
        {reply("000000", 1, "300000"), {788, u"-8.5dBFS"_s}},  // 787.5
    };
    for (const auto &[data, shown] : rows)
        EXPECT_EQ(levelDisplay(levelPeak(data), QLocale::c()), shown) << shown.text.toStdString();
    EXPECT_EQ(levelDisplay(1, QLocale(QLocale::German)).text, u"-138,5dBFS"_s);
}

class LevelMonitorTest : public LinkTest, public LevelView {
protected:
    void setMeterWidth(int units) override { width = units; }
    void setLevelText(const QString &value) override { text = value; }

    int width = -1;
    QString text;
};

TEST_F(LevelMonitorTest, SwitchPollsTheStoredAddressShowsRepliesAndBlanksWhenOff) {
    Peer element;
    settings.controlPort = element.port();
    makeLink();
    LevelMonitor monitor(*link, *this);
    monitor.ShowLevel(reply("7fffff"));
    EXPECT_EQ(std::tuple(width, text), std::tuple(0, u"-oodBFS"_s)) << "off: a reply only blanks";
    EXPECT_EQ(monitor.tmrVolume().interval(), 50);
    monitor.Slider1_Change(20); // while off: used when switched on
    selectElementStoredAt(u"127.0.0.1"_s);
    monitor.chkGetVolume_Click(true);
    for (int i = 0; i < 2; ++i) { // one request every interval
        const QNetworkDatagram request = element.next();
        EXPECT_EQ(std::tuple(request.data(), request.senderPort()),
                  std::tuple("VOL", link->endpoint().localPort()));
    }
    EXPECT_EQ(monitor.tmrVolume().interval(), 20);
    monitor.ShowLevel(reply("000000", 479, "400000"));
    EXPECT_EQ(std::tuple(width, text), std::tuple(1050, u"-6dBFS"_s));
    monitor.chkGetVolume_Click(false);
    EXPECT_EQ(std::tuple(monitor.monitoring(), width, text), std::tuple(false, 0, u"-oodBFS"_s));

    // Nothing usable stored: polling stops before the box, whose own event loop would tick again.
    selectElementStoredAt(u""_s);
    bool pollingDuringMessage = true;
    notifier.onShow = [&](const Message &) { pollingDuringMessage = monitor.monitoring(); };
    monitor.chkGetVolume_Click(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.isEmpty(); }));
    EXPECT_FALSE(pollingDuringMessage);
}

} // namespace
} // namespace ondalink::testing

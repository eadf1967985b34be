// SPDX-License-Identifier: GPL-3.0-or-later
#include "level_replies.h"
#include "link/level_monitor.h"
#include "link_fixture.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST_F(LinkTest, LevelMonitorPollsTheStoredAddressReportsPeaksAndNoLevelWhenOff) {
    Peer element;
    settings.controlPort = element.port();
    makeLink();
    LevelMonitor monitor(*link, notifier);
    QSignalSpy peaks(&monitor, &LevelMonitor::peakChanged);
    QSignalSpy switched(&monitor, &LevelMonitor::enabledChanged);
    const auto lastPeak = [](const QSignalSpy &spy) {
        return spy.isEmpty() ? std::nullopt : std::optional(spy.last().at(0).value<quint32>());
    };
    const auto answer = [&](const QByteArray &data) {
        element.sendTo(data, peer->endpoint().localPort());
        return peaks.wait(5000);
    };
    ASSERT_TRUE(answer(levelReply("7fffff")));
    EXPECT_EQ(lastPeak(peaks), 0u) << "off: a reply only blanks";
    selectElementStoredAt(u"127.0.0.1"_s);
    monitor.setEnabled(true);
    for (int i = 0; i < 2; ++i) { // one request every interval
        const QNetworkDatagram request = element.next();
        EXPECT_EQ(std::tuple(request.data(), request.senderPort()),
                  std::tuple("VOL", peer->endpoint().localPort()));
    }
    ASSERT_TRUE(answer(levelReply("000000", 479, "400000")));
    EXPECT_EQ(lastPeak(peaks), 0x400000u);
    monitor.setEnabled(false);
    EXPECT_EQ(std::tuple(monitor.isEnabled(), lastPeak(peaks)), std::tuple(false, 0u));
    EXPECT_EQ(switched.size(), 2);
    monitor.setEnabled(false);
    EXPECT_EQ(switched.size(), 2) << "no change, no signal";

    // Nothing usable stored: polling stops before the box, whose own event loop would tick again.
    selectElementStoredAt(u""_s);
    bool pollingDuringMessage = true;
    notifier.onShow = [&](const Message &) { pollingDuringMessage = monitor.isEnabled(); };
    monitor.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.messages.isEmpty(); }));
    EXPECT_FALSE(pollingDuringMessage);
    EXPECT_EQ(std::tuple(switched.size(), switched.last().at(0).toBool()), std::tuple(4, false));
    EXPECT_EQ(notifier.messages,
              QList<Message>{Message(MessageId::MonitoringStopped, {phrase(PhraseId::NoStoredAddress)})});
}

} // namespace
} // namespace ondalink::testing

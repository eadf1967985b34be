// SPDX-License-Identifier: GPL-3.0-or-later
// The silence alarm: its hysteresis with a fake clock, and the watch on a loopback link where level
// replies come from 127.0.0.x.
#include "../link/link_fixture.h"
#include "fake_status.h"
#include "level_replies.h"
#include "link/level_monitor.h"
#include "status/silence_watch.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::FakeClock;

// Peaks: 0x000100 is about -90 dBFS, 0x100000 about -18 dBFS; -50 dBFS lies between.
constexpr quint32 kQuiet = 0x000100;
constexpr quint32 kLoud = 0x100000;

TEST(SilenceDetector, RaisesAfterTheHoldAndClearsAfterItsTimeAbove) {
    struct Step {
        qint64 atMs;
        quint32 peak;
        SilenceState expected;
    };
    constexpr auto kSounding = SilenceState::Sounding, kSilent = SilenceState::Silent;
    const SilenceOptions other{-10.0, 3000, 500, 1000};
    // clang-format off
    const std::vector<std::tuple<const char *, SilenceOptions, std::vector<Step>>> runs{
        {"silent for the hold time", {}, {{0, kLoud, kSounding}, {1000, kQuiet, kSounding}, {10999, kQuiet, kSounding},
                                          {11000, kQuiet, kSilent}}},
        {"a loud reply inside the hold starts it again", {}, {{0, kQuiet, kSounding}, {9000, kLoud, kSounding},
                                          {9500, 0, kSounding}, {18000, 0, kSounding}, {19500, 0, kSilent}}},
        {"cleared only after two seconds above", {}, {{0, 0, kSounding}, {10000, 0, kSilent}, {11000, kLoud, kSilent},
                                          {12500, kQuiet, kSilent}, {13000, kLoud, kSilent}, {14999, kLoud, kSilent},
                                          {15000, kLoud, kSounding}}},
        {"the threshold itself is not below it", {}, {{0, 26528, kSounding}, {20000, 26528, kSounding}}},
        {"another threshold, hold and clearing time", other, {{0, kLoud, kSounding}, {2999, kLoud, kSounding},
                                          {3000, kLoud, kSilent}, {3100, 0x7FFFFF, kSilent}, {3600, 0x7FFFFF, kSounding}}},
    };
    // clang-format on
    for (const auto &[name, options, steps] : runs) {
        SCOPED_TRACE(name);
        SilenceDetector detector(options);
        EXPECT_EQ(detector.state(), SilenceState::Waiting);
        for (const Step &step : steps) {
            detector.feed(step.peak, step.atMs);
            EXPECT_EQ(detector.state(), step.expected) << "at " << step.atMs;
        }
    }
    // 26528 / 2^23 is -50.0 dBFS to the first decimal (the row above), one less is below it.
    EXPECT_LT(*peakDbfs(26527), -50.0);
    EXPECT_FALSE(peakDbfs(0).has_value());
}

class SilenceWatchTest : public testing::LinkTest {
protected:
    // Elements at 127.0.0.2 and .3, which the test plays with sockets bound there.
    void SetUp() override {
        ASSERT_TRUE(database.writeSections({{u"00A0C9000002"_s, {{u"ip"_s, u"127.0.0.2"_s}}},
                                            {u"00A0C9000003"_s, {{u"ip"_s, u"127.0.0.3"_s}}}}));
        settings.controlPort = elementTwo.port();
        makeLink();
    }
    void reply(testing::Peer &from, quint32 peak) {
        const QByteArray group = QByteArray::number(peak, 16).rightJustified(6, '0');
        from.socket.writeDatagram(testing::levelReply(group.constData()),
                                  QHostAddress(QHostAddress::LocalHost), peer->endpoint().localPort());
    }

    testing::Peer elementTwo{QHostAddress(u"127.0.0.2"_s)};
    testing::Peer elementThree{QHostAddress(u"127.0.0.3"_s), 0};
    FakeClock clock;
};

TEST_F(SilenceWatchTest, RepliesCountForTheElementTheyCameFrom) {
    SilenceWatch watch(*link, database, clock, SilenceOptions{-50.0, 10000, 2000, 1000});
    QSignalSpy changed(&watch, &SilenceWatch::silenceChanged);
    watch.setWatched(u"00A0C9000002"_s, true);
    EXPECT_TRUE(link->levelAttribution());
    EXPECT_EQ(watch.state(u"00A0C9000002"_s), SilenceState::Waiting);

    // The poll asks the watched element's stored address.
    watch.poll();
    EXPECT_TRUE(elementTwo.next().isValid());

    // .3 is silent, .2 is not: only .2's replies reach the alarm of .2.
    for (int second = 0; second <= 11; ++second) {
        reply(elementThree, 0);
        reply(elementTwo, kLoud);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return peer->dispatch().dispatchedCount() >= quint64(2 * second + 2); }));
        clock.advance(1000);
    }
    EXPECT_EQ(watch.state(u"00A0C9000002"_s), SilenceState::Sounding);
    for (int second = 0; second <= 10; ++second) {
        reply(elementTwo, 0);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return peer->dispatch().dispatchedCount() >= quint64(24 + second + 1); }));
        clock.advance(1000);
    }
    EXPECT_EQ(watch.state(u"00A0C9000002"_s), SilenceState::Silent);
    watch.setWatched(u"00A0C9000002"_s, false);
    EXPECT_FALSE(link->levelAttribution());
    QList<SilenceState> states;
    for (const QList<QVariant> &signal : changed)
        states.append(signal.at(1).value<SilenceState>());
    EXPECT_EQ(states, (QList<SilenceState>{SilenceState::Waiting, SilenceState::Sounding,
                                           SilenceState::Silent, SilenceState::NotWatched}));
}

TEST_F(SilenceWatchTest, WhileWatchingTheMeterShowsOnlyItsOwnElement) {
    LevelMonitor monitor(*link, notifier);
    QList<quint32> shown;
    QObject::connect(&monitor, &LevelMonitor::peakChanged, [&](quint32 peak) { shown.append(peak); });
    panel.mac = u"00:A0:C9:00:00:02"_s;
    monitor.setEnabled(true);
    ASSERT_TRUE(elementTwo.next().isValid()); // the meter's own request went to .2
    SilenceWatch watch(*link, database, clock);
    // Nothing watched: every reply reaches the meter, as always.
    reply(elementThree, kQuiet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown.last(), kQuiet);
    watch.setWatched(u"00A0C9000003"_s, true);
    reply(elementThree, 0x000200);
    reply(elementTwo, kLoud);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.last() == kLoud; }));
    EXPECT_FALSE(shown.contains(0x000200));
    EXPECT_EQ(watch.state(u"00A0C9000003"_s), SilenceState::Sounding);
}

} // namespace
} // namespace ondalink

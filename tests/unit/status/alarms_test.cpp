// SPDX-License-Identifier: GPL-3.0-or-later
// Alarms end to end in memory: status changes become event log rows and desktop notifications.
#include "fake_status.h"
#include "status/alarm_notifier.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/reachability_monitor.h"
#include "store/element_database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::FakeAsyncProber;
using testing::FakeClock;
using testing::RecordingSink;

class AlarmsTest : public ::testing::Test {
protected:
    AlarmsTest() : database(dir.filePath(u"nms.ini"_s)) {
        EXPECT_TRUE(database.writeSections(
            {{u"00A0C9000001"_s, {{u"name"_s, u"Enc North       "_s}, {u"ip"_s, u"10.0.0.1"_s}}}}));
        ReachabilityOptions options;
        options.intervalMs = 2000;
        monitor = std::make_unique<ReachabilityMonitor>(database, prober, clock, options);
        notifier = std::make_unique<AlarmNotifier>(sink, *monitor);
        recorder.reloadNames(); // as the console does whenever the tree reloads
        recorder.attachReachability(*monitor);
    }
    void probeOnce(EchoResult result) {
        for (int t = 0; t < 2000; t += 100) {
            monitor->tick();
            clock.advance(100);
        }
        prober.finishAll(result);
    }
    QStringList events() const {
        QStringList all;
        for (const EventRow &row : log.rows())
            all.append(row.event + u": "_s + row.detail);
        return all;
    }

    QTemporaryDir dir;
    ElementDatabase database;
    FakeClock clock;
    FakeAsyncProber prober;
    RecordingSink sink;
    EventLog log{clock, dir.filePath(u"events"_s)};
    EventRecorder recorder{log, database};
    std::unique_ptr<ReachabilityMonitor> monitor;
    std::unique_ptr<AlarmNotifier> notifier;
};

TEST_F(AlarmsTest, OfflineAndBackAreAlarmsAndTheFirstAnswerIsNot) {
    probeOnce({EchoStatus::Success, 3});
    EXPECT_TRUE(sink.shown.isEmpty()); // Unknown → Online: nothing to alarm about
    for (int i = 0; i < 3; ++i)
        probeOnce({EchoStatus::TimedOut, 0});
    probeOnce({EchoStatus::Success, 3});
    ASSERT_EQ(sink.shown.size(), 2);
    EXPECT_TRUE(sink.shown[0].alarm);
    EXPECT_EQ(sink.shown[0].summary, u"Enc North (00:A0:C9:00:00:01) is offline"_s);
    EXPECT_EQ(sink.shown[0].elementKey, u"00A0C9000001"_s);
    EXPECT_FALSE(sink.shown[1].alarm);
    EXPECT_EQ(events(), (QStringList{u"Status changed: Online (was Unknown)"_s,
                                     u"Alarm raised: Offline: 3 probes in a row unanswered"_s,
                                     u"Alarm cleared: Online again"_s}));
    EXPECT_EQ(log.rows()[1].severity, EventSeverity::Alarm);
    EXPECT_EQ(log.rows()[1].elementName, u"Enc North"_s);
    EXPECT_EQ(log.rows()[1].elementMac, u"00:A0:C9:00:00:01"_s);
}

TEST_F(AlarmsTest, NotificationsSwitchedOffLeaveTheLogAlone) {
    notifier->setEnabled(false);
    for (int i = 0; i < 3; ++i)
        probeOnce({EchoStatus::TimedOut, 0});
    EXPECT_TRUE(sink.shown.isEmpty());
    EXPECT_EQ(log.rows().size(), 1);
}

TEST_F(AlarmsTest, PingResultsAreRecordedWithTheirElement) {
    recorder.recordPing(u" 10.0.0.1"_s, {EchoStatus::Success, 4});
    recorder.recordPing(u"10.0.0.99"_s, {EchoStatus::TimedOut, 0});
    ASSERT_EQ(log.rows().size(), 2);
    EXPECT_EQ(log.rows()[0].detail, u"10.0.0.1: 4 ms"_s);
    EXPECT_EQ(log.rows()[0].elementMac, u"00:A0:C9:00:00:01"_s);
    EXPECT_EQ(log.rows()[1].detail, u"10.0.0.99: Request Timed Out"_s);
    EXPECT_EQ(log.rows()[1].severity, EventSeverity::Warning);
    EXPECT_TRUE(log.rows()[1].elementMac.isEmpty());
}

} // namespace
} // namespace ondalink

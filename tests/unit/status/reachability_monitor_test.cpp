// SPDX-License-Identifier: GPL-3.0-or-later
// Reachability: the status machine, the schedule and its bounds, and the alarms and event log rows its
// changes make, with a fake prober and a fake clock.
#include "fake_status.h"
#include "status/alarm_notifier.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/reachability_monitor.h"
#include "store/element_database.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::FakeAsyncProber;
using testing::FakeClock;

constexpr EchoResult kAnswer{EchoStatus::Success, 7};
constexpr EchoResult kTimedOut{EchoStatus::TimedOut, 0};

QString keyOf(int n) {
    return u"00A0C9%1"_s.arg(n, 6, 16, QChar(u'0')).toUpper();
}
Ipv4Address addressOf(int n) {
    return Ipv4Address{(10u << 24) | static_cast<quint32>(n + 1)};
}

class ReachabilityTest : public ::testing::Test {
protected:
    ReachabilityTest() : database(dir.filePath(u"nms.ini"_s)) {}

    // count elements 10.0.0.1 …, each in its own section; the stored addresses can be overridden.
    void writeElements(int count, const QHash<int, QString> &addresses = {}) {
        QList<std::pair<QString, QList<std::pair<QString, QString>>>> sections;
        for (int n = 0; n < count; ++n)
            sections.append({keyOf(n),
                             {{u"name"_s, u"Element %1"_s.arg(n)},
                              {u"ip"_s, addresses.value(n, addressOf(n).toString())}}});
        ASSERT_TRUE(database.writeSections(sections));
    }
    void makeMonitor(int intervalMs = 10000) {
        ReachabilityOptions options;
        options.intervalMs = intervalMs;
        monitor = std::make_unique<ReachabilityMonitor>(database, prober, clock, options);
        changes = std::make_unique<QSignalSpy>(monitor.get(), &ReachabilityMonitor::statusChanged);
    }
    // One probe of every element: the clock moves a whole interval, ticking every 100 ms.
    void runInterval(int intervalMs = 10000) {
        for (int t = 0; t < intervalMs; t += 100) {
            monitor->tick();
            clock.advance(100);
        }
    }
    ElementStatus status(int n) const { return monitor->state(keyOf(n))->status; }
    qsizetype distinctSent() const {
        QSet<quint32> distinct;
        for (const Ipv4Address address : prober.sent)
            distinct.insert(address.value);
        return distinct.size();
    }

    QTemporaryDir dir;
    ElementDatabase database;
    FakeClock clock;
    FakeAsyncProber prober;
    std::unique_ptr<ReachabilityMonitor> monitor;
    std::unique_ptr<QSignalSpy> changes;
};

TEST_F(ReachabilityTest, OfflineOnlyAfterThreeMissesInARowAndOnlineOnAnyAnswer) {
    writeElements(1);
    makeMonitor();
    EXPECT_EQ(status(0), ElementStatus::Unknown);
    constexpr auto kUnknown = ElementStatus::Unknown, kOnline = ElementStatus::Online,
                   kOffline = ElementStatus::Offline;
    // Two misses leave a new element kUnknown, the third makes it kOffline; kOnline survives two misses, an
    // answer between them starts the count again, and any failure counts as a miss, not only a time-out.
    const std::pair<EchoResult, ElementStatus> probes[] = {
        {kTimedOut, kUnknown}, {kTimedOut, kUnknown},
        {kTimedOut, kOffline}, {kAnswer, kOnline},
        {kTimedOut, kOnline},  {kTimedOut, kOnline},
        {kAnswer, kOnline},    {kTimedOut, kOnline},
        {kTimedOut, kOnline},  {{EchoStatus::DestinationHostUnreachable, 0}, kOffline}};
    for (int i = 0; i < int(std::size(probes)); ++i) {
        runInterval();
        ASSERT_EQ(prober.finishAll(probes[i].first), 1);
        EXPECT_EQ(status(0), probes[i].second) << "probe " << i;
        if (i == 3) {
            EXPECT_EQ(monitor->state(keyOf(0))->roundTripMs, 7);
            EXPECT_EQ(monitor->state(keyOf(0))->lastSeen, clock.wallTime());
        }
    }
    QList<std::pair<ElementStatus, ElementStatus>> changed; // to, from
    for (const QList<QVariant> &change : *changes)
        changed.append({change.at(1).value<ElementStatus>(), change.at(2).value<ElementStatus>()});
    EXPECT_EQ(changed, (QList<std::pair<ElementStatus, ElementStatus>>{
                           {kOffline, kUnknown}, {kOnline, kOffline}, {kOffline, kOnline}}));
}

TEST_F(ReachabilityTest, ProbesAreSpreadOverTheIntervalOncePerElement) {
    writeElements(50);
    makeMonitor(10000);
    QList<int> perSecond;
    for (int second = 0; second < 10; ++second) {
        const qsizetype before = prober.sent.size();
        for (int t = 0; t < 1000; t += 100) {
            monitor->tick();
            prober.finishAll(kAnswer); // answered at once
            clock.advance(100);
        }
        perSecond.append(static_cast<int>(prober.sent.size() - before));
    }
    // 50 elements over 10 s: five a second, never a burst.
    EXPECT_EQ(perSecond, QList<int>(10, 5));
    EXPECT_EQ(distinctSent(), 50);
    EXPECT_LE(prober.lastTimeoutMs, 10000);
}

TEST_F(ReachabilityTest, NeverMoreThanSixtyFourInFlightAndAnElementWaitsForItsOwnProbe) {
    writeElements(200);
    makeMonitor(2000);
    runInterval(2000);
    EXPECT_EQ(prober.sent.size(), 64);
    EXPECT_EQ(prober.inFlight(), 64);
    // Answers free room; the elements held back go next, and nobody is probed twice meanwhile.
    prober.finishAll(kAnswer);
    monitor->tick();
    EXPECT_EQ(prober.sent.size(), 128);
    EXPECT_EQ(distinctSent(), 128);
}

TEST_F(ReachabilityTest, TrafficAndTheOperatorsPingFeedTheStatus) {
    writeElements(3);
    makeMonitor();
    // A report or level reply from its address.
    monitor->recordTraffic(addressOf(0));
    EXPECT_EQ(status(0), ElementStatus::Online);
    EXPECT_FALSE(monitor->state(keyOf(0))->roundTripMs.has_value());
    // The operator's pings count as probes. (An answered one reaching the list is the console's.)
    for (int i = 0; i < 3; ++i)
        monitor->recordPing(addressOf(2).toString(), kTimedOut);
    EXPECT_EQ(status(2), ElementStatus::Offline);
    // Addresses of nobody, and text that is no address, change nothing.
    monitor->recordTraffic(Ipv4Address{0x0A0000FF});
    monitor->recordPing(u"10.0.0"_s, kAnswer);
    EXPECT_EQ(changes->size(), 2);
}

TEST_F(ReachabilityTest, WithoutIcmpPermissionEverythingStaysUnknownAndItIsSaidOnce) {
    writeElements(5);
    prober.permitted = false;
    makeMonitor(2000);
    QSignalSpy denied(monitor.get(), &ReachabilityMonitor::probingNotPermitted);
    for (int i = 0; i < 3; ++i)
        runInterval(2000);
    EXPECT_EQ(denied.size(), 1);
    EXPECT_TRUE(prober.sent.isEmpty());
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(status(n), ElementStatus::Unknown);
}

TEST_F(ReachabilityTest, ReloadKeepsWhatIsKnownOfAnUnchangedAddressOnly) {
    writeElements(3, {{2, u"not an address"_s}});
    makeMonitor(2000);
    runInterval(2000);
    // The element without a usable address is listed but never probed.
    EXPECT_EQ(prober.sent.size(), 2);
    EXPECT_FALSE(monitor->state(keyOf(2))->address.has_value());
    monitor->recordTraffic(addressOf(0));
    monitor->recordTraffic(addressOf(1));
    // Element 1 moves to another address; a probe of its old one answers after the reload.
    ASSERT_TRUE(database.write(keyOf(1), u"ip"_s, u"10.9.9.9"_s));
    monitor->reload();
    prober.finishAll(kTimedOut);
    EXPECT_EQ(status(0), ElementStatus::Online);
    EXPECT_EQ(status(1), ElementStatus::Unknown);
    EXPECT_EQ(monitor->elementCount(), 3);
    EXPECT_EQ(monitor->state(keyOf(1))->missedProbes, 0);
}

TEST_F(ReachabilityTest, AnAnswerHeardBeforeTheReloadThatListsItsElementMakesItOnline) {
    writeElements(1);
    makeMonitor(0); // no probes: only the answers speak
    // A discovery's answers arrive before its elements are stored and listed; one long ago.
    monitor->recordTraffic(addressOf(3));
    clock.advance(ReachabilityMonitor::kHeardKeepMs + 1);
    const QDateTime heardAt = clock.wallTime();
    monitor->recordTraffic(addressOf(1));
    monitor->recordTraffic(addressOf(2));
    clock.advance(1500);
    writeElements(4);
    monitor->reload();
    for (int n : {1, 2}) {
        EXPECT_EQ(status(n), ElementStatus::Online) << n;
        EXPECT_EQ(monitor->state(keyOf(n))->lastSeen, heardAt) << n;
    }
    EXPECT_EQ(status(3), ElementStatus::Unknown);
    EXPECT_EQ(status(0), ElementStatus::Unknown);
    // Taken once: an element listed again later at that address starts from what is known then.
    const QList<ElementListing> listed = database.listing();
    monitor->reload(listed.mid(0, 2));
    monitor->reload(listed);
    EXPECT_EQ(status(1), ElementStatus::Online);
    EXPECT_EQ(status(2), ElementStatus::Unknown);
}

TEST_F(ReachabilityTest, SwitchedOffNothingLeaves) {
    writeElements(4);
    makeMonitor(2000);
    monitor->setEnabled(false);
    runInterval(4000);
    EXPECT_TRUE(prober.sent.isEmpty());
    monitor->setEnabled(true);
    monitor->setIntervalSeconds(1); // below the range: 2 s
    EXPECT_EQ(monitor->intervalMs(), 2000);
    runInterval(2000);
    EXPECT_EQ(prober.sent.size(), 4);
}

// Status changes become event log rows and desktop notifications.
class AlarmsTest : public ReachabilityTest {
protected:
    void SetUp() override {
        writeElements(1);
        makeMonitor(2000);
        notifier = std::make_unique<AlarmNotifier>(sink, *monitor);
        recorder.reloadNames(); // as the console does whenever the tree reloads
        recorder.attachReachability(*monitor);
    }
    void probeOnce(EchoResult result) {
        runInterval(2000);
        prober.finishAll(result);
    }
    QStringList events() const {
        QStringList all;
        for (const EventRow &row : log.rows())
            all.append(row.event + u": "_s + row.detail);
        return all;
    }

    testing::RecordingSink sink;
    EventLog log{clock, dir.filePath(u"events"_s)};
    EventRecorder recorder{log, database};
    std::unique_ptr<AlarmNotifier> notifier;
};

TEST_F(AlarmsTest, OfflineAndBackAreAlarmsNotifiedUnlessSwitchedOffAndTheFirstAnswerIsNot) {
    probeOnce({EchoStatus::Success, 3});
    EXPECT_TRUE(sink.shown.isEmpty()); // kUnknown → kOnline: nothing to alarm about
    for (int i = 0; i < 3; ++i)
        probeOnce({EchoStatus::TimedOut, 0});
    probeOnce({EchoStatus::Success, 3});
    ASSERT_EQ(sink.shown.size(), 2);
    EXPECT_TRUE(sink.shown[0].alarm);
    EXPECT_EQ(sink.shown[0].summary, u"Element 0 (00:A0:C9:00:00:00) is offline"_s);
    EXPECT_EQ(sink.shown[0].elementKey, keyOf(0));
    EXPECT_FALSE(sink.shown[1].alarm);
    EXPECT_EQ(events(), (QStringList{u"Status changed: Online (was Unknown)"_s,
                                     u"Alarm raised: Offline: 3 probes in a row unanswered"_s,
                                     u"Alarm cleared: Online again"_s}));
    EXPECT_EQ(log.rows()[1].severity, EventSeverity::Alarm);
    EXPECT_EQ(log.rows()[1].elementName, u"Element 0"_s);
    EXPECT_EQ(log.rows()[1].elementMac, u"00:A0:C9:00:00:00"_s);

    // Notifications switched off leave the log alone.
    notifier->setEnabled(false);
    for (int i = 0; i < 3; ++i)
        probeOnce({EchoStatus::TimedOut, 0});
    EXPECT_EQ(std::pair(sink.shown.size(), log.rows().size()), std::pair(qsizetype(2), qsizetype(4)));
}

TEST_F(AlarmsTest, PingResultsAreRecordedWithTheirElement) {
    recorder.recordPing(u" 10.0.0.1"_s, {EchoStatus::Success, 4});
    recorder.recordPing(u"10.0.0.99"_s, {EchoStatus::TimedOut, 0});
    ASSERT_EQ(log.rows().size(), 2);
    EXPECT_EQ(log.rows()[0].detail, u"10.0.0.1: 4 ms"_s);
    EXPECT_EQ(log.rows()[0].elementMac, u"00:A0:C9:00:00:00"_s);
    EXPECT_EQ(log.rows()[1].detail, u"10.0.0.99: Request Timed Out"_s);
    EXPECT_EQ(log.rows()[1].severity, EventSeverity::Warning);
    EXPECT_TRUE(log.rows()[1].elementMac.isEmpty());
}

} // namespace
} // namespace ondalink

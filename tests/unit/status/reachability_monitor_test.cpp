// SPDX-License-Identifier: GPL-3.0-or-later
// Reachability: the status machine, the schedule and its bounds, with a fake prober and a fake clock.
#include "fake_status.h"
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
    // Two misses leave a new element Unknown; the third makes it Offline.
    for (int miss = 1; miss <= 3; ++miss) {
        runInterval();
        ASSERT_EQ(prober.finishAll(kTimedOut), 1);
        EXPECT_EQ(status(0), miss < 3 ? ElementStatus::Unknown : ElementStatus::Offline) << "miss " << miss;
    }
    runInterval();
    prober.finishAll(kAnswer);
    EXPECT_EQ(status(0), ElementStatus::Online);
    EXPECT_EQ(monitor->state(keyOf(0))->roundTripMs, 7);
    EXPECT_EQ(monitor->state(keyOf(0))->lastSeen, clock.wallTime());
    // Online survives two misses; an answer between them starts the count again.
    for (const EchoResult result : {kTimedOut, kTimedOut, kAnswer, kTimedOut, kTimedOut}) {
        runInterval();
        prober.finishAll(result);
        EXPECT_EQ(status(0), ElementStatus::Online);
    }
    runInterval();
    // Any failure counts as a miss, not only a time-out.
    prober.finishAll(EchoResult{EchoStatus::DestinationHostUnreachable, 0});
    EXPECT_EQ(status(0), ElementStatus::Offline);

    ASSERT_EQ(changes->size(), 3);
    const QList<std::pair<ElementStatus, ElementStatus>> expected{
        {ElementStatus::Offline, ElementStatus::Unknown},
        {ElementStatus::Online, ElementStatus::Offline},
        {ElementStatus::Offline, ElementStatus::Online}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(changes->at(i).at(1).value<ElementStatus>(), expected[i].first);
        EXPECT_EQ(changes->at(i).at(2).value<ElementStatus>(), expected[i].second);
    }
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
    QSet<quint32> distinct;
    for (const Ipv4Address address : prober.sent)
        distinct.insert(address.value);
    EXPECT_EQ(distinct.size(), 50);
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
    QSet<quint32> distinct;
    for (const Ipv4Address address : prober.sent)
        distinct.insert(address.value);
    EXPECT_EQ(distinct.size(), 128);
}

TEST_F(ReachabilityTest, TrafficAndTheOperatorsPingFeedTheStatus) {
    writeElements(3);
    makeMonitor();
    // A report or level reply from its address.
    monitor->recordTraffic(addressOf(0));
    EXPECT_EQ(status(0), ElementStatus::Online);
    EXPECT_FALSE(monitor->state(keyOf(0))->roundTripMs.has_value());
    // The operator's ping, as the panel's text gives the address.
    monitor->recordPing(u"010.000.000.002"_s, EchoResult{EchoStatus::Success, 12});
    EXPECT_EQ(status(1), ElementStatus::Online);
    EXPECT_EQ(monitor->state(keyOf(1))->roundTripMs, 12);
    for (int i = 0; i < 3; ++i)
        monitor->recordPing(addressOf(2).toString(), kTimedOut);
    EXPECT_EQ(status(2), ElementStatus::Offline);
    // Addresses of nobody, and text that is no address, change nothing.
    monitor->recordTraffic(Ipv4Address{0x0A0000FF});
    monitor->recordPing(u"10.0.0"_s, kAnswer);
    EXPECT_EQ(changes->size(), 3);
}

TEST_F(ReachabilityTest, WithoutIcmpPermissionEverythingStaysUnknownAndItIsSaidOnce) {
    writeElements(5);
    prober.permitted = false;
    makeMonitor(2000);
    QSignalSpy denied(monitor.get(), &ReachabilityMonitor::probingNotPermitted);
    EXPECT_FALSE(monitor->probingPermitted());
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

} // namespace
} // namespace ondalink

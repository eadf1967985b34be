// SPDX-License-Identifier: GPL-3.0-or-later
// Status, silence alarms and the event log on the lab's NMS host, without the window: the core's
// link, discovery, monitors and recorder against the simulators, real ICMP, and a fake
// notification service on a private session bus.
#include "console/desktop_notifications.h"
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "fakes.h"
#include "lab_harness.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "status/alarm_notifier.h"
#include "status/clock.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"
#include "store/element_database.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace ondalink::e2e {

// Plays org.freedesktop.Notifications: records every Notify call.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString summary;
        uint replaces = 0;
        int urgency = -1;
    };
    QList<Call> calls;

public Q_SLOTS: // NOLINT(readability-redundant-access-specifiers): moc reads the slots from here
    // NOLINTNEXTLINE(readability-identifier-naming,readability-named-parameter): the D-Bus method's name
    uint Notify(const QString &, uint replacesId, const QString &, const QString &summary, const QString &,
                const QStringList &, const QVariantMap &hints, int) {
        calls.append({summary, replacesId, hints.value(u"urgency"_s).toInt()});
        return static_cast<uint>(calls.size());
    }
};

namespace {

using testing::RecordingNotifier;

// A session bus of this test's own: dbus-daemon in the background, stopped at the end.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (!m_daemon.waitForStarted(5000) || !QTest::qWaitFor([&] { return m_daemon.canReadLine(); }, 5000))
            return;
        m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
    }
    ~PrivateBus() {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

class StatusInLab : public ::testing::Test {
protected:
    void SetUp() override {
        if (!lab.error().isEmpty())
            GTEST_SKIP() << qPrintable(lab.error());
        link =
            std::make_unique<ElementLink>(database, notifier, resolver, [] { return ConfigurationWrite(); });
        ASSERT_TRUE(link->open());
        recorder.attachLink(*link);
    }
    // A discovery of the lab's elements, as the toolbar runs it, with a short wait.
    void discover() {
        Discovery discovery(*link);
        recorder.attachDiscovery(discovery, *link);
        bool finished = false;
        QObject::connect(&discovery, &Discovery::finished, [&] { finished = true; });
        discovery.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 10000));
        ASSERT_EQ(database.listing().size(), lab.elements().size());
        recorder.reloadNames();
    }

    Lab lab;
    QTemporaryDir dir;
    ElementDatabase database{dir.filePath(u"nms.ini"_s)};
    RecordingNotifier notifier;
    NeighbourResolver resolver;
    std::unique_ptr<ElementLink> link;
    EventLog log{systemClock(), dir.filePath(u"events"_s)};
    EventRecorder recorder{log, database};
};

TEST_F(StatusInLab, TheEventLogHoldsTheDiscovery) {
    discover();
    QStringList events;
    for (const EventRow &row : log.rows())
        events.append(row.event);
    EXPECT_EQ(events.first(), u"Discovery started"_s);
    EXPECT_EQ(events.count(u"Element stored"_s), lab.elements().size());
    EXPECT_GE(events.count(u"Database written"_s), 1);
    EXPECT_EQ(events.last(), u"Discovery ended"_s);
    const EventRow ended = log.rows().last();
    EXPECT_TRUE(ended.detail.endsWith(u"4 answers, 4 stored, 0 refused"_s)) << qPrintable(ended.detail);
    // Stored elements carry their name and MAC.
    const EventRow stored = log.rows().at(1);
    EXPECT_FALSE(stored.elementName.isEmpty());
    EXPECT_EQ(stored.elementMac.size(), 17);
}

TEST_F(StatusInLab, AnElementTakenDownGoesOfflineAndComesBack) {
    discover();
    AsyncIcmpProber prober;
    ASSERT_TRUE(prober.isPermitted());
    ReachabilityOptions options;
    options.intervalMs = 2000;
    options.echoTimeoutMs = 500;
    ReachabilityMonitor monitor(database, prober, systemClock(), options);
    const QString key = lab.element(1).key();
    const auto status = [&] { return monitor.state(key)->status; };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<ElementState> all = monitor.states();
            return std::all_of(all.cbegin(), all.cend(),
                               [](const ElementState &s) { return s.status == ElementStatus::Online; });
        },
        5000));
    EXPECT_TRUE(monitor.state(key)->roundTripMs.has_value());

    ASSERT_TRUE(lab.tell(u"element-down"_s, 1));
    QElapsedTimer down;
    down.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status() == ElementStatus::Offline; }, 3 * 2000 + 2000));
    EXPECT_LE(down.elapsed(), 3 * 2000 + 1000);
    EXPECT_EQ(monitor.state(lab.element(2).key())->status, ElementStatus::Online);
    ASSERT_TRUE(lab.tell(u"element-up"_s, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status() == ElementStatus::Online; }, 2000 + 2000));
}

TEST_F(StatusInLab, AWatchedEncoderMadeSilentRaisesTheAlarmAndANotification) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
    QDBusConnection serviceSide = QDBusConnection::connectToBus(bus.address(), u"service"_s);
    QDBusConnection clientSide = QDBusConnection::connectToBus(bus.address(), u"client"_s);
    FakeNotificationService service;
    ASSERT_TRUE(serviceSide.registerService(u"org.freedesktop.Notifications"_s));
    ASSERT_TRUE(serviceSide.registerObject(u"/org/freedesktop/Notifications"_s, &service,
                                           QDBusConnection::ExportAllSlots));
    DesktopNotifications notifications(clientSide);
    ASSERT_TRUE(notifications.isAvailable());

    discover();
    const int encoder = 1;
    ASSERT_FALSE(lab.element(encoder).decoder());
    const QString key = lab.element(encoder).key();
    AsyncIcmpProber prober;
    ReachabilityMonitor monitor(database, prober, systemClock());
    SilenceWatch watch(*link, database, systemClock(), SilenceOptions{-50.0, 3000, 2000, 1000});
    AlarmNotifier alarms(notifications, monitor, &watch);
    recorder.attachSilenceWatch(watch);
    watch.setWatched(key, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.state(key) == SilenceState::Sounding; }, 3000));

    ASSERT_TRUE(lab.tell(u"sim-control"_s, encoder, {u"silent"_s}));
    QElapsedTimer silent;
    silent.start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return watch.state(key) == SilenceState::Silent; }, 3000 + 2000 + 1000));
    EXPECT_LE(silent.elapsed(), 3000 + 2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 1; }, 3000));
    EXPECT_TRUE(service.calls[0].summary.endsWith(u"is silent"_s)) << qPrintable(service.calls[0].summary);
    EXPECT_EQ(service.calls[0].urgency, 2);

    ASSERT_TRUE(lab.tell(u"sim-control"_s, encoder, {u"loud"_s}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.state(key) == SilenceState::Sounding; }, 2000 + 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 2; }, 3000));
    EXPECT_TRUE(service.calls[1].summary.endsWith(u"has audio again"_s));
    // The clearing replaces the alarm's notification.
    EXPECT_EQ(service.calls[1].replaces, 1u);
    watch.setWatched(key, false);
}

} // namespace
} // namespace ondalink::e2e

#include "status_in_lab_test.moc"

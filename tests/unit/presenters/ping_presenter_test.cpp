// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/ping_presenter.h"

#include "fake_prober.h"
#include "fakes.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

class RecordingPingView : public PingView {
public:
    QString elementIp() const override { return ip; }
    void showPingLabel(const QString &text) override { labels.append(text); }
    void setPingIndicator(IndicatorColour colour) override { colours.append(colour); }

    QString ip = u"10.20.30.40"_s;
    QStringList labels;
    QList<IndicatorColour> colours;
};

// A ping presenter and its seams. Ticks are driven by hand unless asked for: an hour never passes in a test.
template <typename Prober = testing::ScriptedProber> struct Rig {
    explicit Rig(int retryMs = 3'600'000) : ping(view, prober, notifier, retryMs) {}
    RecordingPingView view;
    Prober prober;
    testing::RecordingNotifier notifier;
    PingPresenter ping;

    // The echo runs on a worker thread: wait until its result is shown.
    void settle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ping.isTesting(); }, 5000));
    }
    void click() {
        ping.lblPing_Click();
        settle();
    }
    void tick() {
        ping.tmrRetryPing_Timer();
        settle();
    }
};

TEST(PingPresenter, TimeOutCountsDownAndRetriesOnTheFourthTick) {
    Rig r(1);
    r.prober.results = {EchoResult{EchoStatus::TimedOut, 0}, EchoResult{EchoStatus::Success, 12}};
    r.ping.lblPing_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.view.labels.size() == 5 && !r.ping.isTesting(); }, 5000));
    EXPECT_EQ(r.view.labels,
              (QStringList{u"Request Timed Out"_s, u"Retrying in 2 seconds..."_s,
                           u"Retrying in 1 seconds..."_s, u"Retrying in 0 seconds..."_s, u"12 ms"_s}));
    EXPECT_EQ(r.view.colours, (QList<IndicatorColour>{kPingFailure, kPingSuccess}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown(), r.prober.stops), std::tuple(false, 3, 2));
}

TEST(PingPresenter, ClickStopsTheCountdownWhichKeepsItsValue) {
    Rig r;
    r.click(); // every echo times out
    for (int tick = 0; tick < 3; ++tick)
        r.tick();
    r.click();
    EXPECT_EQ(r.view.labels.mid(3), (QStringList{u"Retrying in 0 seconds..."_s, u"<Stopped>"_s}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown()), std::tuple(false, 0));

    // The next click tests at once and its time-out retries on the first tick, to what the field holds
    // then; that time-out starts the countdown again.
    r.click();
    EXPECT_EQ(r.prober.addresses.size(), 2);
    r.view.ip = u"10.20.30.41"_s;
    r.tick();
    EXPECT_EQ(r.prober.addresses.last(), Ipv4Address{0x0A141E29});
    EXPECT_EQ(r.view.labels.mid(5), (QStringList{u"Request Timed Out"_s, u"Request Timed Out"_s}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown()), std::tuple(true, 3));
}

TEST(PingPresenter, OtherOutcomesEndTheTest) {
    // clang-format off
    const struct { const char *name; const char16_t *ip; bool networking; EchoStatus status; int roundTripMs;
                   const char16_t *label; int echoes; IndicatorColour colour; } rows[] = {
        {"zero round trip", u"10.20.30.40", true, EchoStatus::Success, 0, u"0 ms", 1, kPingSuccess},
        {"unreachable", u"10.20.30.40", true, EchoStatus::DestinationHostUnreachable, 0,
         u"Destination Host Unreachable", 1, kPingFailure},
        {"no echo sent", u"10.20.30.40", true, EchoStatus::Unknown, 0, u"Unknown Response", 1, kPingFailure},
        {"no single host", u"0.0.0.0", true, EchoStatus::Success, 5, u"Unknown Response", 0, kPingFailure},
        {"broadcast", u"255.255.255.255", true, EchoStatus::Success, 5, u"Unknown Response", 0, kPingFailure},
        {"leading zeros are decimal", u"010.020.030.040", true, EchoStatus::Success, 1234, u"1234 ms", 1,
         kPingSuccess},
        {"no network layer", u"10.20.30.40", false, EchoStatus::Success, 0, u"Unable to init sockets", 0,
         kPingFailure},
        {"not an address: no reaction", u"192.168.1", true, EchoStatus::Success, 0, nullptr, 0, {}}};
    // clang-format on
    const Message noNetworking(MessageId::PingUnavailable);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        r.view.ip = QString::fromUtf16(row.ip);
        r.prober.startsOk = row.networking;
        r.prober.results = {EchoResult{row.status, row.roundTripMs}};
        r.click();
        EXPECT_EQ(std::tuple(r.prober.starts, r.ping.isRetrying()), std::tuple(row.label ? 1 : 0, false));
        EXPECT_EQ(r.prober.addresses, QList<Ipv4Address>(row.echoes, Ipv4Address{0x0A141E28}));
        EXPECT_EQ(r.prober.stops, row.label && row.networking ? 1 : 0);
        EXPECT_EQ(r.view.labels, row.label ? QStringList{QString::fromUtf16(row.label)} : QStringList{});
        EXPECT_EQ(r.view.colours, row.label ? QList<IndicatorColour>{row.colour} : QList<IndicatorColour>{});
        EXPECT_EQ(r.notifier.messages, row.networking ? QList<Message>{} : QList<Message>{noNetworking});
    }
}

// An echo that takes its whole second, as a real time-out does.
class SlowProber : public testing::ScriptedProber {
public:
    EchoResult echo(Ipv4Address address, int timeoutMs) override {
        QThread::msleep(static_cast<unsigned long>(timeoutMs));
        return ScriptedProber::echo(address, timeoutMs);
    }
};

TEST(PingPresenter, TheWindowKeepsTurningWhileAnEchoTimesOut) {
    Rig<SlowProber> r;
    int turns = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { ++turns; });
    beat.start(10);
    QElapsedTimer waited;
    waited.start();
    r.ping.lblPing_Click();
    r.ping.lblPing_Click(); // a second click while the echo is out starts nothing
    r.settle();
    const qint64 elapsedMs = waited.elapsed();

    // A blocked loop would have turned once or not at all in that second.
    EXPECT_GT(turns, elapsedMs / 10 / 4) << turns << " turns in " << elapsedMs << " ms";
    EXPECT_GE(elapsedMs, 1000);
    EXPECT_EQ(std::tuple(r.prober.addresses.size(), r.view.labels),
              std::tuple(1, QStringList{u"Request Timed Out"_s}));
    EXPECT_TRUE(r.ping.isRetrying());
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/ping_test.h"

#include "diag/icmp.h"
#include "fake_prober.h"
#include "fakes.h"

#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

class RecordingPingView : public PingView {
public:
    QString elementIp() const override { return ip; }
    void showPingLabel(const QString &text) override { labels.append(text); }
    void setPingIndicator(IndicatorColour colour) override { colours.append(colour); }

    QString label() const { return labels.isEmpty() ? QString() : labels.last(); }

    QString ip = u"10.20.30.40"_s;
    QStringList labels;
    QList<IndicatorColour> colours;
};

class PingTestTest : public ::testing::Test {
protected:
    // Tests drive the ticks themselves; the real timer never fires within a test at this interval.
    PingTestTest() : ping(view, prober, notifier, 3'600'000) {}

    RecordingPingView view;
    testing::ScriptedProber prober;
    testing::RecordingNotifier notifier;
    PingTest ping;
};

TEST_F(PingTestTest, TimeOutCountsDownAndRetriesOnTheFourthTick) {
    prober.replies = {EchoReply{kEchoTimedOut, 0}, EchoReply{kEchoSuccess, 12}};
    ping.lblPing_Click();
    EXPECT_EQ(view.colours.last(), kPingFailure);
    EXPECT_TRUE(ping.isRetrying());

    for (int tick = 0; tick < 3; ++tick)
        ping.tmrRetryPing_Timer();
    EXPECT_EQ(prober.addresses.size(), 1);
    view.ip = u"10.20.30.41"_s; // the retry goes to what the field holds then
    ping.tmrRetryPing_Timer();

    EXPECT_EQ(prober.addresses, (QList<quint32>{qToBigEndian(0x0A141E28u), qToBigEndian(0x0A141E29u)}));
    EXPECT_EQ(view.labels,
              (QStringList{u"Request Timed Out"_s, u"Retrying in 2 seconds..."_s,
                           u"Retrying in 1 seconds..."_s, u"Retrying in 0 seconds..."_s, u"12 ms"_s}));
    EXPECT_EQ(view.colours.last(), kPingSuccess);
    EXPECT_FALSE(ping.isRetrying());
    EXPECT_EQ(ping.countdown(), 3);
    EXPECT_EQ(prober.stops, 2);
}

TEST_F(PingTestTest, ClickWhileCountingStopsAndKeepsTheCountdown) {
    prober.replies = {EchoReply{kEchoTimedOut, 0}, EchoReply{kEchoTimedOut, 0}, EchoReply{kEchoSuccess, 3}};
    ping.lblPing_Click();
    ping.tmrRetryPing_Timer();
    ping.tmrRetryPing_Timer();
    ASSERT_EQ(view.label(), u"Retrying in 1 seconds..."_s);

    ping.lblPing_Click();
    EXPECT_EQ(view.label(), u"<Stopped>"_s);
    EXPECT_FALSE(ping.isRetrying());
    EXPECT_EQ(ping.countdown(), 1);
    EXPECT_EQ(prober.addresses.size(), 1);

    // The next click tests at once; its time-out counts on from the kept value.
    ping.lblPing_Click();
    EXPECT_EQ(prober.addresses.size(), 2);
    EXPECT_TRUE(ping.isRetrying());
    ping.tmrRetryPing_Timer();
    EXPECT_EQ(view.label(), u"Retrying in 0 seconds..."_s);
    ping.tmrRetryPing_Timer();
    EXPECT_EQ(prober.addresses.size(), 3);
    EXPECT_EQ(view.label(), u"3 ms"_s);
}

TEST_F(PingTestTest, RepeatedTimeOutKeepsRetryingEvenWhenTheLabelTextStaysTheSame) {
    // Stopped at 0: the next time-out retries on the first tick, while the label still shows it.
    ping.lblPing_Click();
    for (int tick = 0; tick < 3; ++tick)
        ping.tmrRetryPing_Timer();
    ping.lblPing_Click();
    ASSERT_EQ(ping.countdown(), 0);

    ping.lblPing_Click();
    ping.tmrRetryPing_Timer();
    EXPECT_EQ(prober.addresses.size(), 3);
    EXPECT_EQ(view.labels.mid(view.labels.size() - 2),
              (QStringList{u"Request Timed Out"_s, u"Request Timed Out"_s}));
    EXPECT_TRUE(ping.isRetrying());
    EXPECT_EQ(ping.countdown(), 3);
}

TEST_F(PingTestTest, ResultsOtherThanATimeOutEndTheTest) {
    prober.replies = {EchoReply{kEchoSuccess, 0}, EchoReply{11003, 0}};
    ping.lblPing_Click();
    ping.lblPing_Click();
    EXPECT_EQ(view.labels, (QStringList{u"0 ms"_s, u"Destination Host Unreachable"_s}));
    EXPECT_EQ(view.colours, (QList<IndicatorColour>{kPingSuccess, kPingFailure}));
    EXPECT_FALSE(ping.isRetrying());
}

TEST_F(PingTestTest, AddressesWithoutAnEchoShowUnknownResponse) {
    for (const QString &address : {u"0.0.0.0"_s, u"255.255.255.255"_s}) {
        ping.TestPing(address);
        EXPECT_EQ(view.label(), u"Unknown Response"_s);
        EXPECT_EQ(view.colours.last(), kPingFailure);
    }
    EXPECT_TRUE(prober.addresses.isEmpty());
    EXPECT_EQ(prober.stops, 2);
}

TEST_F(PingTestTest, InvalidAddressChangesNothing) {
    for (const QString &address : {u"192.168.1"_s, u"192.168.1.256"_s}) {
        view.ip = address;
        ping.lblPing_Click();
    }
    EXPECT_EQ(prober.starts, 0);
    EXPECT_TRUE(view.labels.isEmpty());
    EXPECT_TRUE(view.colours.isEmpty());
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(PingTestTest, SocketsThatDoNotStartAreReportedBeforeTheLabel) {
    prober.startsOk = false;
    qsizetype labelsWhenShown = -1;
    notifier.onShow = [&](const Message &) { labelsWhenShown = view.labels.size(); };
    ping.lblPing_Click();
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first(),
              critical(u"Windows Sockets not responding correctly."_s, u"Ping failed"_s));
    EXPECT_EQ(labelsWhenShown, 0);
    EXPECT_EQ(view.labels, QStringList{u"Unable to init sockets"_s});
    EXPECT_EQ(view.colours, QList<IndicatorColour>{kPingFailure});
    EXPECT_TRUE(prober.addresses.isEmpty());
    EXPECT_EQ(prober.stops, 0);
}

struct LabelRow {
    const char16_t *text;
    bool startsRetry;
};

class PingLabelChange : public PingTestTest, public ::testing::WithParamInterface<LabelRow> {};

TEST_P(PingLabelChange, OnlyTimedStartsTheRetryAndNoTextStopsIt) {
    ping.setLabel(QString::fromUtf16(GetParam().text));
    EXPECT_EQ(view.label(), QString::fromUtf16(GetParam().text));
    EXPECT_EQ(ping.isRetrying(), GetParam().startsRetry);
    ping.setLabel(u"Request Timed Out"_s);
    ping.setLabel(QString::fromUtf16(GetParam().text));
    EXPECT_TRUE(ping.isRetrying());
}

INSTANTIATE_TEST_SUITE_P(Texts, PingLabelChange,
                         ::testing::Values(LabelRow{u"xTimedx", true}, LabelRow{u"request timed out", false},
                                           LabelRow{u"Destination Host Unreachable", false},
                                           LabelRow{u"<Click to test>", false},
                                           LabelRow{u"<Unknown>", false}));

TEST(PingIndicator, ColoursReadFromTheirBgrValues) {
    EXPECT_EQ(kPingNeutral, (IndicatorColour{255, 255, 192}));
    EXPECT_EQ(kPingSuccess, (IndicatorColour{0, 255, 0}));
    EXPECT_EQ(kPingFailure, (IndicatorColour{255, 0, 0}));
}

TEST(PingRetryTimer, TicksByItselfUntilTheRetryAnswers) {
    RecordingPingView view;
    testing::ScriptedProber prober;
    testing::RecordingNotifier notifier;
    prober.replies = {EchoReply{kEchoTimedOut, 0}, EchoReply{kEchoSuccess, 5}};
    PingTest ping(view, prober, notifier, 5);
    EXPECT_EQ(ping.countdown(), 3);
    ping.lblPing_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return prober.addresses.size() == 2; }, 5000));
    EXPECT_EQ(view.labels,
              (QStringList{u"Request Timed Out"_s, u"Retrying in 2 seconds..."_s,
                           u"Retrying in 1 seconds..."_s, u"Retrying in 0 seconds..."_s, u"5 ms"_s}));
    EXPECT_FALSE(ping.isRetrying());
}

} // namespace
} // namespace ondalink

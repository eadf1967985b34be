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

TEST(EchoStatusText, NamesEveryStatusOfTheTableAndNoOther) {
    // clang-format off
    const std::pair<qint32, const char16_t *> rows[] = {
        {0, u"Success!"}, {11001, u"Buffer Too Small"}, {11002, u"Destination Net Unreachable"},
        {11003, u"Destination Host Unreachable"}, {11004, u"Destination Protocol Unreachable"},
        {11005, u"Destination Port Unreachable"}, {11006, u"No Resources"}, {11007, u"Bad Option"},
        {11008, u"Hardware Error"}, {11009, u"Packet Too Big"}, {11010, u"Request Timed Out"},
        {11011, u"Bad Request"}, {11012, u"Bad Route"}, {11013, u"TimeToLive Expired Transit"},
        {11014, u"TimeToLive Expired Reassembly"}, {11015, u"Parameter Problem"}, {11016, u"Source Quench"},
        {11017, u"Option Too Big"}, {11018, u"Bad Destination"}, {11032, u"Negotiating IPSEC"},
        {11050, u"General Failure"}, {-1, u"Unknown Response"}, {11000, u"Unknown Response"},
        {11019, u"Unknown Response"}, {11051, u"Unknown Response"}};
    // clang-format on
    for (const auto &[status, text] : rows)
        EXPECT_EQ(ICMP::EchoStatusText(status), QString::fromUtf16(text)) << status;
}

TEST(EchoProbe, ProbesTheAddressTheTextMeansOrGivesNoEcho) {
    // clang-format off
    const std::pair<const char16_t *, quint32> rows[] = { // the text, the address probed (0: none)
        // what the panel accepts is read as decimal octets, as it is sent to the element
        {u"192.168.1.10", 0xC0A8010A}, {u"192.168.001.010", 0xC0A8010A}, {u" 10.0.0.1", 0x0A000001},
        // anything else as inet_addr reads it
        {u"0x7f.1", 0x7F000001}, {u"0.0.0.0", 0}, {u"no address", 0}};
    // clang-format on
    for (const auto &[address, probed] : rows) {
        SCOPED_TRACE(QString::fromUtf16(address).toStdString());
        testing::ScriptedProber prober;
        prober.replies.push_back(EchoReply{kEchoSuccess, 17});
        const EchoReply reply = ICMP::EchoProbe(QString::fromUtf16(address), prober);
        EXPECT_EQ(prober.addresses, probed ? QList<quint32>{qToBigEndian(probed)} : QList<quint32>{});
        EXPECT_EQ(prober.timeouts, probed ? QList<int>{1000} : QList<int>{});
        EXPECT_EQ(reply.status, probed ? kEchoSuccess : kEchoNoEcho);
    }
}

class RecordingPingView : public PingView {
public:
    QString elementIp() const override { return ip; }
    void showPingLabel(const QString &text) override { labels.append(text); }
    void setPingIndicator(IndicatorColour colour) override { colours.append(colour); }

    QString ip = u"10.20.30.40"_s;
    QStringList labels;
    QList<IndicatorColour> colours;
};

// A ping test and its seams. Ticks are driven by hand unless asked for: an hour never passes in a test.
struct Rig {
    explicit Rig(int retryMs = 3'600'000) : ping(view, prober, notifier, retryMs) {}
    RecordingPingView view;
    testing::ScriptedProber prober;
    testing::RecordingNotifier notifier;
    PingTest ping;
};

TEST(PingTestTest, TimeOutCountsDownAndRetriesOnTheFourthTick) {
    Rig r(1);
    r.prober.replies = {EchoReply{kEchoTimedOut, 0}, EchoReply{kEchoSuccess, 12}};
    r.ping.lblPing_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.prober.addresses.size() == 2; }, 5000));
    EXPECT_EQ(r.view.labels,
              (QStringList{u"Request Timed Out"_s, u"Retrying in 2 seconds..."_s,
                           u"Retrying in 1 seconds..."_s, u"Retrying in 0 seconds..."_s, u"12 ms"_s}));
    EXPECT_EQ(r.view.colours, (QList<IndicatorColour>{kPingFailure, kPingSuccess}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown(), r.prober.stops), std::tuple(false, 3, 2));
}

TEST(PingTestTest, ClickStopsTheCountdownWhichKeepsItsValue) {
    Rig r;
    r.ping.lblPing_Click(); // every echo times out
    for (int tick = 0; tick < 3; ++tick)
        r.ping.tmrRetryPing_Timer();
    r.ping.lblPing_Click();
    EXPECT_EQ(r.view.labels.mid(3), (QStringList{u"Retrying in 0 seconds..."_s, u"<Stopped>"_s}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown()), std::tuple(false, 0));

    // The next click tests at once and its time-out retries on the first tick, to what the field holds
    // then; the same "Request Timed Out" shown again starts the countdown again.
    r.ping.lblPing_Click();
    EXPECT_EQ(r.prober.addresses.size(), 2);
    r.view.ip = u"10.20.30.41"_s;
    r.ping.tmrRetryPing_Timer();
    EXPECT_EQ(r.prober.addresses.last(), qToBigEndian(0x0A141E29u));
    EXPECT_EQ(r.view.labels.mid(5), (QStringList{u"Request Timed Out"_s, u"Request Timed Out"_s}));
    EXPECT_EQ(std::tuple(r.ping.isRetrying(), r.ping.countdown()), std::tuple(true, 3));
}

TEST(PingTestTest, OtherOutcomesEndTheTest) {
    // clang-format off
    const struct { const char16_t *ip; bool socketsStart; qint32 status; const char16_t *label; int echoes;
                   IndicatorColour colour; } rows[] = {
        {u"10.20.30.40", true, kEchoSuccess, u"0 ms", 1, kPingSuccess},
        {u"10.20.30.40", true, 11003, u"Destination Host Unreachable", 1, kPingFailure},
        {u"0.0.0.0", true, kEchoSuccess, u"Unknown Response", 0, kPingFailure},
        {u"10.20.30.40", false, kEchoSuccess, u"Unable to init sockets", 0, kPingFailure},
        {u"192.168.1", true, kEchoSuccess, nullptr, 0, {}}}; // no reaction at all
    // clang-format on
    const Message noSockets = critical(u"Windows Sockets not responding correctly."_s, u"Ping failed"_s);
    for (const auto &row : rows) {
        SCOPED_TRACE(QString::fromUtf16(row.label ? row.label : row.ip).toStdString());
        Rig r;
        r.view.ip = QString::fromUtf16(row.ip);
        r.prober.startsOk = row.socketsStart;
        r.prober.replies = {EchoReply{row.status, 0}};
        r.ping.lblPing_Click();
        EXPECT_EQ(std::tuple(r.prober.starts, r.prober.addresses.size(), r.ping.isRetrying()),
                  std::tuple(row.label ? 1 : 0, qsizetype(row.echoes), false));
        EXPECT_EQ(r.view.labels, row.label ? QStringList{QString::fromUtf16(row.label)} : QStringList{});
        EXPECT_EQ(r.view.colours, row.label ? QList<IndicatorColour>{row.colour} : QList<IndicatorColour>{});
        EXPECT_EQ(r.notifier.messages, row.socketsStart ? QList<Message>{} : QList<Message>{noSockets});
    }
}

TEST(PingTestTest, OnlyTimedStartsTheRetryAndNoTextStopsIt) {
    const std::pair<QString, bool> rows[] = {
        {u"xTimedx"_s, true}, {u"request timed out"_s, false}, {u"<Click to test>"_s, false}};
    for (const auto &[text, starts] : rows) {
        Rig r;
        r.ping.setLabel(text);
        EXPECT_EQ(r.view.labels.last(), text);
        EXPECT_EQ(r.ping.isRetrying(), starts) << text.toStdString();
        r.ping.setLabel(u"Request Timed Out"_s);
        r.ping.setLabel(text);
        EXPECT_TRUE(r.ping.isRetrying());
        EXPECT_TRUE(r.prober.addresses.isEmpty());
    }
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// The ping label in the window: a click pings the address in the IP box, and the panel's own texts
// neither start nor stop a retry.
#include "console_fixture.h"

namespace ondalink::testing {
namespace {

class PingLabelTest : public ConsoleTest {
protected:
    void SetUp() override { writeExample(); }
    QString shown() const {
        const QColor fill = find<PingIndicator>(u"shpPing"_s)->fillColor();
        return find<QLabel>(u"lblPing"_s)->text() + u'|' + fill.name();
    }
    // The echo runs on a worker thread: wait until its result is shown.
    void clickPing() const {
        QTest::mouseClick(find<QLabel>(u"lblPing"_s), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->pingPresenter().isTesting(); }, 5000));
    }
};

TEST_F(PingLabelTest, SelectingAnElementDuringTheCountdownLeavesItRunning) {
    MainWindowSettings s = settings();
    s.pingRetryMs = 3'600'000; // ticks by hand
    start(s);
    PingPresenter &ping = window->pingPresenter();
    clickNode(kDecoderMac);
    EXPECT_EQ(shown(), u"<Click to test>|#ffffc0"_s);

    clickPing(); // the scripted prober times out
    EXPECT_EQ(prober.addresses, QList{Ipv4Address{0x7F000001}});
    EXPECT_EQ(shown(), u"Request Timed Out|#ff0000"_s);
    EXPECT_TRUE(ping.isRetrying());

    clickNode(kEncoderMac);
    EXPECT_EQ(shown(), u"<Click to test>|#ffffc0"_s);
    EXPECT_TRUE(ping.isRetrying());
    ping.tmrRetryPing_Timer();
    EXPECT_FALSE(ping.isTesting());
    EXPECT_EQ(shown(), u"Retrying in 2 seconds...|#ffffc0"_s);

    clickPing();
    EXPECT_EQ(shown(), u"<Stopped>|#ffffc0"_s);
    EXPECT_FALSE(ping.isRetrying());
    EXPECT_EQ(prober.addresses.size(), 1);
}

} // namespace
} // namespace ondalink::testing

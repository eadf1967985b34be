// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, the toolbar and its monitoring states, and the window's wiring to the link and the ping.
#include "console_fixture.h"

#include "console/ping_indicator.h"
#include "console/qt_notifier.h"
#include "console/vu_meter.h"

#include <QMessageBox>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QToolBar>
#include <QUdpSocket>

namespace ondalink::testing {
namespace {

class MainWindowTest : public ConsoleTest {
protected:
    QTimer &timer(const QString &name) {
        for (QTimer *t : {&window->link().timerRemoteSent(), &window->link().timerGetMAC(),
                          &window->levelMonitor().tmrVolume()})
            if (t->objectName() == name)
                return *t;
        ADD_FAILURE() << qPrintable(name);
        return window->link().timerRemoteSent();
    }
};

TEST_F(MainWindowTest, StartUpDisablesMonitoringLeavesTimersStoppedAndTitlesTheWindow) {
    writeExample();
    start();
    ASSERT_TRUE(started);
    EXPECT_EQ(window->objectName(), u"frmMain"_s);
    EXPECT_EQ(window->windowTitle(),
              u"Ondalink NMS v.%1.%2.%3 - Korvalen Broadcast"_s.arg(ONDALINK_VERSION_MAJOR)
                  .arg(ONDALINK_VERSION_MINOR)
                  .arg(ONDALINK_VERSION_PATCH));
    EXPECT_FALSE(window->windowTitle().contains(u"v.1.0.0.")); // three numbers, no fourth
    for (int number : {1, 2, 4})
        EXPECT_TRUE(buttonEnabled(number)) << number;
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    for (const QString &name : {u"timerRemoteSent"_s, u"timerGetMAC"_s, u"tmrVolume"_s})
        EXPECT_FALSE(timer(name).isActive()) << qPrintable(name);
    EXPECT_FALSE(window->pingTest().isRetrying());
    EXPECT_EQ(window->pingTest().countdown(), 3);
    EXPECT_TRUE(window->link().endpoint().isOpen());
    window->close();
    EXPECT_FALSE(window->link().endpoint().isOpen());
}

TEST_F(MainWindowTest, OccupiedPortIsReportedAfterTheTreeIsLoaded) {
    writeExample();
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));
    MainWindowSettings s = settings();
    s.link.localPort = holder.localPort();
    start(s);
    EXPECT_FALSE(started);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first(), critical(u"Unable to use UDP port 2976: occupied."_s));
    EXPECT_EQ(tree()->topLevelItemCount(), 2);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ToolbarHasSevenItemsWithSeparatorsAtThreeAndFive) {
    writeExample();
    start();
    const QStringList texts = {
        u"Discover elements"_s,      u"Refresh list"_s,         {}, u"Save changes"_s, {},
        u"Start audio monitoring"_s, u"Stop audio monitoring"_s};
    auto *toolbar = find<QToolBar>(u"Toolbar1"_s);
    ASSERT_EQ(toolbar->actions().size(), 7);
    for (int number = 1; number <= 7; ++number) {
        QAction *item = toolbar->actions().at(number - 1);
        EXPECT_EQ(item, window->toolbarItem(number));
        EXPECT_EQ(item->isSeparator(), number == 3 || number == 5) << number;
        EXPECT_EQ(item->text(), texts.at(number - 1)) << number;
        EXPECT_EQ(item->icon().isNull(), item->isSeparator()) << number;
    }
    EXPECT_EQ(window->toolbarItem(2)->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(window->toolbarItem(4)->shortcut(), QKeySequence(QKeySequence::Save));
}

TEST_F(MainWindowTest, MonitoringButtonsFollowTheirStates) {
    writeExample();
    start();
    auto *volume = find<QCheckBox>(u"chkGetVolume"_s);
    QTimer &tmrVolume = window->levelMonitor().tmrVolume();

    clickNode(kEncoderMac); // Ready
    EXPECT_TRUE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    window->toolbarItem(6)->trigger(); // Monitoring
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_TRUE(buttonEnabled(7));
    EXPECT_TRUE(volume->isChecked());
    EXPECT_TRUE(tmrVolume.isActive());

    window->toolbarItem(7)->trigger(); // Ready, blanked
    EXPECT_TRUE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    EXPECT_FALSE(tmrVolume.isActive());
    EXPECT_EQ(text(u"lblVolume"_s), u"-oodBFS"_s);
    EXPECT_EQ(find<VUMeter>(u"VUMeter"_s)->meterWidth(), 0);

    window->toolbarItem(6)->trigger();
    clickNode(kEncoderMac); // the same encoder again: monitoring off, Ready
    EXPECT_FALSE(tmrVolume.isActive());
    EXPECT_FALSE(volume->isChecked());
    EXPECT_TRUE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));

    window->toolbarItem(6)->trigger();
    clickNode(kDecoderMac); // Unavailable
    EXPECT_FALSE(tmrVolume.isActive());
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    EXPECT_FALSE(find<VUMeter>(u"VUMeter"_s)->isEnabled());
}

TEST_F(MainWindowTest, MonitoringPollsTheSelectedElementAndShowsItsReplies) {
    ASSERT_TRUE(element.bound);
    writeExample();
    start();
    ASSERT_TRUE(started);
    clickNode(kEncoderMac);
    window->toolbarItem(6)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !element.received.isEmpty(); }));
    EXPECT_EQ(element.received.first(), QByteArray("VOL"));

    QByteArray reply(1440, '\0');
    reply[0] = 0x40; // half of full scale
    element.socket.writeDatagram(reply, QHostAddress(QHostAddress::LocalHost),
                                 window->link().endpoint().localPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return find<VUMeter>(u"VUMeter"_s)->meterWidth() == 1050; }));
    EXPECT_EQ(text(u"lblVolume"_s), u"-6dBFS"_s);
    window->toolbarItem(7)->trigger();
}

TEST_F(MainWindowTest, OperatorMovesAttenuationOfADecoderLive) {
    ASSERT_TRUE(element.bound);
    writeExample();
    start();
    showActive();
    clickNode(kDecoderMac);
    auto *atten = find<QScrollBar>(u"scrlAtten"_s);

    atten->setValue(200); // by code, focus in the tree: label only
    EXPECT_EQ(text(u"lblAttenDB"_s), u"-27.5 dB"_s);
    EXPECT_EQ(ElementDatabase(iniPath()).read(kDecoderKey, u"att"_s), u"235"_s);

    atten->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return atten->hasFocus(); }));
    QTest::keyClick(atten, Qt::Key_Right);
    EXPECT_EQ(atten->value(), 201);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !element.received.isEmpty(); }));
    EXPECT_EQ(element.received.last(), QByteArray::fromHex("c900"));
    EXPECT_EQ(ElementDatabase(iniPath()).read(kDecoderKey, u"att"_s), u"201"_s);
}

TEST_F(MainWindowTest, PingLabelClickTestsTheAddressInThePanel) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    prober.reply = {kEchoSuccess, 12};
    QTest::mouseClick(find<QLabel>(u"lblPing"_s), Qt::LeftButton);
    EXPECT_EQ(prober.echoes, 1);
    EXPECT_EQ(text(u"lblPing"_s), u"12 ms"_s);
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(0, 255, 0));
    EXPECT_EQ(find<QLabel>(u"lblPing"_s)->toolTip(), u"Click to test ping"_s);

    prober.reply = {kEchoTimedOut, 0};
    window->pingTest().lblPing_Click();
    EXPECT_EQ(text(u"lblPing"_s), u"Request Timed Out"_s);
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(255, 0, 0));
    EXPECT_TRUE(window->pingTest().isRetrying());
    clickNode(kDecoderMac); // a new selection shows the neutral indicator
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(255, 255, 192));
    EXPECT_EQ(text(u"lblPing"_s), u"<Click to test>"_s);
}

TEST_F(MainWindowTest, ConfirmedDiscoveryStopsMonitoringPagesAndRebuildsTheDatabase) {
    writeExample();
    MainWindowSettings s = settings();
    s.link.pagingWaitMs = 50;
    start(s);
    clickNode(kEncoderMac);
    window->toolbarItem(6)->trigger();
    notifier.answers = {Answer::Yes};
    window->toolbarItem(1)->trigger(); // returns when the paging window has closed

    ASSERT_FALSE(notifier.messages.isEmpty());
    EXPECT_EQ(notifier.messages.first().title, u"Auto Discovery"_s);
    EXPECT_TRUE(notifier.messages.first().askYesNo);
    EXPECT_EQ(notifier.messages.last().text,
              u"Local database is empty.\rPlease click the 'Auto Discover' icon to probe the network."_s);
    EXPECT_TRUE(element.received.contains(QByteArray("LINKWAVE KORVALEN PAGING REQUEST")));
    EXPECT_TRUE(QFile::exists(iniPath()));
    EXPECT_TRUE(iniBytes().trimmed().isEmpty());
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    EXPECT_EQ(text(u"lblElementMAC"_s), u"-"_s);
    EXPECT_FALSE(window->levelMonitor().tmrVolume().isActive());
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    EXPECT_FALSE(window->link().AutoDiscoverAwaiting());
}

TEST_F(MainWindowTest, DiscoveryAnsweredNoChangesNothing) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    window->toolbarItem(6)->trigger();
    const QByteArray before = iniBytes();
    window->toolbarItem(1)->trigger(); // the script answers No
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(tree()->topLevelItemCount(), 2);
    EXPECT_EQ(text(u"lblElementMAC"_s), kEncoderMac);
    EXPECT_TRUE(window->levelMonitor().tmrVolume().isActive());
    EXPECT_TRUE(buttonEnabled(7));
    window->toolbarItem(7)->trigger();
}

TEST(QtNotifierTest, BoxShowsLinesIconTitleAndButtons) {
    const struct {
        Message message;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    } rows[] = {
        {critical(u"first\rsecond"_s), QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {information(u"a"_s, u"Information"_s), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {question(u"x\ry\rAre you sure?"_s, u"Auto Discovery"_s), QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
    };
    for (const auto &row : rows) {
        std::unique_ptr<QMessageBox> box(QtNotifier::build(row.message, nullptr));
        QString lines = row.message.text;
        lines.replace(u'\r', u'\n');
        EXPECT_EQ(box->text(), lines);
        EXPECT_EQ(box->windowTitle(), row.message.title);
        EXPECT_EQ(box->icon(), row.icon);
        EXPECT_EQ(box->standardButtons(), row.buttons);
        EXPECT_EQ(box->defaultButton(), box->button(row.defaultButton));
    }
    EXPECT_EQ(critical(u"x"_s).title, u"Korvalen Ondalink Manager"_s);
}

TEST(VUMeterTest, PaintsTheScaleFromTheLeftUpToTheLevel) {
    VUMeter meter;
    meter.setMeterWidth(1050); // half of the scale: 70 of its 140 pixels
    meter.resize(meter.sizeHint());
    const QImage image = meter.grab().toImage();
    const QRect area = meter.contentsRect();
    const int y = area.center().y();
    const QColor empty = meter.palette().color(QPalette::Base);
    EXPECT_EQ(area.width(), 140);
    EXPECT_NE(image.pixelColor(area.left() + 2, y), empty);
    EXPECT_NE(image.pixelColor(area.left() + 67, y), empty);
    EXPECT_EQ(image.pixelColor(area.left() + 73, y), empty);
    // The left end is blue, the scale's colour there.
    const QColor left = image.pixelColor(area.left() + 1, y);
    EXPECT_GT(left.blue(), left.red());
    meter.setMeterWidth(5000);
    EXPECT_EQ(meter.meterWidth(), 2100);
}

} // namespace
} // namespace ondalink::testing

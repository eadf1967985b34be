// SPDX-License-Identifier: GPL-3.0-or-later
// The window: start-up, monitoring through it, its message boxes, and the panel's own reactions:
// layout by type, value labels, validation colours, focus behaviour.
#include "console_fixture.h"

#include "console/qt_notifier.h"
#include "console/vu_meter.h"
#include "link_test_peer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ondalink::testing {
namespace {

class MainWindowTest : public ConsoleTest {
protected:
    void SetUp() override { writeExample(); }
    bool monitoring() const { return window->levelMonitor().isEnabled(); }
};

TEST_F(MainWindowTest, OccupiedPortIsReportedAfterTheTreeIsLoaded) {
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));
    MainWindowSettings s = settings();
    s.link.localPort = holder.localPort();
    EXPECT_FALSE(start(s));
    EXPECT_EQ(notifier.ids(), QList<MessageId>{MessageId::PortOccupied});
    EXPECT_EQ(rowCount(), 2);
}

TEST_F(MainWindowTest, MonitoringRunsOnAnEncoderUntilStoppedOrTheLayoutIsAppliedAndCloseEndsTheLink) {
    start();
    clickNode(kEncoderMac);
    window->toolbarItem(6)->trigger();
    EXPECT_EQ(std::tuple(monitoringButtons(), monitoring()), std::tuple(u"01"_s, true));
    window->toolbarItem(7)->trigger();
    EXPECT_EQ(std::tuple(monitoringButtons(), values(u"lblVolume"_s), monitoring()),
              std::tuple(u"10"_s, u"-oodBFS"_s, false));
    // Selecting the same encoder again, then a decoder: monitoring off either way.
    for (const auto &[mac, buttons] : {std::pair{kEncoderMac, u"10"}, std::pair{kDecoderMac, u"00"}}) {
        window->toolbarItem(6)->trigger();
        clickNode(mac);
        EXPECT_FALSE(monitoring());
        EXPECT_EQ(monitoringButtons(), buttons);
    }
    EXPECT_FALSE(find<VUMeter>(u"VUMeter"_s)->isEnabled());
    window->close();
    EXPECT_FALSE(ElementLinkTestPeer(window->link()).endpoint().isOpen());
}

TEST_F(MainWindowTest, LayoutFollowsTheTypeAndAnEncodersTransmission) {
    start();
    const std::tuple<std::optional<ElementRole>, QString, bool> types[] = {
        {ElementRole::Encoder, u"ENCODER"_s, true},
        {ElementRole::Decoder, u"DECODER"_s, false},
        {ElementRole::Unknown, u"UNKNOWN"_s, false},
        {std::nullopt, u"-"_s, false}};
    for (const auto &[role, text, encoder] : types) {
        window->panel().setElementType(role == ElementRole::Encoder ? ElementRole::Decoder
                                                                    : ElementRole::Encoder);
        window->panel().setElementType(role);
        EXPECT_EQ(values(u"lblElementType"_s), text);
        EXPECT_EQ(flags(u"cmbAudioInput scrlAtten scrlBuffer"_s, &QWidget::isHidden) + monitoringButtons() +
                      flags(u"scrlBuffer"_s, &QWidget::isEnabled),
                  encoder ? u"010100" : u"100001")
            << qPrintable(text);
    }
    // Multicast hides the remote address on an encoder only: the decoder's stored tx is Multicast.
    const std::tuple<QString, int, bool> choices[] = {
        {kEncoderMac, 1, true}, {kEncoderMac, 0, false}, {kEncoderMac, -1, false}, {kDecoderMac, 0, true}};
    for (const auto &[mac, index, hidden] : choices) {
        clickNode(mac);
        find<QComboBox>(u"cmbAudioTX"_s)->setCurrentIndex(index);
        EXPECT_EQ(find<QLineEdit>(u"txtRemoteIP"_s)->isHidden(), hidden) << index;
    }
    find<QComboBox>(u"cmbAudioTX"_s)->setCurrentIndex(1);
    window->panel().setElementType(ElementRole::Encoder); // laid out with Multicast chosen
    EXPECT_TRUE(find<QLineEdit>(u"txtRemoteIP"_s)->isHidden());
}

TEST_F(MainWindowTest, ValueLabelsAndTheSilenceDetectorFollowTheirControls) {
    start();
    clickNode(kDecoderMac);
    for (const auto &[bar, position] : {std::pair{u"scrlBuffer"_s, 8}, std::pair{u"scrlSilDetLevel"_s, 77},
                                        std::pair{u"scrlSilDetTime"_s, 11}, std::pair{u"scrlAtten"_s, 15}})
        find<QScrollBar>(bar)->setValue(position);
    EXPECT_EQ(values(u"lblLatency lblSilDetLevel lblSilDetTime lblAttenDB"_s), u"25mS|-12dBu|5Sec|-120 dB"_s);
    // Only the operator's move of the attenuation goes to the element.
    EXPECT_FALSE(element.hasPendingDatagrams());
    EXPECT_EQ(ElementDatabase(iniPath()).read(kDecoderKey, u"att"_s), u"235"_s);

    for (const auto &[mode, enabled] : {std::pair{2, u"000000"}, std::pair{0, u"111111"},
                                        std::pair{1, u"000000"}, std::pair{-1, u"111111"}}) {
        find<QComboBox>(u"cmbSilDetMode"_s)->setCurrentIndex(mode);
        EXPECT_EQ(flags(u"scrlSilDetLevel scrlSilDetTime lblSilDetLevel lblSilDetTime Label24 Label26"_s,
                        &QWidget::isEnabled),
                  enabled)
            << mode;
    }
}

TEST_F(MainWindowTest, AddressBoxesAreLightRedWhileInvalidAndTheNameIsUpperCasedWhenLeft) {
    start();
    const QColor alarm(255, 128, 128);
    for (const QString &name :
         {u"txtElementIP"_s, u"txtElementMask"_s, u"txtElementGW"_s, u"txtRemoteIP"_s}) {
        QLineEdit *edit = find<QLineEdit>(name);
        const QColor normal = QApplication::palette(edit).color(QPalette::Base);
        // Which texts are valid is the model's; here each box follows it both ways.
        for (const auto &[typed, colour] :
             {std::pair{u"192.168.1."_s, alarm}, std::pair{u" 10.0.0.1"_s, normal},
              std::pair{u"10..0.1"_s, alarm}, std::pair{QString(), normal}}) {
            edit->setText(typed);
            EXPECT_EQ(edit->palette().color(QPalette::Base), colour) << qPrintable(name + u' ' + typed);
            // Said in words too, for a screen reader and an operator who cannot tell the colour.
            const QString said = colour == alarm ? u"Not a valid IPv4 address"_s : QString();
            EXPECT_EQ(std::pair(edit->toolTip(), edit->accessibleDescription()), std::pair(said, said))
                << qPrintable(name + u' ' + typed);
        }
    }

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit *name = find<QLineEdit>(u"txtElementName"_s);
    QLineEdit *vlan = find<QLineEdit>(u"txtVLAN_OM"_s);
    name->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
    name->setText(u"studio a"_s);
    vlan->setText(u"vlan 7"_s);
    QTest::mouseClick(vlan, Qt::LeftButton);
    EXPECT_EQ(name->text(), u"STUDIO A"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return vlan->selectedText() == u"vlan 7"; })); // the whole text
    EXPECT_EQ(vlan->text(), u"vlan 7"_s);                                            // not upper-cased
}

} // namespace
} // namespace ondalink::testing

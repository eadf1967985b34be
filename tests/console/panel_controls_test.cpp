// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's own reactions: layout by type, value labels, validation colours, focus behaviour.
#include "console_fixture.h"

#include <QAccessible>
#include <QApplication>

namespace ondalink::testing {
namespace {

class PanelControlsTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        writeExample();
        start();
    }
    QLineEdit *box(const QString &name) const { return find<QLineEdit>(name); }
    QComboBox *list(const QString &name) const { return find<QComboBox>(name); }
};

TEST_F(PanelControlsTest, OnlyTheExactWordEncoderGivesTheEncoderLayout) {
    const std::pair<QString, bool> rows[] = {
        {u"ENCODER"_s, true},  {u"encoder"_s, false}, {u"ENCODER "_s, false},
        {u"DECODER"_s, false}, {u"UNKNOWN"_s, false}, {u"-"_s, false},
    };
    for (const auto &[type, encoderLayout] : rows) {
        SCOPED_TRACE(qPrintable(type));
        window->panel().setElementType(u"?"_s);
        window->panel().setElementType(type);
        EXPECT_EQ(!find<QComboBox>(u"cmbAudioInput"_s)->isHidden(), encoderLayout);
        EXPECT_EQ(find<QScrollBar>(u"scrlAtten"_s)->isHidden(), encoderLayout);
        EXPECT_EQ(find<QScrollBar>(u"scrlBuffer"_s)->isEnabled(), !encoderLayout);
        EXPECT_EQ(buttonEnabled(6), encoderLayout);
        EXPECT_FALSE(buttonEnabled(7));
    }
}

TEST_F(PanelControlsTest, TransmissionShowsTheRemoteAddressOnlyOnAnEncoder) {
    clickNode(kEncoderMac);
    QLineEdit *remote = box(u"txtRemoteIP"_s);
    list(u"cmbAudioTX"_s)->setCurrentIndex(1);
    EXPECT_TRUE(remote->isHidden());
    list(u"cmbAudioTX"_s)->setCurrentIndex(0);
    EXPECT_FALSE(remote->isHidden());
    list(u"cmbAudioTX"_s)->setCurrentIndex(-1);
    EXPECT_FALSE(remote->isHidden());

    clickNode(kDecoderMac); // stored tx is Multicast
    EXPECT_TRUE(remote->isHidden());
    list(u"cmbAudioTX"_s)->setCurrentIndex(0);
    EXPECT_TRUE(remote->isHidden());

    // An encoder stored as Multicast is laid out without the box.
    window->panel().setElementType(u"ENCODER"_s);
    list(u"cmbAudioTX"_s)->setCurrentIndex(1);
    window->panel().lblElementType_Change();
    EXPECT_TRUE(remote->isHidden());
}

TEST_F(PanelControlsTest, SilenceDetectorModeGreysThresholdAndTimeout) {
    clickNode(kDecoderMac);
    const QStringList rows = {u"scrlSilDetLevel"_s, u"scrlSilDetTime"_s, u"lblSilDetLevel"_s,
                              u"lblSilDetTime"_s,   u"Label24"_s,        u"Label26"_s};
    const std::pair<int, bool> modes[] = {{2, false}, {0, true}, {1, false}, {-1, true}};
    for (const auto &[mode, enabled] : modes) {
        list(u"cmbSilDetMode"_s)->setCurrentIndex(mode);
        for (const QString &name : rows)
            EXPECT_EQ(find<QWidget>(name)->isEnabled(), enabled) << qPrintable(name) << " mode " << mode;
    }
}

TEST_F(PanelControlsTest, ValueLabelsFollowTheirScrollBars) {
    clickNode(kDecoderMac);
    auto set = [&](const QString &bar, int value) { find<QScrollBar>(bar)->setValue(value); };
    const struct {
        QString bar, label;
        int value;
        QString text;
    } rows[] = {
        {u"scrlBuffer"_s, u"lblLatency"_s, 8, u"25mS"_s},
        {u"scrlBuffer"_s, u"lblLatency"_s, 0, u"5mS"_s},
        {u"scrlSilDetLevel"_s, u"lblSilDetLevel"_s, 77, u"-12dBu"_s},
        {u"scrlSilDetLevel"_s, u"lblSilDetLevel"_s, 1, u"-49.8dBu"_s},
        {u"scrlSilDetTime"_s, u"lblSilDetTime"_s, 11, u"5Sec"_s},
        {u"scrlAtten"_s, u"lblAttenDB"_s, 15, u"-120 dB"_s},
        {u"scrlAtten"_s, u"lblAttenDB"_s, 254, u"-0.5 dB"_s},
    };
    for (const auto &row : rows) {
        set(row.bar, row.value);
        EXPECT_EQ(text(row.label), row.text) << qPrintable(row.bar) << " " << row.value;
    }
}

TEST_F(PanelControlsTest, AddressBoxesAreLightRedWhileInvalid) {
    const QColor alarm(255, 128, 128);
    for (const QString &name :
         {u"txtElementIP"_s, u"txtElementMask"_s, u"txtElementGW"_s, u"txtRemoteIP"_s}) {
        QLineEdit *edit = box(name);
        const QColor normal = QApplication::palette(edit).color(QPalette::Base);
        const std::pair<QString, QColor> rows[] = {
            {u"192.168.1."_s, alarm}, {u"192.168.1.5"_s, normal}, {u"1.2.3.256"_s, alarm},
            {u" 10.0.0.1"_s, normal}, {u"10..0.1"_s, alarm},      {QString(), normal},
        };
        for (const auto &[typed, colour] : rows) {
            edit->setText(typed);
            EXPECT_EQ(edit->palette().color(QPalette::Base), colour)
                << qPrintable(name) << " '" << qPrintable(typed);
        }
    }
}

TEST_F(PanelControlsTest, NameIsUpperCasedWhenLeftAndBoxesSelectAllOnFocus) {
    showActive();
    QLineEdit *name = box(u"txtElementName"_s);
    name->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
    name->setText(u"studio a"_s);
    box(u"txtElementIP"_s)->setText(u"10.1.2.3"_s);
    box(u"txtElementIP"_s)->setFocus();
    EXPECT_EQ(name->text(), u"STUDIO A"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box(u"txtElementIP"_s)->selectedText() == u"10.1.2.3"; }));

    box(u"txtVLAN_OM"_s)->setText(u"vlan 7"_s);
    QTest::mouseClick(box(u"txtVLAN_OM"_s), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box(u"txtVLAN_OM"_s)->selectedText() == u"vlan 7"; }));
    EXPECT_EQ(box(u"txtVLAN_OM"_s)->text(), u"vlan 7"_s); // only the name is upper-cased
}

TEST_F(PanelControlsTest, InputsAreNamedByTheirCaptionsAndValueLabelsByTheirText) {
    const std::pair<QString, QString> inputs[] = {
        {u"txtElementName"_s, u"System name"_s}, {u"txtVLAN_OM"_s, u"VLAN O&M"_s},
        {u"txtElementGW"_s, u"Gateway IP"_s},    {u"cmbAudioTX"_s, u"TX type"_s},
        {u"scrlBuffer"_s, u"Buffer size"_s},     {u"scrlAtten"_s, u"Audio atten"_s},
        {u"cmbEncoders"_s, u"Bounded to"_s},     {u"chkSFNEnabled"_s, u"SFN option"_s},
        {u"TreeView1"_s, u"Select element"_s},
    };
    // Combo boxes on Linux read their current entry as their name, and their caption through
    // the buddy relation; the name set on them is what other platforms read.
    for (const auto &[name, accessible] : inputs)
        EXPECT_EQ(find<QWidget>(name)->accessibleName(), accessible) << qPrintable(name);
    for (const QString &name : {u"txtVLAN_OM"_s, u"scrlBuffer"_s}) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(find<QWidget>(name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), find<QWidget>(name)->accessibleName()) << qPrintable(name);
    }
    clickNode(kDecoderMac);
    for (const QString &name : {u"lblLatency"_s, u"lblVolume"_s, u"lblPing"_s, u"lblAttenDB"_s}) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(find<QWidget>(name));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), text(name)) << qPrintable(name);
    }
}

TEST_F(PanelControlsTest, TabRunsFromTheTreeThroughThePanelToTheDiagnostics) {
    clickNode(kDecoderMac);
    showActive();
    tree()->setFocus();
    const QStringList expected = {u"TreeView1"_s,       u"txtElementName"_s, u"txtElementIP"_s,
                                  u"txtElementMask"_s,  u"txtElementGW"_s,   u"txtVLAN_OM"_s,
                                  u"txtVLAN_Audio"_s,   u"cmbAudioType"_s,   u"scrlAtten"_s,
                                  u"cmbSilDetMode"_s,   u"chkSFNEnabled"_s,  u"scrlBuffer"_s,
                                  u"scrlSilDetLevel"_s, u"scrlSilDetTime"_s, u"cmbEncoders"_s,
                                  u"lblPing"_s,         u"Slider1"_s,        u"TreeView1"_s};
    QStringList order;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace ondalink::testing

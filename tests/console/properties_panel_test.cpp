// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's answers to the operator beyond its value labels: a wheel turn over the attenuation,
// addresses typed invalid or in other forms, the name upper-cased, and the boxes that are not used.
#include "console_fixture.h"

#include "model/encodings.h"
#include "store/element_database.h"

#include <QApplication>
#include <QMenuBar>
#include <QNetworkDatagram>
#include <QWheelEvent>

namespace ondalink::testing {
namespace {

class PropertiesPanelTest : public ConsoleTest {
protected:
    void SetUp() override { writeExample(); }
    // The encoder in the panel of the active window, for typing.
    void showEncoder() {
        start();
        clickNode(kEncoderMac);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    // One notch of the mouse wheel over the bar, away from it (downwards).
    static void turnWheel(QWidget *bar) {
        const QPointF centre = QRectF(bar->rect()).center();
        QWheelEvent notch(centre, bar->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &notch);
    }
    static QByteArray attenuation(int position) {
        QByteArray bytes(2, '\0');
        bytes[0] = static_cast<char>(position);
        return bytes;
    }
    QString storedAtt(const QString &key) const {
        return ElementDatabase(iniPath()).read(key, u"att"_s, u"none"_s);
    }
};

TEST_F(PropertiesPanelTest, AWheelTurnOverTheAttenuationSendsAndStoresItsSettledPositionOnce) {
    start();
    clickNode(kDecoderMac);
    auto *atten = find<QScrollBar>(u"scrlAtten"_s);
    ASSERT_FALSE(atten->hasFocus()); // a wheel gives none
    for (int notch = 0; notch < 3; ++notch)
        turnWheel(atten);
    const int settled = atten->value();
    ASSERT_NE(settled, 235);
    EXPECT_EQ(values(u"lblAttenDB"_s), attenuationText(settled));
    EXPECT_EQ(received(5000), (QList<QByteArray>{attenuation(settled)})) << "one datagram for the whole turn";
    EXPECT_EQ(storedAtt(kDecoderKey), QString::number(settled));
    EXPECT_EQ(received(600), QList<QByteArray>{});

    // A position set by code before the turn has rested replaces it: nothing is sent.
    turnWheel(atten);
    atten->setValue(100);
    EXPECT_EQ(received(600), QList<QByteArray>{});
    EXPECT_EQ(storedAtt(kDecoderKey), QString::number(settled));

    // Selecting another element at once: the turn still goes to the element it was made on.
    turnWheel(atten);
    const int turned = atten->value();
    clickNode(kEncoderMac);
    EXPECT_EQ(received(5000), (QList<QByteArray>{attenuation(turned)}));
    EXPECT_EQ(storedAtt(kDecoderKey) + u' ' + storedAtt(kEncoderKey), QString::number(turned) + u" none"_s);

    // Loading a decoder sets its stored position without sending it.
    clickNode(kDecoderMac);
    EXPECT_EQ(atten->value(), turned);
    EXPECT_EQ(received(600), QList<QByteArray>{});

    // Closing the window at once: the last turn is still sent.
    turnWheel(atten);
    const int last = atten->value();
    window->close();
    EXPECT_EQ(received(5000), (QList<QByteArray>{attenuation(last)}));
    EXPECT_EQ(storedAtt(kDecoderKey), QString::number(last));
}

TEST_F(PropertiesPanelTest, AddressBoxesSayWhileInvalidAndShowThePlainFormWhenLeft) {
    ASSERT_NO_FATAL_FAILURE(showEncoder());
    // Which texts are valid, and their plain form, are the model's (ParseDottedAddress); here each box
    // follows it both ways.
    const struct {
        QString typed;
        bool valid;
        QString left;
    } rows[] = {{u"010.001.002.003"_s, true, u"10.1.2.3"_s},
                {u"10.77.0."_s, false, u"10.77.0."_s},
                {u""_s, true, u""_s}};
    const QColor alarm(255, 128, 128);
    auto *name = find<QLineEdit>(u"txtElementName"_s);
    for (const QString &boxName :
         {u"txtElementIP"_s, u"txtElementMask"_s, u"txtElementGW"_s, u"txtRemoteIP"_s}) {
        auto *box = find<QLineEdit>(boxName);
        const QColor normal = QApplication::palette(box).color(QPalette::Base);
        for (const auto &[typed, valid, left] : rows) {
            SCOPED_TRACE(qPrintable(boxName + u' ' + typed));
            box->setFocus();
            ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
            box->clear();
            QTest::keyClicks(box, typed);
            // Not changed while typed; said in words too, for a screen reader and whoever cannot tell
            // colours.
            const QString said = valid ? QString() : u"Not a valid IPv4 address"_s;
            EXPECT_EQ(std::tuple(box->text(),
                                 box->palette().color(QPalette::Base) == (valid ? normal : alarm),
                                 box->toolTip(), box->accessibleDescription()),
                      std::tuple(typed, true, said, said));
            name->setFocus();
            ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
            EXPECT_EQ(box->text(), left);
        }
    }
}

TEST_F(PropertiesPanelTest, EveryFieldCaptionHasItsOwnAltLetterAndAFocusedScrollBarShowsIt) {
    showEncoder();
    QHash<QKeySequence, QString> taken; // the menus' letters first: a caption must not take one
    for (const QAction *menu : window->menuBar()->actions())
        taken.insert(QKeySequence::mnemonic(menu->text()), menu->text());
    const auto claim = [&taken](const QString &text) {
        const QKeySequence letter = QKeySequence::mnemonic(text);
        EXPECT_FALSE(letter.isEmpty()) << qPrintable(text);
        EXPECT_FALSE(taken.contains(letter)) << qPrintable(text + u" and "_s + taken.value(letter));
        taken.insert(letter, text);
    };
    // Each layout's captions: those shown at one time, with the check box beside them.
    for (const QString &mac : {kEncoderMac, kDecoderMac}) {
        clickNode(mac);
        QHash<QKeySequence, QString> menus = taken;
        for (const QLabel *label : window->findChildren<QLabel *>())
            if (label->buddy() && label->isVisibleTo(window) &&
                (label->buddy()->focusPolicy() & Qt::TabFocus))
                claim(label->text());
        if (auto *watch = find<QCheckBox>(u"chkWatchAudio"_s); watch->isVisibleTo(window))
            claim(watch->text());
        taken = menus;
    }

    // Tab onto a scroll bar draws a focus frame on it.
    auto *bar = find<QScrollBar>(u"scrlAtten"_s);
    const QImage unfocused = bar->grab().toImage();
    bar->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(bar->hasFocus());
    EXPECT_NE(bar->grab().toImage(), unfocused);
}

TEST_F(PropertiesPanelTest, TheNameIsUpperCasedWhenLeftAndTheVlanBoxesTakeNoTypingAndSayTheyAreNotUsed) {
    ASSERT_NO_FATAL_FAILURE(showEncoder());
    auto *name = find<QLineEdit>(u"txtElementName"_s);
    for (const QString &vlanName : {u"txtVLAN_OM"_s, u"txtVLAN_Audio"_s}) {
        SCOPED_TRACE(qPrintable(vlanName));
        auto *vlan = find<QLineEdit>(vlanName);
        name->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
        name->setText(u"studio a"_s);
        vlan->setText(u"vlan 7"_s);
        QTest::mouseClick(vlan, Qt::LeftButton);
        EXPECT_EQ(name->text(), u"STUDIO A"_s);
        EXPECT_TRUE(QTest::qWaitFor([&] { return vlan->hasFocus() && vlan->selectedText() == u"vlan 7"; }))
            << "reached, and the whole text selected";
        QTest::keyClicks(vlan, u"12"_s);
        EXPECT_EQ(vlan->text(), u"vlan 7"_s) << "no typing, and not upper-cased";
        EXPECT_TRUE(vlan->toolTip().startsWith(u"Not used by the element"_s));
        EXPECT_TRUE(vlan->accessibleDescription().startsWith(u"Not used by the element"_s));
    }
}

} // namespace
} // namespace ondalink::testing

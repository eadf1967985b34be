// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's answers to the operator beyond its value labels: a wheel turn over the attenuation,
// addresses typed in other forms, the boxes that are not used, and what an invalid address says.
#include "console_fixture.h"

#include "model/encodings.h"
#include "store/element_database.h"

#include <QApplication>
#include <QNetworkDatagram>
#include <QWheelEvent>

namespace ondalink::testing {
namespace {

class PropertiesPanelTest : public ConsoleTest {
protected:
    void SetUp() override { writeExample(); }

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

TEST_F(PropertiesPanelTest, AnAddressLeftInAnotherFormShowsItsPlainForm) {
    start();
    clickNode(kEncoderMac);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const std::pair<QString, QString> rows[] = {
        {u"010.001.002.003"_s, u"10.1.2.3"_s},
        {u" 10.77.0.15"_s, u"10.77.0.15"_s},
        {u"10.77.0.15"_s, u"10.77.0.15"_s},
        {u"10.77.0."_s, u"10.77.0."_s}, // invalid: left as typed
        {u""_s, u""_s},
    };
    QLineEdit *name = find<QLineEdit>(u"txtElementName"_s);
    for (const QString &boxName :
         {u"txtElementIP"_s, u"txtElementMask"_s, u"txtElementGW"_s, u"txtRemoteIP"_s}) {
        QLineEdit *box = find<QLineEdit>(boxName);
        for (const auto &[typed, shown] : rows) {
            box->setFocus();
            ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
            box->clear();
            QTest::keyClicks(box, typed);
            EXPECT_EQ(box->text(), typed) << "not while it is typed";
            name->setFocus();
            ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }));
            EXPECT_EQ(box->text(), shown) << qPrintable(boxName + u' ' + typed);
        }
    }
}

TEST_F(PropertiesPanelTest, TheVlanBoxesTakeNoTypingAndSayTheyAreNotUsed) {
    start();
    clickNode(kEncoderMac);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const QString &name : {u"txtVLAN_OM"_s, u"txtVLAN_Audio"_s}) {
        QLineEdit *box = find<QLineEdit>(name);
        box->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); })) << "still reached by Tab";
        QTest::keyClicks(box, u"12"_s);
        EXPECT_EQ(box->text(), QString()) << qPrintable(name);
        EXPECT_TRUE(box->toolTip().startsWith(u"Not used by the element"_s)) << qPrintable(name);
        EXPECT_TRUE(box->accessibleDescription().startsWith(u"Not used by the element"_s))
            << qPrintable(name);
    }
}

} // namespace
} // namespace ondalink::testing

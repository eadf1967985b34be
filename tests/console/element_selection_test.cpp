// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting an element in the tree: the panel filled from nms.ini, its corrections and refusals.
#include "console_fixture.h"

#include "console/ping_indicator.h"
#include "store/element_database.h"

#include <QLocale>

namespace ondalink::testing {
namespace {

class ElementSelectionTest : public ConsoleTest {
protected:
    QString lineText(const QString &name) const { return find<QLineEdit>(name)->text(); }
    int index(const QString &name) const { return find<QComboBox>(name)->currentIndex(); }
    int value(const QString &name) const { return find<QScrollBar>(name)->value(); }
    QString stored(const QString &key, const QString &name) const {
        return ElementDatabase(iniPath()).read(key, name, u"<missing>"_s);
    }
    // The decoder section with some keys replaced (a null value removes the key).
    void writeDecoder(const QList<std::pair<QString, QString>> &changes) {
        QList<std::pair<QString, QString>> keys = decoderKeys();
        for (const auto &[name, newValue] : changes) {
            keys.removeIf([&](const auto &kv) { return kv.first == name; });
            if (!newValue.isNull())
                keys.append({name, newValue});
        }
        writeIni(iniText({{kDecoderKey, keys}, {kEncoderKey, encoderKeys()}}));
    }
};

TEST_F(ElementSelectionTest, EncoderFillsThePanelAndGetsTheEncoderLayout) {
    writeExample();
    start();
    clickNode(kEncoderMac);

    EXPECT_EQ(lineText(u"txtElementName"_s), kEncName);
    EXPECT_EQ(lineText(u"txtElementIP"_s), u"127.0.0.1"_s);
    EXPECT_EQ(lineText(u"txtElementMask"_s), u"255.255.255.0"_s);
    EXPECT_EQ(lineText(u"txtElementGW"_s), u"10.0.0.1"_s);
    EXPECT_EQ(lineText(u"txtRemoteIP"_s), u"10.0.0.21"_s);
    EXPECT_EQ(index(u"cmbAudioInput"_s), 1);
    EXPECT_EQ(index(u"cmbAudioType"_s), 1);
    EXPECT_EQ(index(u"cmbAudioTX"_s), 0);
    EXPECT_TRUE(find<QCheckBox>(u"chkSFNEnabled"_s)->isChecked());
    EXPECT_EQ(text(u"lblVersion"_s), u"3.40"_s);
    EXPECT_EQ(text(u"lblElementType"_s), u"ENCODER"_s);
    EXPECT_EQ(text(u"lblElementMAC"_s), kEncoderMac);
    EXPECT_EQ(text(u"lblSerialNumber"_s), u"100201"_s);
    EXPECT_EQ(text(u"lblPing"_s), u"<Click to test>"_s);
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(255, 255, 192));

    EXPECT_FALSE(find<QLineEdit>(u"txtRemoteIP"_s)->isHidden());
    EXPECT_FALSE(find<QComboBox>(u"cmbAudioInput"_s)->isHidden());
    EXPECT_FALSE(find<QScrollBar>(u"scrlAtten"_s)->isVisibleTo(window.get()));
    EXPECT_EQ(text(u"Label9"_s), u"Audio source:"_s);
    EXPECT_TRUE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    EXPECT_EQ(value(u"scrlBuffer"_s), 0);
    EXPECT_FALSE(find<QScrollBar>(u"scrlBuffer"_s)->isEnabled());
    EXPECT_EQ(text(u"lblLatency"_s), u"2.5mS"_s);
    EXPECT_FALSE(find<QComboBox>(u"cmbSilDetMode"_s)->isEnabled());
}

TEST_F(ElementSelectionTest, DecoderCorrectsStoredLevelsAndAppliesDefaults) {
    writeDecoder({{u"ATT"_s, u"0"_s},
                  {u"SDL"_s, u"200"_s},
                  {u"SDT"_s, u"250"_s},
                  {u"BUF"_s, QString()},
                  {u"SDM"_s, QString()}});
    start();
    clickNode(kDecoderMac);

    EXPECT_EQ(value(u"scrlAtten"_s), 14);
    EXPECT_EQ(text(u"lblAttenDB"_s), u"Mute"_s);
    EXPECT_EQ(value(u"scrlSilDetLevel"_s), 154);
    EXPECT_EQ(value(u"scrlSilDetTime"_s), 220);
    EXPECT_EQ(value(u"scrlBuffer"_s), 1);
    EXPECT_EQ(index(u"cmbSilDetMode"_s), 0);
    EXPECT_EQ(stored(kDecoderKey, u"att"_s), u"14"_s);
    EXPECT_EQ(stored(kDecoderKey, u"sdl"_s), u"154"_s);
    EXPECT_EQ(stored(kDecoderKey, u"sdt"_s), u"220"_s);
    EXPECT_EQ(stored(kDecoderKey, u"buf"_s), u"<missing>"_s);
    EXPECT_EQ(stored(kDecoderKey, u"sdm"_s), u"<missing>"_s);

    EXPECT_EQ(text(u"lblElementType"_s), u"DECODER"_s);
    EXPECT_EQ(text(u"Label9"_s), u"Audio atten:"_s);
    EXPECT_FALSE(find<QScrollBar>(u"scrlAtten"_s)->isHidden());
    EXPECT_TRUE(find<QLineEdit>(u"txtRemoteIP"_s)->isHidden());
    EXPECT_TRUE(find<QComboBox>(u"cmbAudioTX"_s)->isHidden());
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
    EXPECT_EQ(text(u"lblLatency"_s), u"7.5mS"_s);
    EXPECT_EQ(text(u"lblSilDetLevel"_s), u"-6dBu"_s);
    EXPECT_EQ(text(u"lblSilDetTime"_s), u"100.1Sec"_s);
}

TEST_F(ElementSelectionTest, DecoderValuesInRangeAreShownAndLeftAlone) {
    writeExample();
    const QByteArray before = iniBytes();
    start();
    clickNode(kDecoderMac);
    EXPECT_EQ(value(u"scrlAtten"_s), 235);
    EXPECT_EQ(text(u"lblAttenDB"_s), u"-10 dB"_s);
    EXPECT_EQ(text(u"lblLatency"_s), u"12.5mS"_s);
    EXPECT_EQ(text(u"lblSilDetLevel"_s), u"-18.4dBu"_s);
    EXPECT_EQ(text(u"lblSilDetTime"_s), u"19.6Sec"_s);
    EXPECT_EQ(iniBytes(), before);
}

TEST_F(ElementSelectionTest, OutOfRangeAndUnreadableValuesNeverShowAnImpossibleState) {
    writeDecoder({{u"INPUT"_s, u"7"_s},
                  {u"TYPE"_s, u"abc"_s},
                  {u"TX"_s, QString()},
                  {u"BUF"_s, u"200"_s},
                  {u"SDL"_s, u"0"_s},
                  {u"SDM"_s, u"9"_s},
                  {u"ATT"_s, u"300"_s},
                  {u"VER"_s, u"x"_s}});
    const QByteArray before = iniBytes();
    start();
    clickNode(kDecoderMac);
    EXPECT_EQ(index(u"cmbAudioInput"_s), -1);
    EXPECT_EQ(index(u"cmbAudioType"_s), -1);
    EXPECT_EQ(index(u"cmbAudioTX"_s), -1);
    EXPECT_EQ(value(u"scrlBuffer"_s), 8);
    EXPECT_EQ(value(u"scrlSilDetLevel"_s), 1);
    EXPECT_EQ(index(u"cmbSilDetMode"_s), 0);
    EXPECT_EQ(value(u"scrlAtten"_s), 255);
    EXPECT_EQ(text(u"lblVersion"_s), u"2.00"_s);
    EXPECT_EQ(iniBytes(), before); // only the documented corrections write
}

TEST_F(ElementSelectionTest, BoundSelectsAnEncoderOrNone) {
    const std::pair<QString, int> rows[] = {{u"1"_s, 1}, {u"0"_s, 0}, {u"5"_s, 0}, {u"-1"_s, 0}, {u"z"_s, 0}};
    for (const auto &[bound, expected] : rows) {
        SCOPED_TRACE(qPrintable(bound));
        QList<std::pair<QString, QString>> keys = encoderKeys();
        keys.append({u"BOUND"_s, bound});
        writeIni(iniText({{kEncoderKey, keys}}));
        start();
        clickNode(kEncoderMac);
        EXPECT_EQ(index(u"cmbEncoders"_s), expected);
    }
}

TEST_F(ElementSelectionTest, OtherRolesShowUnknownAndKeepTheScrollBars) {
    for (const QString &role : {u"0"_s, u"3"_s, u"abc"_s, QString()}) {
        SCOPED_TRACE(qPrintable(role));
        QList<std::pair<QString, QString>> odd = decoderKeys();
        odd.removeIf([](const auto &kv) { return kv.first == u"ROLE"; });
        if (!role.isNull())
            odd.append({u"ROLE"_s, role});
        odd.removeIf([](const auto &kv) { return kv.first == u"ATT"; });
        odd.append({u"ATT"_s, u"20"_s});
        writeIni(iniText({{kDecoderKey, decoderKeys()}, {u"00A0C9000003"_s, odd}}));
        start();
        clickNode(kDecoderMac);
        clickNode(u"00:A0:C9:00:00:03"_s);
        EXPECT_EQ(text(u"lblElementType"_s), u"UNKNOWN"_s);
        EXPECT_EQ(text(u"lblElementMAC"_s), u"00:A0:C9:00:00:03"_s);
        EXPECT_EQ(value(u"scrlAtten"_s), 235); // the previous decoder's
        EXPECT_EQ(value(u"scrlBuffer"_s), 3);
        EXPECT_FALSE(buttonEnabled(6));
    }
}

TEST_F(ElementSelectionTest, SectionWithEighteenKeysIsRefusedAndNothingChanges) {
    QList<std::pair<QString, QString>> corrupt = decoderKeys();
    corrupt.append({u"BOUND"_s, u"0"_s});
    QList<std::pair<QString, QString>> seventeen = decoderKeys();
    writeIni(iniText({{kEncoderKey, encoderKeys()}, {kDecoderKey, corrupt}, {u"00A0C9000003"_s, seventeen}}));
    const QByteArray before = iniBytes();
    start();
    clickNode(u"00:A0:C9:00:00:03"_s); // 17 keys load
    EXPECT_EQ(text(u"lblElementType"_s), u"DECODER"_s);
    clickNode(kEncoderMac);
    ASSERT_TRUE(notifier.messages.isEmpty());

    clickNode(kDecoderMac);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages.first(),
              critical(u"The data stored in your computer about this element, is corrupted (1).\r"
                       u"Cannot load this element info."_s));
    EXPECT_EQ(text(u"lblElementMAC"_s), kEncoderMac);
    EXPECT_EQ(lineText(u"txtElementName"_s), kEncName);
    EXPECT_EQ(text(u"lblElementType"_s), u"ENCODER"_s);
    EXPECT_EQ(iniBytes(), before);
    // The encoder still shown can still be monitored.
    EXPECT_TRUE(buttonEnabled(6));
}

TEST_F(ElementSelectionTest, VersionIsShownWithAPointWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::pair<QString, QString> rows[] = {
        {u"3,4"_s, u"3.40"_s}, {u"3.4"_s, u"3.40"_s}, {QString(), u"2.00"_s}, {u"12,5"_s, u"12.50"_s}};
    for (const auto &[stored, shown] : rows) {
        SCOPED_TRACE(qPrintable(stored));
        QList<std::pair<QString, QString>> keys = encoderKeys();
        keys.removeIf([](const auto &kv) { return kv.first == u"VER"; });
        if (!stored.isNull())
            keys.append({u"VER"_s, stored});
        writeIni(iniText({{kEncoderKey, keys}}));
        start();
        clickNode(kEncoderMac);
        EXPECT_EQ(text(u"lblVersion"_s), shown);
    }
    QLocale::setDefault(previous);
}

TEST_F(ElementSelectionTest, ANodeWhoseSectionIsGoneClearsThePanelAndReloads) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    writeIni(iniText({{kDecoderKey, decoderKeys()}}));
    clickNode(kEncoderMac);
    EXPECT_EQ(text(u"lblElementMAC"_s), u"-"_s);
    EXPECT_EQ(lineText(u"txtElementName"_s), QString());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree()->topLevelItemCount() == 1; }));
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(ElementSelectionTest, KeyboardMovesInTheTreeLoadTheElement) {
    writeExample();
    start();
    showActive();
    clickNode(kDecoderMac);
    QTest::keyClick(tree(), Qt::Key_Down);
    EXPECT_EQ(text(u"lblElementMAC"_s), kEncoderMac);
    QTest::keyClick(tree(), Qt::Key_Up);
    EXPECT_EQ(text(u"lblElementMAC"_s), kDecoderMac);
}

TEST_F(ElementSelectionTest, ClearPanelLeavesTheTabledEmptyState) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    window->panel().ClearPanel();
    for (const QString &name :
         {u"lblElementType"_s, u"lblElementMAC"_s, u"lblSerialNumber"_s, u"lblVersion"_s})
        EXPECT_EQ(text(name), u"-"_s) << qPrintable(name);
    EXPECT_EQ(text(u"lblPing"_s), u"<Unknown>"_s);
    EXPECT_EQ(text(u"lblLatency"_s), u"0mS"_s);
    for (const QString &name :
         {u"txtElementName"_s, u"txtElementIP"_s, u"txtElementMask"_s, u"txtElementGW"_s, u"txtRemoteIP"_s})
        EXPECT_TRUE(lineText(name).isEmpty()) << qPrintable(name);
    for (const QString &name : {u"cmbAudioInput"_s, u"cmbAudioType"_s, u"cmbAudioTX"_s})
        EXPECT_EQ(index(name), -1) << qPrintable(name);
    EXPECT_TRUE(find<QCheckBox>(u"chkSFNEnabled"_s)->isChecked()); // left as it was
    // "-" gets the decoder layout.
    EXPECT_FALSE(find<QScrollBar>(u"scrlAtten"_s)->isHidden());
    EXPECT_FALSE(buttonEnabled(6));
    EXPECT_FALSE(buttonEnabled(7));
}

} // namespace
} // namespace ondalink::testing

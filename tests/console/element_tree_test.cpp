// SPDX-License-Identifier: GPL-3.0-or-later
// The element tree and its companion lists loaded from nms.ini, and the panel filled from it when an
// element is selected; what loading corrects and refuses is the presenter's (tests/unit/presenters).
#include "console_fixture.h"

#include "store/element_database.h"

#include <QGroupBox>
#include <QLocale>

namespace ondalink::testing {
namespace {

class ElementTreeTest : public ConsoleTest {
protected:
    // Each node as its text and image, then the encoder list, then the frame caption.
    QStringList lists() const {
        QStringList nodes, encoders;
        for (int i = 0; i < rowCount(); ++i) {
            const QModelIndex node = tree()->model()->index(i, 0);
            nodes << node.data().toString() + u' ' + node.data(kNodeImageRole).toString();
        }
        for (int i = 0; i < find<QComboBox>(u"cmbEncoders"_s)->count(); ++i)
            encoders << find<QComboBox>(u"cmbEncoders"_s)->itemText(i);
        return nodes + encoders + QStringList{find<QGroupBox>(u"frmTreeView"_s)->title()};
    }
};

TEST_F(ElementTreeTest, ListsEveryElementOnceInFileOrder) {
    writeIni(iniText({{kDecoderKey, decoderKeys()},
                      {kEncoderKey, encoderKeys()},
                      {u"000000000003"_s, with(encoderKeys(), u"NAME=ROLE 3;ROLE=3"_s)},
                      {u"000000000004"_s, with(encoderKeys(), u"NAME=NO ROLE;ROLE"_s)}}));
    ASSERT_TRUE(start());
    EXPECT_TRUE(notifier.messages.isEmpty());
    // The stored 16-character names keep their eleven trailing blanks before " [".
    const QString enc = u"ENC 1"_s + QString(11, u' ') + u" [00:A0:C9:00:00:02]"_s;
    // clang-format off
    const QStringList expected = {u"DEC 1"_s + QString(11, u' ') + u" [00:A0:C9:00:00:01] 7"_s, enc + u" 6"_s,
        u"ROLE 3 [00:00:00:00:00:03] 7"_s, u"NO ROLE [00:00:00:00:00:04] 7"_s, u"<None>"_s, enc,
        u"Select element: (4 items)"_s};
    // clang-format on
    EXPECT_EQ(lists(), expected);
}

TEST_F(ElementTreeTest, ReloadAskedForDuringItsMessageRunsOnceAfterIt) {
    notifier.onShow = [&](const Message &) {
        if (notifier.messages.size() == 1) {
            writeExample(); // what the rerun will find
            window->Load_Config();
            EXPECT_EQ(rowCount(), 0); // not entered while the first one runs
        }
    };
    start();
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(lists().constLast(), u"Select element: (2 items)"_s);
}

TEST_F(ElementTreeTest, ReloadKeepsTheShownElementMarkedAndRefreshLeavesTheEmptyPanel) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    find<QLineEdit>(u"txtElementName"_s)->setText(u"EDITED"_s);
    window->Load_Config();
    ASSERT_TRUE(tree()->currentIndex().isValid());
    EXPECT_EQ(tree()->currentIndex().siblingAtColumn(0).data().toString().right(19),
              u"[00:A0:C9:00:00:02]"_s);
    EXPECT_EQ(values(u"lblElementMAC txtElementName"_s), kEncoderMac + u"|EDITED"_s); // not loaded again
    const QStringList before = lists();
    notifier.answers = {Answer::Discard}; // asked before the edit goes
    window->action(MainWindow::Command::Refresh)->trigger();
    EXPECT_EQ(lists(), before);
    EXPECT_EQ(
        values(u"lblElementType lblElementMAC lblSerialNumber lblVersion lblPing lblLatency txtElementName "
               u"txtElementIP txtElementMask txtElementGW txtRemoteIP cmbAudioInput cmbAudioType cmbAudioTX "
               u"chkSFNEnabled"_s),
        u"-|-|-|-|<Unknown>|0mS||||||-1|-1|-1|true"_s); // the check box is left as it was
    // No node stays marked over the emptied panel.
    EXPECT_EQ(std::tuple(tree()->currentIndex().isValid(), tree()->selectionModel()->selectedRows().size()),
              std::tuple(false, qsizetype{0}));
}

TEST_F(ElementTreeTest, EveryChoiceOfANodeLoadsItOnceByClickKeyOrDrag) {
    writeIni(iniText({{kDecoderKey, decoderKeys()},
                      {kEncoderKey, encoderKeys()},
                      {u"000000000003"_s, with(encoderKeys(), u"NAME=ENC 3"_s)}}));
    start();
    QStringList loaded;
    QObject::connect(find<ElementTree>(u"frmTreeView"_s), &ElementTree::NodeClick,
                     [&](const QString &key, const QString &) { loaded << key; });
    const auto shown = [&] { return values(u"lblElementMAC"_s); };

    clickRow(1);
    EXPECT_EQ(loaded, QStringList{kEncoderMac}) << "a click loads once";
    clickRow(1);
    EXPECT_EQ(loaded.size(), 2) << "a click on the shown node loads it again";
    EXPECT_EQ(shown(), kEncoderMac);

    // Pressed on one node, released on another: each node the selection passes is loaded.
    QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseMove(tree()->viewport(), rowCentre(0));
    QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(shown(), kDecoderMac);
    EXPECT_EQ(loaded.mid(2), QStringList{kDecoderMac});

    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_End);
    EXPECT_EQ(shown(), u"00:00:00:00:00:03"_s);
    EXPECT_EQ(loaded.size(), 4);
    EXPECT_EQ(tree()->selectionModel()->selectedRows(), QModelIndexList{tree()->model()->index(2, 0)});
}

using ElementSelectionTest = ConsoleTest;

TEST_F(ElementSelectionTest, DecoderThenEncoderFillThePanelEachWithItsLayoutAndEighteenKeysAreRefused) {
    writeIni(
        iniText({{kDecoderKey, decoderKeys()}, {kEncoderKey, with(encoderKeys(), u"BOUND=1;VER=3,4"_s)}}));
    // Computed labels follow the locale; the version has a point whatever it is, and is read in either.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    start();

    clickNode(kDecoderMac);
    EXPECT_EQ(
        values(u"lblElementType lblElementMAC lblSerialNumber lblVersion Label9 scrlAtten lblAttenDB "
               u"scrlBuffer lblLatency scrlSilDetLevel lblSilDetLevel scrlSilDetTime lblSilDetTime"_s),
        u"DECODER|00:A0:C9:00:00:01|100307|3.50|Audio atten:|235|-10 dB|3|12,5mS|37|-18,4dBu|43|19,6Sec"_s);

    clickNode(kEncoderMac);
    EXPECT_EQ(
        values(u"txtElementName txtElementIP txtElementMask txtElementGW txtRemoteIP cmbAudioInput "
               u"cmbAudioType cmbAudioTX chkSFNEnabled cmbEncoders lblVersion lblElementType lblElementMAC "
               u"lblSerialNumber lblPing Label9 scrlBuffer lblLatency"_s),
        kEncName + u"|127.0.0.1|255.255.255.0|10.0.0.1|10.0.0.21|1|1|0|true|1|3.40|ENCODER|00:A0:C9:00:00:02|"
                   u"100201|<Click to test>|Audio source:|0|2.5mS"_s); // a fixed text
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(255, 255, 192));
    QLocale::setDefault(previous);

    // A section the presenter refuses (one key more than a decoder's 17) leaves the encoder shown.
    writeIni(iniText({{kDecoderKey, with(decoderKeys(), u"BOUND=0"_s)}, {kEncoderKey, encoderKeys()}}));
    clickNode(kDecoderMac);
    EXPECT_EQ(values(u"lblElementMAC txtElementName lblElementType"_s),
              kEncoderMac + u'|' + kEncName + u"|ENCODER"_s);
    EXPECT_EQ(monitoringButtons(), u"10"_s); // the encoder still shown can still be monitored
}

TEST_F(ElementSelectionTest, OtherRolesShowUnknownAndKeepThePreviousDecodersValues) {
    writeIni(iniText({{kDecoderKey, decoderKeys()},
                      {u"000000000000"_s, with(decoderKeys(), u"ROLE=0;ATT=20"_s)},
                      {u"000000000003"_s, with(decoderKeys(), u"ROLE=3;ATT=20"_s)},
                      {u"000000000009"_s, with(decoderKeys(), u"ROLE;ATT=20"_s)}}));
    start();
    for (const QString &mac : {u"00:00:00:00:00:00"_s, u"00:00:00:00:00:03"_s, u"00:00:00:00:00:09"_s}) {
        clickNode(kDecoderMac);
        clickNode(mac);
        EXPECT_EQ(values(u"lblElementType lblElementMAC scrlAtten scrlBuffer"_s),
                  u"UNKNOWN|"_s + mac + u"|235|3"_s);
        EXPECT_EQ(monitoringButtons(), u"00"_s);
    }
}

TEST_F(ElementSelectionTest, ANodeWhoseSectionIsGoneClearsThePanelAndReloads) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    writeIni(iniText({{kDecoderKey, decoderKeys()}}));
    clickNode(kEncoderMac);
    EXPECT_EQ(values(u"lblElementMAC txtElementName"_s), u"-|"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowCount() == 1; }));
}

} // namespace
} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/database_commands.h"
#include "console_fixture.h"
#include "store/atomic_file.h"

#include <QMenuBar>
#include <QNetworkDatagram>
#include <QSignalSpy>

namespace ondalink::testing {
namespace {

class DatabaseCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        // The encoder at an address of its own, its keys in the order a discovery writes them.
        writeIni(iniText({{kDecoderKey, decoderKeys()}, {kEncoderKey, encoderKeys()}})
                     .replace("IP=127.0.0.1\r\nMASK=255.255.255.0", "IP=10.0.0.2\r\nMASK=255.255.255.0"));
        ASSERT_TRUE(start());
        notifier.messages.clear();
    }
    DatabaseCommands &commands() const { return window->databaseCommands(); }
    QString backupPath() const { return iniPath() + u".bak"_s; }
    QStringList nodeKeys() const {
        QStringList keys;
        for (int row = 0; row < window->elementTree().shownCount(); ++row)
            keys.append(window->elementTree().shownMac(row));
        return keys;
    }
};

TEST_F(DatabaseCommandsTest, TheElementsMenuHoldsTheCommandsBeforeQuitAndTheListOffersAdd) {
    QStringList names;
    for (QAction *action : window->menuBar()->findChild<QMenu *>(u"mnuElements"_s)->actions())
        names.append(action->isSeparator() ? u"-"_s : action->objectName());
    const QStringList tail = names.mid(names.indexOf(u"actUpdateFromNetwork"_s) - 1);
    EXPECT_EQ(tail, QStringList({u"-"_s, u"actUpdateFromNetwork"_s, u"actAddByAddress"_s, u"actRestore"_s,
                                 u"actExport"_s, u"actImport"_s, u"-"_s, u"actQuit"_s}));
    EXPECT_EQ(window->elementTree().contextActions(),
              QList<QAction *>({commands().action(u"actAddByAddress"_s)}));
}

TEST_F(DatabaseCommandsTest, RestoreNamesBothCountsSwapsTheFilesAndReloads) {
    commands().restorePrevious();
    EXPECT_EQ(notifier.messages, QList<Message>({Message(MessageId::NoBackup, {u"nms.ini.bak"_s})}));

    const QByteArray current = iniBytes();
    const QByteArray previous = iniText({{u"00A0C9000009"_s, with(encoderKeys(), u"NAME=OLD"_s)}});
    ASSERT_TRUE(replaceFileAtomically(backupPath(), previous));
    notifier.messages.clear();
    commands().restorePrevious(); // answered No
    EXPECT_EQ(notifier.messages, QList<Message>({Message(MessageId::RestoreConfirm,
                                                         {u"nms.ini.bak"_s, u"1"_s, u"nms.ini"_s, u"2"_s})}));
    EXPECT_EQ(iniBytes(), current);

    notifier.answers = {Answer::Yes};
    commands().restorePrevious();
    EXPECT_EQ(std::pair(iniBytes(), readWholeFile(backupPath()).bytes), std::pair(previous, current));
    EXPECT_EQ(nodeKeys(), QStringList({u"00:A0:C9:00:00:09"_s}));
}

TEST_F(DatabaseCommandsTest, ExportThenReplacingImportGivesTheSameDatabase) {
    const QByteArray original = iniBytes();
    for (const QString &name : {u"out.csv"_s, u"out.json"_s}) {
        const QString file = folder() + u'/' + name;
        ASSERT_TRUE(commands().exportTo(file));
        writeIni(iniText({{u"00A0C9000009"_s, encoderKeys()}}));
        notifier.answers = {Answer::Yes};
        ASSERT_TRUE(commands().importFrom(file, true)) << ::testing::PrintToString(notifier.messages);
        EXPECT_EQ(iniBytes(), original) << name.toStdString();
        EXPECT_EQ(nodeKeys(), QStringList({kDecoderMac, kEncoderMac}));
    }
}

TEST_F(DatabaseCommandsTest, AMergingImportKeepsTheOthersAndWarnsOfSharedAddresses) {
    const QString file = folder() + u"/in.csv"_s;
    ASSERT_TRUE(replaceFileAtomically(
        file, "mac,name,ip,role\r\n00A0C9000002,enc 2,127.0.0.1,1\r\n00A0C9000003,new,10.0.0.3,1\r\n"));
    notifier.answers = {Answer::Yes};
    ASSERT_TRUE(commands().importFrom(file, false));
    EXPECT_EQ(nodeKeys(), QStringList({kDecoderMac, kEncoderMac, u"00:A0:C9:00:00:03"_s}));
    EXPECT_EQ(window->database().keyCount(kEncoderKey), 3) << "its section replaced whole";
    ASSERT_EQ(notifier.messages.size(), 2);
    EXPECT_EQ(notifier.messages[1],
              Message(MessageId::SharedAddresses,
                      {u"127.0.0.1: DEC 1 [00:A0:C9:00:00:01], ENC 2 [00:A0:C9:00:00:02]"_s}));
}

TEST_F(DatabaseCommandsTest, ABadFileIsRefusedWithItsLinesAndNothingIsWritten) {
    const QByteArray before = iniBytes();
    const QString file = folder() + u"/in.csv"_s;
    ASSERT_TRUE(replaceFileAtomically(
        file, "mac,name,ip,role\r\n00A0C9000003,ok,10.0.0.3,1\r\n00A0C9000004,bad,10.0.0.4,5\r\n"));
    EXPECT_FALSE(commands().importFrom(file, true));
    EXPECT_EQ(
        notifier.messages,
        QList<Message>({Message(MessageId::ImportRefused,
                                {u"in.csv"_s, u"Line 3: role \"5\" is not a whole number from 0 to 2"_s})}));
    EXPECT_EQ(iniBytes(), before);
    EXPECT_FALSE(QFile::exists(backupPath()));
}

// A routed element added by address is stored, selected and loaded into the panel.
TEST_F(DatabaseCommandsTest, AnElementAddedByAddressIsSelected) {
    resolver.unreachable.insert(parseDottedAddress(u"127.0.0.1"_s)->toNetworkOrder());
    QSignalSpy finished(&commands(), &DatabaseCommands::additionFinished);
    ASSERT_TRUE(commands().add(u"127.0.0.1"_s, u"00:A0:C9:00:00:07"_s));
    EXPECT_FALSE(commands().action(u"actAddByAddress"_s)->isEnabled());
    ASSERT_TRUE(element.waitForReadyRead(5000));
    const QNetworkDatagram request = element.receiveDatagram();
    ASSERT_EQ(request.data(), "LINKWAVE KORVALEN PAGING REQUEST");
    QByteArray report = QByteArray::fromHex("7f000001ffffff000a0000017f000002010001");
    report += "FAR SITE        ";
    report += QByteArray::fromHex("0100000064") + QByteArray::fromHex("03040001");
    element.writeDatagram(report, request.senderAddress(), request.senderPort());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(nodeKeys(), QStringList({kDecoderMac, kEncoderMac, u"00:A0:C9:00:00:07"_s}));
    EXPECT_EQ(window->panel().selectedMac(), u"00:A0:C9:00:00:07"_s);
    EXPECT_TRUE(commands().action(u"actAddByAddress"_s)->isEnabled());
    EXPECT_EQ(notifier.messages.size(), 1) << "the shared address 127.0.0.1";
}

} // namespace
} // namespace ondalink::testing

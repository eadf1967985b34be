// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/database_commands_presenter.h"

#include "fakes.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "model/ipv4.h"
#include "model/mac_text.h"
#include "store/atomic_file.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

class ScriptedDialogs : public DatabaseDialogs {
public:
    std::optional<Address> askAddress() override { return address; }
    QString askExportPath() override { return exportPath; }
    std::optional<Import> askImport() override { return import; }

    std::optional<Address> address;
    QString exportPath;
    std::optional<Import> import;
};

// Records what the commands asked of the window; pending edits hold a command back until released.
class RecordingSurroundings : public DatabaseSurroundings {
public:
    bool settlePendingEdits(std::function<void()> proceed) override {
        if (!editsPending)
            return true;
        held = std::move(proceed);
        return false;
    }
    void clearPanel() override { calls.append(u"clear"_s); }
    void runPaging(Discovery &) override { calls.append(u"paging"_s); }
    void reloadList() override { calls.append(u"reload"_s); }
    void refreshList() override { calls.append(u"refresh"_s); }
    void selectElement(const QString &mac) override { calls.append(u"select "_s + mac); }

    bool editsPending = false;
    std::function<void()> held;
    QStringList calls;
};

// Two elements, the encoder at an address of its own; the element's side is a socket on loopback.
class DatabaseCommandsPresenterTest : public ::testing::Test {
protected:
    DatabaseCommandsPresenterTest()
        : database(path(u"nms.ini"_s)),
          link(
              database, notifier, resolver, [] { return ConfigurationWrite{}; }, linkSettings()),
          level(link, notifier), discovery(link),
          commands(database, link, discovery, level, notifier, dialogs, surroundings) {}

    void SetUp() override {
        ASSERT_TRUE(link.open());
        ASSERT_TRUE(replaceFileAtomically(
            path(u"seed.csv"_s),
            "mac,name,ip,role\r\n00A0C9000001,DEC 1,127.0.0.1,2\r\n00A0C9000002,ENC 2,10.0.0.2,1\r\n"));
        notifier.answers = {Answer::Yes};
        ASSERT_TRUE(commands.importFrom(path(u"seed.csv"_s), true));
        QFile::remove(database.backupPath());
        notifier.messages.clear();
        surroundings.calls.clear();
    }

    LinkSettings linkSettings() {
        element.bind(QHostAddress(QHostAddress::LocalHost), 0);
        LinkSettings s;
        s.bindAddress = QHostAddress(QHostAddress::LocalHost);
        s.localPort = 0;
        s.pagingHost = u"127.0.0.1"_s;
        s.pagingPort = s.elementPort = s.controlPort = element.localPort();
        return s;
    }
    QString path(const QString &name) const { return folder.filePath(name); }
    QByteArray ini() const { return readWholeFile(database.path()).bytes; }
    QStringList keys() const {
        QStringList all;
        for (const ElementListing &e : database.listing())
            all.append(e.key);
        return all;
    }

    QTemporaryDir folder;
    QUdpSocket element;
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    ScriptedDialogs dialogs;
    RecordingSurroundings surroundings;
    ElementDatabase database;
    ElementLink link;
    LevelMonitor level;
    Discovery discovery;
    DatabaseCommandsPresenter commands;
};

TEST_F(DatabaseCommandsPresenterTest, RestoreNamesBothCountsSwapsTheFilesAndRefreshesAfterPendingEdits) {
    commands.restorePrevious();
    EXPECT_EQ(notifier.messages, QList<Message>({Message(MessageId::NoBackup, {u"nms.ini.bak"_s})}));

    const QByteArray current = ini();
    const QByteArray previous = "[00A0C9000009]\r\nNAME=OLD\r\nIP=10.0.0.9\r\nROLE=1\r\n";
    ASSERT_TRUE(replaceFileAtomically(database.backupPath(), previous));
    notifier.messages.clear();
    commands.restorePrevious(); // answered No
    EXPECT_EQ(notifier.messages, QList<Message>({Message(MessageId::RestoreConfirm,
                                                         {u"nms.ini.bak"_s, u"1"_s, u"nms.ini"_s, u"2"_s})}));
    EXPECT_EQ(ini(), current);

    // Yes, with edits pending: nothing happens until the panel has settled them.
    QSignalSpy restored(&commands, &DatabaseCommandsPresenter::restored);
    surroundings.editsPending = true;
    notifier.answers = {Answer::Yes};
    commands.restorePrevious();
    EXPECT_EQ(ini(), current);
    ASSERT_TRUE(surroundings.held);
    surroundings.held();
    EXPECT_EQ(std::pair(ini(), readWholeFile(database.backupPath()).bytes), std::pair(previous, current));
    EXPECT_EQ(surroundings.calls, QStringList({u"refresh"_s}));
    EXPECT_EQ(restored.count(), 1);
}

TEST_F(DatabaseCommandsPresenterTest, ExportThenReplacingImportGivesTheSameDatabaseInEitherFormat) {
    const QByteArray original = ini();
    for (const QString &name : {u"out.csv"_s, u"out.json"_s}) {
        dialogs.exportPath = path(name);
        commands.exportElements();
        ASSERT_TRUE(QFile::exists(path(name))) << ::testing::PrintToString(notifier.messages);
        ASSERT_TRUE(replaceFileAtomically(database.path(), "[00A0C9000009]\r\nNAME=X\r\n"));
        dialogs.import = DatabaseDialogs::Import{path(name), true};
        notifier.answers = {Answer::Yes};
        QSignalSpy imported(&commands, &DatabaseCommandsPresenter::imported);
        commands.importElements();
        EXPECT_EQ(ini(), original) << name.toStdString();
        EXPECT_EQ(imported.value(0).value(0).toInt(), 2);
        EXPECT_EQ(readWholeFile(database.backupPath()).bytes, "[00A0C9000009]\r\nNAME=X\r\n");
    }
    // Cancelled dialogs do nothing.
    dialogs.exportPath.clear();
    dialogs.import.reset();
    notifier.messages.clear();
    commands.exportElements();
    commands.importElements();
    EXPECT_TRUE(notifier.messages.isEmpty());
}

TEST_F(DatabaseCommandsPresenterTest, AMergingImportKeepsTheOthersAndWarnsOfSharedAddresses) {
    ASSERT_TRUE(replaceFileAtomically(path(u"in.csv"_s),
                                      "mac,name,ip,role\r\n00A0C9000002,ENC 2,127.0.0.1,1\r\n"
                                      "00A0C9000003,new,10.0.0.3,1\r\n"));
    notifier.answers = {Answer::Yes};
    ASSERT_TRUE(commands.importFrom(path(u"in.csv"_s), false));
    EXPECT_EQ(keys(), QStringList({u"00A0C9000001"_s, u"00A0C9000002"_s, u"00A0C9000003"_s}));
    ASSERT_EQ(notifier.messages.size(), 2);
    EXPECT_EQ(notifier.messages[0],
              Message(MessageId::ImportMergeConfirm, {u"2"_s, u"in.csv"_s, u"nms.ini.bak"_s}));
    EXPECT_EQ(notifier.messages[1],
              Message(MessageId::SharedAddresses,
                      {u"127.0.0.1: DEC 1 [00:A0:C9:00:00:01], ENC 2 [00:A0:C9:00:00:02]"_s}));
}

TEST_F(DatabaseCommandsPresenterTest, AFileThatIsBadMissingOrNotAgreedToWritesNothing) {
    const QByteArray before = ini();
    ASSERT_TRUE(replaceFileAtomically(path(u"in.csv"_s), "mac,name,ip,role\r\n00A0C9000003,ok,10.0.0.3,1\r\n"
                                                         "00A0C9000004,bad,10.0.0.4,5\r\n"));
    EXPECT_FALSE(commands.importFrom(path(u"in.csv"_s), true));
    EXPECT_FALSE(commands.importFrom(path(u"absent.csv"_s), true));
    ASSERT_TRUE(
        replaceFileAtomically(path(u"good.csv"_s), "mac,name,ip,role\r\n00A0C9000003,ok,10.0.0.3,1\r\n"));
    EXPECT_FALSE(commands.importFrom(path(u"good.csv"_s), true)); // answered No
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::ImportRefused, MessageId::ImportNotRead,
                                                MessageId::ImportReplaceConfirm}));
    EXPECT_EQ(notifier.messages[0].args,
              QStringList({u"in.csv"_s, u"Line 3: role \"5\" is not a whole number from 0 to 2"_s}));
    EXPECT_EQ(ini(), before);
    EXPECT_FALSE(QFile::exists(database.backupPath()));
    EXPECT_TRUE(surroundings.calls.isEmpty());
}

TEST_F(DatabaseCommandsPresenterTest, AnElementAddedByAddressIsStoredListedAndSelectedAndAddIsOfferedAgain) {
    resolver.unreachable.insert(parseDottedAddress(u"127.0.0.1"_s)->toNetworkOrder());
    QSignalSpy enabled(&commands, &DatabaseCommandsPresenter::addEnabledChanged);
    QSignalSpy finished(&commands, &DatabaseCommandsPresenter::additionFinished);
    dialogs.address = DatabaseDialogs::Address{u"127.0.0.1"_s, u"00:A0:C9:00:00:07"_s};
    commands.addByAddress();
    EXPECT_FALSE(commands.addEnabled());
    ASSERT_TRUE(element.waitForReadyRead(5000));
    const QNetworkDatagram request = element.receiveDatagram();
    ASSERT_EQ(request.data(), "LINKWAVE KORVALEN PAGING REQUEST");
    QByteArray report = QByteArray::fromHex("7f000001ffffff000a0000017f000002010001");
    report += "FAR SITE        ";
    report += QByteArray::fromHex("0100000064") + QByteArray::fromHex("03040001");
    element.writeDatagram(report, request.senderAddress(), request.senderPort());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(keys(), QStringList({u"00A0C9000001"_s, u"00A0C9000002"_s, u"00A0C9000007"_s}));
    EXPECT_EQ(surroundings.calls, QStringList({u"reload"_s, u"select 00:A0:C9:00:00:07"_s}));
    EXPECT_TRUE(commands.addEnabled());
    EXPECT_EQ(enabled.count(), 2);
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::SharedAddresses})) << "127.0.0.1 twice";
}

} // namespace
} // namespace ondalink

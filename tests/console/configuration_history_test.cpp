// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration history in the window: the History dialog of the selected element (versions
// newest first with what each changed, two compared, one sent back through Save), its CSV, and the
// spares Replace with… offers.
#include "console_fixture.h"

#include "console/configuration_console.h"
#include "console/widgets/history_dialog.h"
#include "console/widgets/replace_dialog.h"
#include "store/atomic_file.h"
#include "store/configuration_history.h"

#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace ondalink::testing {
namespace {

class ConfigurationHistoryTest : public StatusWindowTest {
protected:
    void SetUp() override {
        writeExample();
        ASSERT_TRUE(startWithStatus());
    }
    HistoryRecorder &history() const { return console->configurations().history(); }
    void record(const QString &key, qint64 minute, ConfigurationOrigin origin, const QString &changes) {
        history().record(key, {QDateTime::fromSecsSinceEpoch(1'800'000'000 + minute * 60, Qt::UTC),
                               origin,
                               {},
                               with(encoderKeys(), changes)});
    }
    template <typename T> T *opened(const QString &name) const {
        T *dialog = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const QList<T *> all = window->findChildren<T *>(name);
            dialog = all.isEmpty() ? nullptr : all.constLast();
            return dialog && dialog->isVisible();
        }));
        return dialog;
    }
};

TEST_F(ConfigurationHistoryTest, TheDialogListsWhatEachVersionChangedComparesTwoAndSendsOneThroughSave) {
    record(kEncoderKey, 0, ConfigurationOrigin::Discovery, {});
    record(kEncoderKey, 1, ConfigurationOrigin::ConfirmedWrite, u"NAME=ENC 2;INPUT=0"_s);
    record(kEncoderKey, 2, ConfigurationOrigin::AcceptedDrift,
           u"NAME=ENC 3;INPUT=0;REMOTE=010.000.000.021"_s);
    clickNode(kEncoderMac);
    find<QAction>(u"actHistory"_s)->trigger();
    auto *dialog = opened<HistoryDialog>(u"dlgHistory"_s);
    ASSERT_NE(dialog, nullptr);
    auto *list = dialog->findChild<QTreeWidget *>(u"lstVersions"_s);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    // Newest first; the remote written with leading zeros is the same address.
    EXPECT_EQ(list->topLevelItem(0)->text(1), originText(ConfigurationOrigin::AcceptedDrift));
    EXPECT_EQ(list->topLevelItem(0)->text(2), u"Name"_s);
    EXPECT_EQ(list->topLevelItem(1)->text(2), u"Name, Audio input"_s);
    EXPECT_EQ(list->topLevelItem(2)->text(2), u"First stored"_s);
    EXPECT_FALSE(list->accessibleName().isEmpty());

    // One version: against the one before it; two: against each other, older to newer.
    dialog->selectRows({1});
    EXPECT_EQ(dialog->comparedLines(), QStringList({u"Name: ENC 1 → ENC 2"_s, u"Audio input: 1 → 0"_s}));
    dialog->selectRows({2, 0});
    EXPECT_EQ(dialog->comparedLines(), QStringList({u"Name: ENC 1 → ENC 3"_s, u"Audio input: 1 → 0"_s}));
    auto *send = dialog->findChild<QPushButton *>(u"cmdSendVersion"_s);
    EXPECT_FALSE(send->isEnabled()) << "two versions cannot both be sent";

    // The oldest sent back: Save's question, with the fields it changes, declined.
    dialog->selectRows({1});
    notifier.messages.clear();
    notifier.answers = {Answer::No};
    send->click();
    ASSERT_EQ(notifier.ids(), QList<MessageId>{MessageId::SendConfirm});
    EXPECT_EQ(find<QLineEdit>(u"txtElementName"_s)->text(), u"ENC 2"_s);
    EXPECT_EQ(find<QComboBox>(u"cmbAudioInput"_s)->currentIndex(), 0);

    // The CSV: a header, then one row per version, oldest first.
    const QString csv = folder() + u"/enc.csv"_s;
    ASSERT_TRUE(console->configurations().exportHistory(kEncoderMac, csv));
    const QList<QByteArray> rows = readWholeFile(csv).bytes.split('\n');
    ASSERT_EQ(rows.size(), 5); // header, three rows, the end
    EXPECT_TRUE(rows[0].startsWith("time,origin,note,name,ip")) << rows[0].constData();
    EXPECT_TRUE(rows[2].contains("ENC 2")) << rows[2].constData();
    EXPECT_FALSE(console->configurations().exportHistory(kEncoderMac, folder() + u"/missing/enc.csv"_s));
    EXPECT_EQ(notifier.ids().constLast(), MessageId::HistoryNotSaved);
}

TEST_F(ConfigurationHistoryTest, AnImportIsRecordedForEachElementItWrote) {
    const QString csv = folder() + u"/in.csv"_s;
    ASSERT_TRUE(replaceFileAtomically(csv, "mac,name,ip,role\r\n00A0C9000002,ENC 2,127.0.0.1,1\r\n"));
    notifier.answers = {Answer::Yes};
    ASSERT_TRUE(station->commands->importFrom(csv, false));
    const QList<ConfigurationVersion> versions = history().read(kEncoderKey).versions;
    ASSERT_EQ(versions.size(), 1);
    EXPECT_EQ(versions.first().origin, ConfigurationOrigin::Import);
    EXPECT_TRUE(versions.first().keys.contains(std::pair(u"name"_s, u"ENC 2"_s.leftJustified(16))))
        << ::testing::PrintToString(versions.first().keys);
    EXPECT_TRUE(history().read(kDecoderKey).versions.isEmpty()) << "the file did not hold it";
}

TEST_F(ConfigurationHistoryTest, ReplaceOffersOnlySparesOfTheSameRole) {
    writeIni(iniText({{kDecoderKey, decoderKeys()},
                      {kEncoderKey, encoderKeys()},
                      {u"00A0C9000003"_s, with(encoderKeys(), u"NAME=SPARE"_s)}}));
    window->action(MainWindow::Command::Refresh)->trigger();
    clickNode(kEncoderMac);
    find<QAction>(u"actReplace"_s)->trigger();
    auto *dialog = opened<ReplaceDialog>(u"dlgReplace"_s);
    ASSERT_NE(dialog, nullptr);
    auto *spares = dialog->findChild<QListWidget *>(u"lstSpares"_s);
    ASSERT_EQ(spares->count(), 1);
    EXPECT_TRUE(spares->item(0)->text().startsWith(u"SPARE (00:A0:C9:00:00:03)"_s))
        << qPrintable(spares->item(0)->text());
    EXPECT_TRUE(dialog->spareKey().isEmpty());
    dialog->reject();
    EXPECT_FALSE(console->configurations().isReplacing());
}

} // namespace
} // namespace ondalink::testing

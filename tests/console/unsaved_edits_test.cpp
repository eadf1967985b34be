// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's unsaved edits through the window: the question before anything replaces them, a
// saved edit, and what an invalid address and a refused Save say. Which fields count is the presenter's.
#include "console_fixture.h"

#include "console/database_commands.h"
#include "model/ipv4.h"
#include "store/atomic_file.h"
#include "store/element_database.h"

#include <QApplication>
#include <QGroupBox>

namespace ondalink::testing {
namespace {

const QString kTitle = u"Element properties:"_s;
const QString kChangedTitle = u"Element properties: (changed)"_s;

class UnsavedEditsTest : public ConsoleTest {
protected:
    void SetUp() override {
        writeExample();
        // The decoder is stored at 127.0.0.1: its report's address leads to its MAC.
        resolver.table.insert(parseDottedAddress(u"127.0.0.1"_s)->toNetworkOrder(),
                              QByteArray::fromHex("00a0c9000001"));
    }
    bool startQuick() {
        MainWindowSettings s = settings();
        s.link.pagingWaitMs = 100;
        return start(s);
    }
    QString panelTitle() const { return find<QGroupBox>(u"frmProperties"_s)->title(); }
    QString storedName() const { return ElementDatabase(iniPath()).read(kDecoderKey, u"name"_s); }
};

// Each command that replaces the panel asks first and follows the answer; what the answers mean
// is the guard's own (tests/unit/presenters). The last command closes the window.
TEST_F(UnsavedEditsTest, EveryCommandThatReplacesThePanelAsksAndFollowsTheAnswer) {
    const QString exported = folder() + u"/out.csv"_s, backup = iniPath() + u".bak"_s;
    const QByteArray previous = iniText({{u"00A0C9000009"_s, encoderKeys()}});
    bool cancelled = false;
    struct Row {
        const char *command;
        bool ownQuestion; // the command asks its own question first
        std::function<void()> run;
        std::function<bool()> done; // what the command did besides clearing the panel
    };
    const auto commands = [this]() -> DatabaseCommandsPresenter & { return *station->commands; };
    const Row rows[] = {
        {"select", false, [&] { clickNode(kEncoderMac); },
         [&] { return panel(*window).selectedMac() == kEncoderMac; }},
        {"refresh", false, [&] { window->action(MainWindow::Command::Refresh)->trigger(); },
         [&] { return panel(*window).selectedMac().isEmpty(); }},
        {"discover", true, [&] { window->action(MainWindow::Command::Discover)->trigger(); },
         [&] { return !received(cancelled ? 300 : 5000).isEmpty(); }},
        {"restore", true, [&] { commands().restorePrevious(); }, [&] { return iniBytes() == previous; }},
        {"import", true, [&] { commands().importFrom(exported, true); },
         [&] { return readWholeFile(backup).bytes != previous; }},
        {"update", true, [&] { commands().updateFromNetwork(); },
         [&] { return !received(cancelled ? 300 : 5000).isEmpty(); }},
        {"close", false, [&] { window->close(); }, [&] { return !window->isVisible(); }},
    };
    ASSERT_TRUE(startQuick());
    window->show();
    for (const Row &row : rows) {
        for (const Answer answer : {Answer::Cancel, Answer::Discard}) {
            cancelled = answer == Answer::Cancel;
            SCOPED_TRACE(::testing::Message() << row.command << ", answer " << int(answer));
            writeExample();
            ASSERT_TRUE(commands().exportTo(exported));
            ASSERT_TRUE(replaceFileAtomically(backup, previous));
            panel(*window).presenter().discardPendingEdits(); // a cancelled row's edit
            window->Refresh();
            clickNode(kDecoderMac);
            find<QLineEdit>(u"txtElementName"_s)->setText(u"STUDIO"_s);
            notifier.messages.clear();
            notifier.answers = {answer};
            if (row.ownQuestion)
                notifier.answers.push_front(Answer::Yes);
            row.run();
            EXPECT_EQ(notifier.messages.value(row.ownQuestion ? 1 : 0).id, MessageId::UnsavedEdits);
            EXPECT_EQ(panelTitle(), cancelled ? kChangedTitle : kTitle);
            if (cancelled) {
                EXPECT_EQ(panel(*window).selectedMac(), kDecoderMac);
                EXPECT_TRUE(window->isVisible());
                // The list shows what the panel shows: a cancelled selection goes back to the edited element.
                EXPECT_EQ(tree()->currentIndex().data(Qt::UserRole).toString(), kDecoderMac);
            }
            EXPECT_EQ(row.done(), !cancelled);
            EXPECT_NE(storedName(), u"STUDIO          "_s);
            received(100); // a paging that was cancelled sends nothing, one that ran is over
        }
    }
}

// Save: nothing is replaced until the element has confirmed the write.
TEST_F(UnsavedEditsTest, ASavedEditIsWrittenAndConfirmedBeforeTheNextElementIsShown) {
    ASSERT_TRUE(startQuick());
    clickNode(kDecoderMac);
    find<QLineEdit>(u"txtElementName"_s)->setText(u"STUDIO"_s);
    // The changed field's caption is marked with what the presenter says of it, until confirmed.
    QLabel *caption = captionOf(u"txtElementName"_s);
    const QString tip = panel(*window).presenter().changedTip(ElementKey::Name);
    EXPECT_EQ(std::tuple(caption->font().bold(), caption->toolTip(), tip.isEmpty()),
              std::tuple(true, tip, false));
    notifier.answers = {Answer::Save, Answer::Yes}; // the second for the Save question
    clickNode(kEncoderMac);
    QList<QByteArray> sent = received(5000);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(panel(*window).selectedMac(), kDecoderMac);
    EXPECT_EQ(notifier.messages.at(notifier.messages.size() - 1).args,
              (QStringList{u"DEC 1"_s, kDecoderMac, u"System name: DEC 1 → STUDIO"_s}));
    sim::ElementSettings before;
    before.att = 235;
    answerWrite(sent.first(), {sim::kDecoder, 100307, 3, 5}, before);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel(*window).selectedMac() == kEncoderMac; }));
    EXPECT_TRUE(notifier.ids().contains(MessageId::ConfigurationSaved));
    EXPECT_EQ(std::tuple(panelTitle(), storedName(), caption->font().bold()),
              std::tuple(kTitle, u"STUDIO          "_s, false));
}

TEST_F(UnsavedEditsTest, AnInvalidAddressSaysSoAndARefusedSaveFocusesTheFirstFieldItNames) {
    ASSERT_TRUE(start());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const QString addresses = u"txtElementIP txtElementMask txtElementGW txtRemoteIP"_s;
    struct Row {
        QString mac;
        QString edits; // control=value;...: a text, or a list's index
        QString hints; // one digit per address box: its words shown
        QString focus;
    };
    const Row rows[] = {
        {kDecoderMac, u"txtElementGW=10.0.0."_s, u"0010"_s, u"txtElementGW"_s},
        // The remote box is hidden on a decoder: the first invalid box the operator can reach.
        {kDecoderMac, u"txtRemoteIP=1.2.3;txtElementMask=255.255.0.256"_s, u"0100"_s, u"txtElementMask"_s},
        {kEncoderMac, u"txtRemoteIP=x;txtElementIP=1..2.3"_s, u"1001"_s, u"txtElementIP"_s},
        // The name and the audio fields are checked before the addresses.
        {kEncoderMac, u"txtElementName=;txtElementIP=300.1.1.1"_s, u"1000"_s, u"txtElementName"_s},
        {kEncoderMac, u"cmbAudioTX=-1;txtElementName="_s, u"0000"_s, u"cmbAudioTX"_s},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(qPrintable(row.mac + u' ' + row.edits));
        notifier.answers = {Answer::Discard};
        clickNode(row.mac);
        elementTree(*window).tree()->setFocus();
        for (const QString &edit : row.edits.split(u';')) {
            const QString name = edit.section(u'=', 0, 0), value = edit.section(u'=', 1);
            if (auto *box = qobject_cast<QLineEdit *>(find<QWidget>(name)))
                box->setText(value);
            else
                find<QComboBox>(name)->setCurrentIndex(value.toInt());
        }
        QString hints;
        for (const QString &box : addresses.split(u' '))
            hints += find<QLabel>(box + u"Hint"_s)->isVisible() ? u'1' : u'0';
        EXPECT_EQ(hints, row.hints);
        EXPECT_EQ(find<QLabel>(u"txtElementIPHint"_s)->text(), u"Not a valid IPv4 address"_s);
        notifier.messages.clear();
        window->action(MainWindow::Command::Save)->trigger();
        EXPECT_EQ(notifier.ids(), QList<MessageId>{MessageId::SaveRefused});
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), row.focus);
    }
}

} // namespace
} // namespace ondalink::testing

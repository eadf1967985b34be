// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's unsaved edits: their marks, the question before anything replaces them and each
// answer to it, what the Save question lists, and what an invalid address and a refused Save say.
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
    // The bold captions of the named controls, as one digit each.
    QString boldCaptions(const QString &names) const {
        QString digits;
        for (const QString &name : names.split(u' ')) {
            const QWidget *field = find<QWidget>(name);
            const QList<QLabel *> labels = window->findChildren<QLabel *>();
            const auto caption = std::find_if(labels.begin(), labels.end(),
                                              [field](const QLabel *l) { return l->buddy() == field; });
            digits += caption != labels.end() && (*caption)->font().bold() ? u'1' : u'0';
        }
        return digits;
    }
    QString storedName() const { return ElementDatabase(iniPath()).read(kDecoderKey, u"name"_s); }
};

TEST_F(UnsavedEditsTest, AFieldIsMarkedWhileItDiffersFromTheElementAsLoadedOrAsReported) {
    ASSERT_TRUE(start());
    clickNode(kDecoderMac);
    const auto marks = [this] {
        return std::pair(panelTitle(),
                         boldCaptions(u"txtElementName txtElementIP scrlBuffer cmbSilDetMode"_s));
    };
    EXPECT_EQ(marks(), std::pair(kTitle, u"0000"_s));
    struct Edit {
        QString control;
        QVariant value;
        QString bold;
    };
    // Each edit on top of the ones before; a value typed back, or spelled otherwise, is no change.
    const Edit edits[] = {
        {u"txtElementName"_s, u"STUDIO"_s, u"1000"_s},
        {u"scrlBuffer"_s, 6, u"1010"_s},
        {u"txtElementName"_s, u"dec 1"_s, u"0010"_s},
        {u"txtElementIP"_s, u"127.000.0.01"_s, u"0010"_s},
        {u"cmbSilDetMode"_s, 2, u"0011"_s},
        {u"scrlBuffer"_s, 3, u"0001"_s},
        {u"cmbSilDetMode"_s, 0, u"0000"_s},
        {u"txtElementIP"_s, u"127.0.0.2"_s, u"0100"_s},
    };
    for (const Edit &edit : edits) {
        find<QObject>(edit.control)
            ->setProperty(edit.control.startsWith(u"txt")   ? "text"
                          : edit.control.startsWith(u"cmb") ? "currentIndex"
                                                            : "value",
                          edit.value);
        EXPECT_EQ(marks(), std::pair(edit.bold == u"0000" ? kTitle : kChangedTitle, edit.bold))
            << qPrintable(edit.control + u' ' + edit.value.toString());
    }
    // The attenuation reaches the element as it moves: never pending.
    find<QScrollBar>(u"scrlAtten"_s)->setValue(100);
    EXPECT_EQ(boldCaptions(u"txtElementIP scrlAtten"_s), u"10"_s);

    // A report's values are the element's own; a field it did not confirm stays changed.
    ConfirmedState report;
    report.role = 2;
    report.buf = 7;
    report.unconfirmed = {ElementKey::Ip};
    window->panel().applyConfirmed(report);
    EXPECT_EQ(std::pair(values(u"scrlBuffer"_s), marks()),
              std::pair(u"7"_s, std::pair(kChangedTitle, u"0100"_s)));
    report.unconfirmed.clear();
    window->panel().applyConfirmed(report);
    EXPECT_EQ(marks(), std::pair(kTitle, u"0000"_s));
}

enum class Trigger { Select, Refresh, Discover, Close };

TEST_F(UnsavedEditsTest, EachWayOfReplacingThePanelAsksAndFollowsTheAnswer) {
    const int kPaging = 32, kDecoderWrite = 40;
    struct Row {
        Trigger trigger;
        Answer answer;
        QString shown; // the panel's element in the end
        bool closed;
        QList<int> datagrams; // the lengths of what went to the element
        QString title;
    };
    const QString none;
    // clang-format off
    const Row rows[] = {
        {Trigger::Select, Answer::Cancel, kDecoderMac, false, {}, kChangedTitle},
        {Trigger::Select, Answer::Discard, kEncoderMac, false, {}, kTitle},
        {Trigger::Select, Answer::Save, kEncoderMac, false, {kDecoderWrite}, kTitle},
        {Trigger::Refresh, Answer::Cancel, kDecoderMac, false, {}, kChangedTitle},
        {Trigger::Refresh, Answer::Discard, none, false, {}, kTitle},
        {Trigger::Refresh, Answer::Save, none, false, {kDecoderWrite}, kTitle},
        {Trigger::Discover, Answer::Cancel, kDecoderMac, false, {}, kChangedTitle},
        {Trigger::Discover, Answer::Discard, none, false, {kPaging}, kTitle},
        {Trigger::Discover, Answer::Save, none, false, {kDecoderWrite, kPaging}, kTitle},
        {Trigger::Close, Answer::Cancel, kDecoderMac, false, {}, kChangedTitle},
        {Trigger::Close, Answer::Discard, kDecoderMac, true, {}, kTitle},
        {Trigger::Close, Answer::Save, kDecoderMac, true, {kDecoderWrite}, kTitle},
    };
    // clang-format on
    const std::function<void()> replace[] = {
        [&] { clickNode(kEncoderMac); }, [&] { window->action(MainWindow::Command::Refresh)->trigger(); },
        [&] { window->action(MainWindow::Command::Discover)->trigger(); },
        [&] { window->close(); }}; // in the order of Trigger
    for (const Row &row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "trigger " << int(row.trigger) << ", answer " << int(row.answer));
        writeExample();
        notifier.messages.clear();
        ASSERT_TRUE(startQuick());
        clickNode(kDecoderMac);
        find<QLineEdit>(u"txtElementName"_s)->setText(u"STUDIO"_s);
        notifier.answers = {row.answer, Answer::Yes}; // the second for the Save question
        if (row.trigger == Trigger::Discover)
            notifier.answers.push_front(Answer::Yes); // the discovery's own question comes first

        replace[int(row.trigger)]();
        QList<QByteArray> sent = received(row.datagrams.isEmpty() ? 300 : 5000);
        if (row.answer == Answer::Save) {
            // Nothing is replaced until the element has confirmed the write.
            ASSERT_EQ(sent.size(), 1);
            EXPECT_EQ(std::tuple(window->panel().selectedMac(), window->isVisible()),
                      std::tuple(kDecoderMac, true));
            EXPECT_EQ(notifier.messages.at(notifier.messages.size() - 1).args,
                      (QStringList{u"DEC 1"_s, kDecoderMac, u"System name: DEC 1 → STUDIO"_s}));
            sim::ElementSettings before;
            before.att = 235;
            answerWrite(sent.first(), {sim::kDecoder, 100307, 3, 5}, before);
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return window->panel().selectedMac() == row.shown && window->isVisible() != row.closed;
            }));
            EXPECT_TRUE(notifier.ids().contains(MessageId::ConfigurationSaved));
            sent << received(row.datagrams.size() > 1 ? 5000 : 300);
        }
        QList<int> lengths;
        for (const QByteArray &datagram : sent)
            lengths << int(datagram.size());
        EXPECT_EQ(lengths, row.datagrams);
        EXPECT_EQ(std::tuple(window->panel().selectedMac(), !window->isVisible(), panelTitle()),
                  std::tuple(row.shown, row.closed, row.title));
        // The list shows what the panel shows: a cancelled selection goes back to the edited element.
        const QModelIndex current = tree()->currentIndex();
        EXPECT_EQ(current.isValid() ? current.data(Qt::UserRole).toString() : QString(), row.shown);
        if (row.trigger != Trigger::Discover) {
            EXPECT_EQ(storedName(),
                      row.answer == Answer::Save ? u"STUDIO          "_s : u"DEC 1           "_s);
        }
        window.reset();
    }
}

TEST_F(UnsavedEditsTest, TheElementsMenusDatabaseCommandsAskBeforeTheyReplaceTheShownElement) {
    const QString exported = folder() + u"/out.csv"_s, backup = iniPath() + u".bak"_s;
    struct Row {
        const char *command;
        std::function<void(DatabaseCommands &)> run;
        std::function<bool()> done; // what the command did
    };
    const QByteArray previous = iniText({{u"00A0C9000009"_s, encoderKeys()}});
    const Row rows[] = {
        {"restore", [](DatabaseCommands &c) { c.restorePrevious(); }, [&] { return iniBytes() == previous; }},
        {"import", [&](DatabaseCommands &c) { c.importFrom(exported, true); },
         [&] { return readWholeFile(backup).bytes != previous; }},
        {"update", [](DatabaseCommands &c) { c.updateFromNetwork(); },
         [&] { return !received(300).isEmpty(); }},
    };
    for (const Row &row : rows) {
        for (const Answer answer : {Answer::Cancel, Answer::Discard}) {
            SCOPED_TRACE(::testing::Message() << row.command << ", answer " << int(answer));
            writeExample();
            ASSERT_TRUE(startQuick());
            ASSERT_TRUE(window->databaseCommands().exportTo(exported));
            ASSERT_TRUE(replaceFileAtomically(backup, previous));
            clickNode(kDecoderMac);
            find<QLineEdit>(u"txtElementName"_s)->setText(u"STUDIO"_s);
            notifier.messages.clear();
            notifier.answers = {Answer::Yes, answer}; // the command's own question first
            row.run(window->databaseCommands());
            EXPECT_EQ(notifier.messages.value(1).id, MessageId::UnsavedEdits);
            const bool cancelled = answer == Answer::Cancel;
            EXPECT_EQ(row.done(), !cancelled);
            EXPECT_EQ(window->panel().selectedMac(), cancelled ? kDecoderMac : QString());
            window.reset();
        }
    }
}

TEST_F(UnsavedEditsTest, AnInvalidAddressSaysSoAndARefusedSaveFocusesTheFirstFieldItNames) {
    ASSERT_TRUE(start());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
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
        window->elementTree().tree()->setFocus();
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

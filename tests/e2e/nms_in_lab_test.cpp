// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the lab's NMS host, with the system's ports, the Linux ARP and ICMP
// backends and the element simulators: what an operator does, checked on the screen, in nms.ini
// and in what the elements logged they received.
#include "app/workstation.h"
#include "console/configuration_console.h"
#include "console/models/element_list_model.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/ping_indicator.h"
#include "console/widgets/replace_dialog.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "fake_status.h"
#include "fakes.h"
#include "lab_harness.h"
#include "link/element_report_handler.h"
#include "link_test_peer.h"
#include "status/drift_watch.h"
#include "status/event_log.h"
#include "store/atomic_file.h"
#include "store/configuration_history.h"
#include "store/profile_file.h"
#include "window_widgets.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <memory>

namespace ondalink::e2e {
namespace {

using testing::RecordingNotifier;

const Message kSaved(MessageId::ConfigurationSaved);

QString hexByte(const QString &decimal) {
    return QString::number(decimal.toInt(), 16).rightJustified(2, u'0');
}

class NmsInLab : public ::testing::Test {
protected:
    void SetUp() override {
        if (!lab.error().isEmpty())
            GTEST_SKIP() << qPrintable(lab.error());
        ASSERT_EQ(lab.elements().size(), 4);
        MainWindowSettings settings; // the system's own ports and broadcast address
        settings.databasePath = iniPath();
        station = std::make_unique<Workstation>(WorkstationSeams{notifier, resolver, prober}, settings);
        window = station->window.get();
        ASSERT_TRUE(station->start());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override {
        window = nullptr;
        station.reset();
        std::for_each(m_undo.rbegin(), m_undo.rend(), [](const auto &undo) { undo(); });
    }

    // A simulator with extra options for this test; a plain one again afterwards.
    void restartSim(int number, const QStringList &options) {
        m_undo.emplace_back([this, number] { lab.restartSim(number); });
        ASSERT_TRUE(lab.restartSim(number, options));
    }
    void atEnd(std::function<void()> undo) { m_undo.push_back(std::move(undo)); }
    // The status beside the window: probes never answered, a fake clock, its own per-user folder.
    StatusConsole &addStatus() {
        return station->addStatus({m_probes,
                                   m_clock,
                                   sink,
                                   notifier,
                                   m_userSettings,
                                   m_user.filePath(u"events"_s),
                                   m_user.filePath(u"history"_s),
                                   {}});
    }

    QString iniPath() const { return m_dir.filePath(u"nms.ini"_s); }
    QStringList sections() const { return LoadIniSectionsArray(iniPath()); }
    // The element's stored values of the blank-separated keys, joined by "|".
    QString stored(const QString &section, const QString &keys) const {
        QStringList values;
        for (const QString &key : keys.split(u' '))
            values << ReadFromINI(section, key, iniPath(), u"<none>"_s);
        return values.join(u'|');
    }
    QString stored(int number, const QString &keys) const { return stored(lab.element(number).key(), keys); }

    template <typename T> T *find(const QString &name) const {
        T *child = window->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << qPrintable(name);
        return child;
    }
    QString text(const QString &name) const {
        if (auto *edit = window->findChild<QLineEdit *>(name))
            return edit->text();
        return find<QLabel>(name)->text();
    }
    QTreeView *tree() const { return find<QTreeView>(u"TreeView1"_s); }
    QStringList treeMacs() const {
        QStringList macs;
        for (int i = 0; i < tree()->model()->rowCount(); ++i)
            macs.append(tree()->model()->index(i, 0).data(Qt::UserRole).toString());
        return macs;
    }

    // Discover answered Yes; returns when the paging window has closed.
    void discover() {
        notifier.messages.clear();
        notifier.answers = {Answer::Yes};
        window->action(MainWindow::Command::Discover)->trigger();
    }
    // A mouse click on the element's node in the tree.
    void select(int number) {
        const QString mac = lab.element(number).mac;
        const qsizetype row = treeMacs().indexOf(mac);
        ASSERT_GE(row, 0) << qPrintable(mac);
        const QModelIndex index = tree()->model()->index(static_cast<int>(row), 0);
        tree()->scrollTo(index);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(index).center());
        ASSERT_EQ(text(u"lblElementMAC"_s), mac);
    }
    void type(const QString &lineEdit, const QString &value) {
        auto *edit = find<QLineEdit>(lineEdit);
        edit->clear();
        QTest::keyClicks(edit, value);
    }
    // Save answered Yes, then every message up to the first one after the question.
    QList<Message> save() {
        notifier.messages.clear();
        notifier.answers = {Answer::Yes};
        window->action(MainWindow::Command::Save)->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.messages.size() >= 2; }, 5000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !ElementLinkTestPeer(station->link).reportHandler().busy(); }, 8000));
        EXPECT_EQ(notifier.messages.value(0).id, MessageId::SendConfirm);
        return notifier.messages.mid(1);
    }
    QStringList logged(int number, const QString &receivedFrom, const QString &what) const {
        return lab.simLog(number, QRegularExpression::escape(receivedFrom + what));
    }
    QString fromNms(quint16 toPort) const { return lab.nmsIp() + u":2976 -> :"_s + QString::number(toPort); }

    Lab lab;
    RecordingNotifier notifier;
    NeighbourResolver resolver;
    IcmpProber prober;
    std::unique_ptr<Workstation> station;
    MainWindow *window = nullptr; // the station's

    testing::RecordingSink sink; // the status's notifications

private:
    QTemporaryDir m_dir;
    testing::FakeAsyncProber m_probes;
    testing::FakeClock m_clock;
    QTemporaryDir m_user;
    QSettings m_userSettings{m_user.filePath(u"user.conf"_s), QSettings::IniFormat};
    std::vector<std::function<void()>> m_undo;
};

TEST_F(NmsInLab, DiscoveryRebuildsTheDatabaseAndWritesAreConfirmedByTheElements) {
    // Answers spaced apart in an order unlike the hosts' own, so that arrival order shows.
    const QList<int> order{3, 1, 4, 2};
    QStringList keysInOrder, macs;
    for (int i = 0; i < order.size(); ++i) {
        restartSim(order[i], {u"--delay"_s, QString::number(250 * i)});
        keysInOrder.append(lab.element(order[i]).key());
        macs.append(lab.element(order[i]).mac);
    }
    discover();
    ASSERT_EQ(notifier.messages.size(), 1) << ::testing::PrintToString(notifier.messages);
    EXPECT_EQ(sections(), keysInOrder);
    QStringList shown = treeMacs();
    shown.sort();
    macs.sort();
    EXPECT_EQ(shown, macs);

    const QString pagingHex = QString::fromLatin1(QByteArray("LINKWAVE KORVALEN PAGING REQUEST").toHex());
    for (const LabElement &e : lab.elements()) {
        EXPECT_EQ(stored(e.number, u"name ip mask remote role sn ver"_s),
                  QStringList({e.name.leftJustified(16), e.ip, u"255.255.255.0"_s, e.remote,
                               e.decoder() ? u"2"_s : u"1"_s, e.serial, e.firmware})
                      .join(u'|'));
        EXPECT_EQ(logged(e.number, fromNms(1901), u" len 32 ["_s + pagingHex + u"] paging request"_s).size(),
                  1);
    }

    // A decoder: a new name and decoder settings sent and confirmed.
    const LabElement &decoder = lab.element(4);
    select(4);
    type(u"txtElementName"_s, u"Studio b"_s);
    find<QScrollBar>(u"scrlBuffer"_s)->setValue(6);
    find<QComboBox>(u"cmbSilDetMode"_s)->setCurrentIndex(1);
    const QStringList was = stored(4, u"mask gw sdl sdt"_s).split(u'|');
    EXPECT_EQ(save(), QList<Message>{kSaved});
    EXPECT_EQ(text(u"lblVersion"_s), decoder.firmware);
    EXPECT_EQ(stored(4, u"name buf sdm"_s), u"STUDIO B        |6|1"_s);
    const QString write = addressHex(decoder.ip) + addressHex(was[0]) + addressHex(was[1]) +
                          addressHex(decoder.remote) + u"000000"_s + nameHex(u"Studio b"_s) + u"000601"_s +
                          hexByte(was[2]) + hexByte(was[3]);
    EXPECT_EQ(logged(4, fromNms(2976), u" len 40 ["_s + write + u"] configuration write"_s).size(), 1);

    // An encoder moved to another address, which confirms from there, and back.
    const LabElement &encoder = lab.element(1);
    const QString moved = encoder.ip.section(u'.', 0, 2) + u".61"_s;
    for (const QString &address : {moved, encoder.ip}) {
        select(1);
        type(u"txtElementIP"_s, address);
        EXPECT_EQ(save(), QList<Message>{kSaved}) << qPrintable(address);
        EXPECT_EQ(stored(1, u"ip"_s), address);
    }
}

TEST_F(NmsInLab, EveryElementThatAnswersADiscoveryIsListedOnlineBeforeAnyProbeAnswers) {
    addStatus();
    discover();
    ElementListModel &list = testing::elementTree(*window).model();
    ASSERT_EQ(list.rowCount(), lab.elements().size());
    list.flushChanges();
    for (int row = 0; row < list.rowCount(); ++row) {
        EXPECT_EQ(list.shownStatusAt(row), ShownStatus::Online) << qPrintable(list.macAt(row));
        EXPECT_FALSE(list.index(row, ElementListModel::LastSeenColumn).data().toString().isEmpty());
    }
}

// Settings changed on an element behind the program's back show as Drift within one round, and
// nothing else moves: no box, no write of nms.ini, the panel as it was. Accepting stores what the
// element holds; sending the stored configuration puts it back, confirmed as any write.
TEST_F(NmsInLab, SettingsChangedOnAnElementShowAsDriftUntilAcceptedOrSentBack) {
    StatusConsole &status = addStatus();
    discover();
    ElementListModel &list = testing::elementTree(*window).model();
    const LabElement &decoder = lab.element(4);
    const int row = list.rowOfMac(decoder.mac);
    ASSERT_GE(row, 0);
    select(2);
    const QString shownName = text(u"txtElementName"_s);
    const auto driftShown = [&] {
        list.flushChanges();
        return list.shownStatusAt(row) == ShownStatus::Drift;
    };
    constexpr int kRoundMs = 2000;
    status.driftWatch().setIntervalMs(kRoundMs);
    QTest::qWait(kRoundMs + 500);
    EXPECT_FALSE(driftShown()) << "drift before anything changed";

    atEnd([this] { lab.restartSim(4); }); // its settings as it started
    ASSERT_TRUE(lab.tell(u"sim-control"_s, 4, {u"set"_s, u"sdm"_s, u"2"_s}));
    const QByteArray before = readWholeFile(iniPath()).bytes;
    notifier.messages.clear();
    // Within one round, pages answered in milliseconds.
    ASSERT_TRUE(QTest::qWaitFor(driftShown, kRoundMs + 1500));
    EXPECT_EQ(list.index(row, ElementListModel::StatusColumn).data().toString(),
              ElementListModel::statusText(ShownStatus::Drift));
    EXPECT_EQ(readWholeFile(iniPath()).bytes, before);
    EXPECT_TRUE(notifier.messages.isEmpty()) << ::testing::PrintToString(notifier.messages);
    EXPECT_EQ(text(u"txtElementName"_s), shownName);
    EXPECT_EQ(text(u"lblElementMAC"_s), lab.element(2).mac);
    const QList<EventRow> rows = status.eventLog().rows();
    const auto drift =
        std::find_if(rows.cbegin(), rows.cend(), [](const EventRow &r) { return r.event == u"Drift"_s; });
    ASSERT_NE(drift, rows.cend());
    EXPECT_EQ(drift->elementMac, decoder.mac);
    EXPECT_TRUE(drift->detail.contains(u"Silence detector mode: 1 → 2"_s) ||
                drift->detail.contains(u"Silence detector mode: 0 → 2"_s))
        << qPrintable(drift->detail);
    EXPECT_FALSE(sink.shown.isEmpty());

    // Accepted: stored as the element holds it.
    select(4);
    auto *accept = find<QAction>(u"actAcceptDrift"_s);
    ASSERT_TRUE(accept->isEnabled());
    accept->trigger();
    EXPECT_EQ(stored(4, u"sdm"_s), u"2"_s);
    HistoryRecorder &history = status.configurations().history();
    const auto newestOrigin = [&] {
        const QList<ConfigurationVersion> versions = history.read(decoder.key()).versions;
        return versions.isEmpty() ? std::nullopt : std::optional(versions.constLast().origin);
    };
    EXPECT_EQ(newestOrigin(), ConfigurationOrigin::AcceptedDrift);
    EXPECT_FALSE(driftShown());
    EXPECT_EQ(text(u"lblElementMAC"_s), decoder.mac);

    // Changed again, and the stored configuration sent back.
    ASSERT_TRUE(lab.tell(u"sim-control"_s, 4, {u"set"_s, u"sdm"_s, u"0"_s}));
    ASSERT_TRUE(QTest::qWaitFor(driftShown, kRoundMs + 1500));
    notifier.messages.clear();
    notifier.answers = {Answer::Yes};
    find<QAction>(u"actSendStored"_s)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.messages.size() >= 2; }, 5000));
    EXPECT_EQ(notifier.messages.value(0).id, MessageId::SendConfirm);
    EXPECT_EQ(notifier.messages.value(1), kSaved);
    EXPECT_FALSE(driftShown());
    EXPECT_EQ(stored(4, u"sdm"_s), u"2"_s);
    EXPECT_EQ(newestOrigin(), ConfigurationOrigin::ConfirmedWrite);
    QTest::qWait(kRoundMs + 500);
    EXPECT_FALSE(driftShown()) << "the element holds what was sent";
}

// A failed encoder's configuration goes to a spare of its role in one write. The failed unit's
// section goes only once the spare has confirmed it and the operator has agreed, and its history
// goes with it. A spare that does not answer leaves everything as it was.
TEST_F(NmsInLab, AFailedEncoderIsReplacedByASpareOnlyOnceTheSpareConfirms) {
    StatusConsole &status = addStatus();
    discover();
    const LabElement &failed = lab.element(1);
    const LabElement &spare = lab.element(2);
    ASSERT_FALSE(failed.decoder());
    ASSERT_FALSE(spare.decoder());
    ConfigurationConsole &configurations = status.configurations();
    HistoryRecorder &history = configurations.history();
    const QList<ConfigurationVersion> failedHistory = history.read(failed.key()).versions;
    ASSERT_EQ(failedHistory.size(), 1);
    EXPECT_EQ(failedHistory.first().origin, ConfigurationOrigin::Discovery);
    const QString settingKeys = u"name ip mask gw remote input type tx"_s;
    const QString carried = stored(failed.number, settingKeys);

    const auto replaceWith = [&](const LabElement &with) {
        select(failed.number);
        find<QAction>(u"actReplace"_s)->trigger();
        ReplaceDialog *dialog = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QList<ReplaceDialog *> open = window->findChildren<ReplaceDialog *>(u"dlgReplace"_s);
            dialog = open.isEmpty() ? nullptr : open.constLast();
            return dialog && dialog->isVisible();
        }));
        dialog->pick(with.key());
        ASSERT_EQ(dialog->spareKey(), with.key());
        dialog->accept();
    };

    // The spare does not answer: its write times out, nothing is removed.
    ASSERT_TRUE(lab.tell(u"sim-control"_s, spare.number, {u"down"_s}));
    const QByteArray before = readWholeFile(iniPath()).bytes;
    notifier.messages.clear();
    notifier.answers = {Answer::Yes};
    replaceWith(spare);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.ids().contains(MessageId::ReplacementNotConfirmed); }, 8000))
        << ::testing::PrintToString(notifier.messages);
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::SendConfirm, MessageId::ResponseTimedOut,
                                                MessageId::ReplacementNotConfirmed}));
    EXPECT_EQ(readWholeFile(iniPath()).bytes, before);
    EXPECT_EQ(history.read(failed.key()).versions.size(), 1);
    EXPECT_FALSE(configurations.isReplacing());
    ASSERT_TRUE(lab.tell(u"sim-control"_s, spare.number, {u"up"_s}));
    // As after any Save that was not answered, the panel still holds what was sent.
    notifier.answers = {Answer::Discard};
    select(failed.number);

    // The unit has failed; the spare takes its place, address included.
    atEnd([this, failed] { lab.tell(u"element-up"_s, failed.number); });
    atEnd([this, spare, failed] {
        lab.onElement(spare.number,
                      {u"ip"_s, u"addr"_s, u"del"_s, failed.ip + u"/24"_s, u"dev"_s, u"eth0"_s});
        lab.restartSim(spare.number);
    });
    ASSERT_TRUE(lab.tell(u"element-down"_s, failed.number));
    notifier.messages.clear();
    notifier.answers = {Answer::Yes, Answer::Yes};
    std::optional<bool> failedListedAtQuestion;
    notifier.onShow = [&](const Message &message) {
        if (message.id == MessageId::ReplaceConfirm)
            failedListedAtQuestion = sections().contains(failed.key());
    };
    replaceWith(spare);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !treeMacs().contains(failed.mac); }, 8000))
        << ::testing::PrintToString(notifier.messages);
    notifier.onShow = nullptr;
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::SendConfirm, MessageId::ConfigurationSaved,
                                                MessageId::ReplaceConfirm}));
    EXPECT_EQ(failedListedAtQuestion, true) << "the failed unit's section went before the question";
    EXPECT_FALSE(sections().contains(failed.key()));
    EXPECT_EQ(stored(spare.key(), settingKeys), carried);
    const QStringList writes = lab.simLog(spare.number, u"\\] configuration write"_s);
    ASSERT_EQ(writes.size(), 1) << "one configuration write";
    EXPECT_TRUE(writes.first().contains(fromNms(2976) + u" len "_s));
    EXPECT_TRUE(writes.first().contains(addressHex(failed.ip) + u"ffffff00"_s)) << qPrintable(writes.first());
    EXPECT_TRUE(writes.first().contains(nameHex(failed.name))) << qPrintable(writes.first());

    const QList<ConfigurationVersion> spareHistory = history.read(spare.key()).versions;
    ASSERT_GE(spareHistory.size(), 3); // its discovery, its confirmed write, the failed unit's, the marker
    EXPECT_EQ(spareHistory.constLast().origin, ConfigurationOrigin::Replacement);
    EXPECT_TRUE(spareHistory.constLast().note.contains(failed.mac))
        << qPrintable(spareHistory.constLast().note);
    EXPECT_TRUE(std::any_of(spareHistory.cbegin(), spareHistory.cend(), [&](const ConfigurationVersion &v) {
        return v.time == failedHistory.first().time && v.keys == failedHistory.first().keys;
    })) << "the failed unit's history did not go with it";
    EXPECT_TRUE(history.read(failed.key()).versions.isEmpty());
}

TEST_F(NmsInLab, AttenuationReachesTheDecoderAndTheEncoderLevelIsShown) {
    restartSim(1, {u"--peak"_s, u"3000000"_s}); // 0.3576 of full scale: -8.93 dBFS
    discover();
    select(3);
    auto *atten = find<QScrollBar>(u"scrlAtten"_s);
    window->activateWindow(); // the paging window had the focus last
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    atten->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return atten->hasFocus(); }));
    ASSERT_EQ(atten->value(), 255);
    QTest::keyClick(atten, Qt::Key_Left);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !logged(3, fromNms(2977), u" len 2 [fe00] attenuation: att set to 254"_s).isEmpty(); }));
    EXPECT_EQ(stored(3, u"att"_s), u"254"_s);

    select(1);
    window->action(MainWindow::Command::StartMonitoring)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(u"lblVolume"_s) == u"-8.9dBFS"; }));
    EXPECT_FALSE(logged(1, fromNms(2977), u" len 3 [564f4c] level request"_s).isEmpty());
    EXPECT_TRUE(notifier.messages.size() == 1) << ::testing::PrintToString(notifier.messages);
}

TEST_F(NmsInLab, PingAndAnElementWithoutArp) {
    discover();
    select(2);
    auto *ping = find<QLabel>(u"lblPing"_s);
    // The echo runs off the GUI thread; its result is shown when it returns.
    const auto pingAndWait = [&] {
        QSignalSpy echoed(window, &MainWindow::pingEchoed);
        QTest::mouseClick(ping, Qt::LeftButton);
        ASSERT_TRUE(!echoed.isEmpty() || echoed.wait(5000));
    };
    pingAndWait();
    EXPECT_TRUE(QRegularExpression(u"^\\d+ ms$"_s).match(ping->text()).hasMatch())
        << qPrintable(ping->text());
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(0, 255, 0));

    type(u"txtElementIP"_s, lab.vacantIp());
    pingAndWait();
    EXPECT_EQ(ping->text(), u"Request Timed Out"_s);
    EXPECT_EQ(find<PingIndicator>(u"shpPing"_s)->fillColor(), QColor(255, 0, 0));
    QTest::mouseClick(ping, Qt::LeftButton); // no retries from here on

    notifier.answers = {Answer::Discard}; // the address typed above is an unsaved edit
    select(2);

    // Element 4 keeps answering but no longer answers ARP, and never asks: the NMS cannot learn its MAC.
    // It answers first; its lookup must not hold the others' answers past the window.
    restartSim(4, {});
    for (int other = 1; other <= 3; ++other)
        restartSim(other, {u"--delay"_s, u"300"_s});
    ASSERT_TRUE(lab.onElement(4, {u"ip"_s, u"neigh"_s, u"replace"_s, lab.nmsIp(), u"lladdr"_s, lab.nmsMac(),
                                  u"nud"_s, u"permanent"_s, u"dev"_s, u"eth0"_s}));
    atEnd([this] { lab.onElement(4, {u"ip"_s, u"neigh"_s, u"del"_s, lab.nmsIp(), u"dev"_s, u"eth0"_s}); });
    ASSERT_TRUE(lab.sysctl(4, u"net/ipv4/conf/eth0/arp_ignore"_s, u"8"_s));
    atEnd([this] { lab.sysctl(4, u"net/ipv4/conf/eth0/arp_ignore"_s, u"0"_s); });
    ASSERT_TRUE(Lab::runProgram(u"ip"_s, {u"neigh"_s, u"flush"_s, u"dev"_s, u"eth0"_s}));
    bool lookupEnded = false;
    notifier.onShow = [&](const Message &) {
        lookupEnded = !ElementLinkTestPeer(station->link).lookups().isPending(lab.element(4).ip);
    };
    discover();
    EXPECT_EQ(treeMacs().size(), 3) << "listed when the window closed";
    const Message noMac(MessageId::ReportFieldCorrupted, {phrase(PhraseId::ElementMac)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.messages.contains(noMac); }, 10000));
    EXPECT_TRUE(lookupEnded); // shown when the lookup's bound ran out
    EXPECT_EQ(notifier.messages.size(), 2) << ::testing::PrintToString(notifier.messages);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sections().size() == 3; }));
    EXPECT_FALSE(sections().contains(lab.element(4).key()));
    EXPECT_FALSE(treeMacs().contains(lab.element(4).mac));
}

// The database across the router: an element no broadcast reaches is added by its address (refused
// without its MAC), configured, and kept by an update from the network.
TEST_F(NmsInLab, AnElementBehindTheRouterIsAddedConfiguredAndKept) {
    ASSERT_EQ(lab.routed().size(), 1);
    const LabElement &far = lab.routed().front();
    discover();
    ASSERT_EQ(sections().size(), 4);
    DatabaseCommandsPresenter &commands = *station->commands;

    notifier.messages.clear();
    EXPECT_FALSE(commands.add(far.ip, {}));
    EXPECT_EQ(notifier.messages, QList<Message>({Message(MessageId::AdditionNeedsMac, {far.ip})}));
    EXPECT_FALSE(sections().contains(far.key()));

    QSignalSpy added(&commands, &DatabaseCommandsPresenter::additionFinished);
    notifier.messages.clear();
    ASSERT_TRUE(commands.add(far.ip, far.mac.toLower()));
    ASSERT_TRUE(added.wait(10000));
    EXPECT_EQ(added.front().at(1).toString(), far.key());
    EXPECT_EQ(notifier.messages, QList<Message>());
    EXPECT_EQ(sections().size(), 5);
    EXPECT_EQ(stored(far.key(), u"name ip role sn"_s),
              QStringList({far.name.leftJustified(16), far.ip, u"1"_s, far.serial}).join(u'|'));
    EXPECT_EQ(text(u"lblElementMAC"_s), far.mac) << "selected once added";
    EXPECT_EQ(lab.simLog(far.number, u"paging request"_s, u'r').size(), 1);

    // A write to it is confirmed by the MAC stored for its address: no ARP can find it from here.
    type(u"txtElementName"_s, u"far site"_s);
    EXPECT_EQ(save(), QList<Message>{kSaved});
    EXPECT_EQ(stored(far.key(), u"name"_s), u"FAR SITE        "_s);
    EXPECT_EQ(lab.simLog(far.number, u"configuration write"_s, u'r').size(), 1);

    // Update from network: the LAN answers, the routed element stays and is named as not answering.
    QSignalSpy silent(&commands, &DatabaseCommandsPresenter::notAnswered);
    notifier.messages.clear();
    notifier.answers = {Answer::Yes};
    commands.updateFromNetwork();
    EXPECT_EQ(notifier.ids(), QList<MessageId>({MessageId::UpdateConfirm}));
    ASSERT_EQ(silent.size(), 1);
    EXPECT_EQ(silent.front().front().toStringList(), QStringList({far.key()}));
    EXPECT_EQ(sections().size(), 5);
    EXPECT_EQ(stored(far.key(), u"name"_s), u"FAR SITE        "_s);
}

} // namespace
} // namespace ondalink::e2e

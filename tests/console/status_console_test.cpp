// SPDX-License-Identifier: GPL-3.0-or-later
// The status in the window: Tools > Settings… and its round trip through the
// per-user settings, View > Event log with its filters and CSV, "Watch audio"
// in the list and in the panel, the operator's ping reaching the list, and the
// status bar.
#include "console/presenters/status_settings_presenter.h"
#include "console_fixture.h"

#include "console/database_commands.h"
#include "console/models/element_list_model.h"
#include "console/models/event_log_model.h"
#include "console/widgets/event_log_dock.h"
#include "link/discovery.h"
#include "status/event_log.h"
#include "status/silence_watch.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

namespace ondalink::testing {
namespace {

class StatusConsoleTest : public StatusWindowTest {
protected:
    void SetUp() override { writeExample(); }

    StatusSettings stored() { return readStatusSettings(userSettings); }
    // The dialog Tools > Settings… opened, found once the event loop has shown
    // it.
    QDialog *openSettings() {
        console->settingsAction()->trigger();
        auto *dialog = window->findChild<QDialog *>(u"dlgSettings"_s);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    template <typename T> T *in(QWidget *parent, const QString &name) {
        T *child = parent->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << qPrintable(name);
        return child;
    }
    void press(QDialog *dialog, QDialogButtonBox::StandardButton button) {
        QTest::mouseClick(in<QDialogButtonBox>(dialog, u"buttons"_s)->button(button), Qt::LeftButton);
    }
    // The list's context menu on a row; what it offers, after choosing the named
    // action if any.
    QStringList contextMenu(int row, const QString &choose = {}) {
        QStringList offered;
        QTimer look; // gone with this call: a menu never shown is never looked at later
        look.setSingleShot(true);
        QObject::connect(&look, &QTimer::timeout, &look, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *action : menu->actions()) {
                if (action->isCheckable()) // the list's own commands follow; not looked at here
                    offered << action->text() + (action->isChecked() ? u" [x]"_s : QString());
            }
            for (QAction *action : menu->actions())
                if (action->text() == choose)
                    action->trigger();
            menu->close();
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return rowCentre(0) != QPoint(); })) << "the rows are laid out";
        look.start(0);
        Q_EMIT tree()->customContextMenuRequested(row < 0 ? QPoint(-1, -1) : rowCentre(row));
        return offered;
    }
};

TEST_F(StatusConsoleTest, MenusAndSettingsThatShowWhatIsStoredAndOkStoresAndAppliesWhatWasChanged) {
    StatusSettings before;
    before.probeIntervalS = 30;
    before.silenceThresholdDbfs = -40;
    before.silenceHoldS = 5;
    before.notificationsEnabled = false;
    before.watchedElements = {kEncoderKey};
    writeStatusSettings(userSettings, before);
    ASSERT_TRUE(startWithStatus());
    EXPECT_EQ(console->reachability().intervalMs(), 30000);
    // The menus sit between the window's own and Help; Ctrl+L shows and hides the event log.
    QStringList menus;
    for (QAction *menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{u"&Elements"_s, u"&Tools"_s, u"&View"_s, u"&Help"_s}));
    EXPECT_FALSE(console->settingsAction()->shortcut().isEmpty());
    auto *dock = find<EventLogDock>(u"dockEventLog"_s);
    EXPECT_FALSE(dock->isVisible());
    for (const bool shown : {true, false}) {
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        EXPECT_EQ(dock->isVisible(), shown);
    }

    QDialog *dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    const auto shown = [&] {
        return QStringList{in<QCheckBox>(dialog, u"chkProbing"_s)->isChecked() ? u"on"_s : u"off"_s,
                           in<QSpinBox>(dialog, u"spnProbeInterval"_s)->text(),
                           in<QDoubleSpinBox>(dialog, u"spnSilenceThreshold"_s)->text(),
                           in<QSpinBox>(dialog, u"spnSilenceHold"_s)->text(),
                           in<QCheckBox>(dialog, u"chkNotifications"_s)->isChecked() ? u"on"_s : u"off"_s}
            .join(u'|');
    };
    EXPECT_EQ(shown(), u"on|30 s|-40.0 dBFS|5 s|off"_s);
    EXPECT_TRUE(in<QLabel>(dialog, u"lblProbingNotPermitted"_s)->isHidden());

    // Probing off keeps the interval chosen, but not editable.
    in<QSpinBox>(dialog, u"spnProbeInterval"_s)->setValue(45);
    in<QCheckBox>(dialog, u"chkProbing"_s)->click();
    EXPECT_FALSE(in<QSpinBox>(dialog, u"spnProbeInterval"_s)->isEnabled());
    in<QDoubleSpinBox>(dialog, u"spnSilenceThreshold"_s)->setValue(-62.5);
    in<QSpinBox>(dialog, u"spnSilenceHold"_s)->setValue(20);
    in<QCheckBox>(dialog, u"chkNotifications"_s)->click();
    press(dialog, QDialogButtonBox::Ok);

    StatusSettings expected = before;
    expected.probingEnabled = false;
    expected.probeIntervalS = 45;
    expected.silenceThresholdDbfs = -62.5;
    expected.silenceHoldS = 20;
    expected.notificationsEnabled = true;
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(console->settings().settings(), expected);
    EXPECT_FALSE(console->reachability().isEnabled());
    EXPECT_EQ(
        std::pair(console->silenceWatch().options().thresholdDbfs, console->silenceWatch().options().holdMs),
        std::pair(-62.5, 20000));
    EXPECT_TRUE(console->silenceWatch().isWatched(kEncoderKey)); // passed through untouched

    // Cancel keeps everything; the defaults button only fills the controls.
    dialog = openSettings();
    in<QSpinBox>(dialog, u"spnSilenceHold"_s)->setValue(99);
    press(dialog, QDialogButtonBox::RestoreDefaults);
    EXPECT_EQ(shown(), u"on|10 s|-50.0 dBFS|10 s|on"_s);
    press(dialog, QDialogButtonBox::Cancel);
    EXPECT_EQ(stored(), expected);

    // Where echoes are not permitted, the dialog says how the package allows them.
    asyncProber.permitted = false;
    ASSERT_TRUE(startWithStatus());
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    auto *hint = in<QLabel>(dialog, u"lblProbingNotPermitted"_s);
    EXPECT_EQ(std::pair(hint->isHidden(), hint->text()), std::pair(false, probingNotPermittedText()));
    EXPECT_FALSE(hint->text().isEmpty());
}

TEST_F(StatusConsoleTest, EventLogFiltersByTheShownElementAndSeverityAndSavesWhatItShows) {
    ASSERT_TRUE(startWithStatus());
    EventLogDock &dock = console->eventLogDock();
    EventLog &log = console->eventLog();
    const int before = dock.model().rowCount();
    // The MAC as the log writes it or as the panel shows it: the same element.
    log.append(EventSeverity::Alarm, u"Silence alarm"_s, u"below -50 dBFS for 10 s"_s, u"ENC 1"_s,
               u"00-A0-C9-00-00-02"_s);
    log.append(EventSeverity::Information, u"Status changed"_s, u"Online"_s, u"ENC 1"_s, kEncoderMac);
    log.append(EventSeverity::Warning, u"Status changed"_s, u"Offline"_s, u"DEC 1"_s, kDecoderMac);
    log.append(EventSeverity::Information, u"Discovery ended"_s, u"2 answers"_s);
    dock.model().flushArrivals();
    ASSERT_EQ(dock.model().rowCount(), before + 4);

    const auto shownDetails = [&] {
        QStringList details;
        for (const EventRow &row : dock.filter().shownRows())
            details << row.detail;
        return details;
    };
    clickNode(kEncoderMac);
    in<QCheckBox>(&dock, u"chkSelectedElementOnly"_s)->click();
    EXPECT_EQ(shownDetails(), (QStringList{u"below -50 dBFS for 10 s"_s, u"Online"_s}));
    clickNode(kDecoderMac); // follows the panel
    EXPECT_EQ(shownDetails(), QStringList{u"Offline"_s});
    window->Refresh(); // no element shown: the program's own events
    EXPECT_TRUE(shownDetails().contains(u"2 answers"_s));
    EXPECT_FALSE(shownDetails().contains(u"Offline"_s));

    in<QCheckBox>(&dock, u"chkSelectedElementOnly"_s)->click();
    in<QComboBox>(&dock, u"cmbSeverity"_s)->setCurrentIndex(1);
    EXPECT_TRUE(shownDetails().contains(u"Offline"_s));
    EXPECT_FALSE(shownDetails().contains(u"Online"_s));
    in<QComboBox>(&dock, u"cmbSeverity"_s)->setCurrentIndex(2);
    EXPECT_EQ(shownDetails().filter(u"dBFS"_s), QStringList{u"below -50 dBFS for 10 s"_s});
    EXPECT_FALSE(shownDetails().contains(u"Offline"_s));

    // The CSV holds a header and the rows shown, nothing else.
    const QString path = folder() + u"/shown.csv"_s;
    ASSERT_TRUE(dock.saveCsv(path));
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_EQ(text.count("\r\n"), dock.filter().rowCount() + 1);
    EXPECT_TRUE(text.contains("below -50 dBFS for 10 s"));
    EXPECT_FALSE(text.contains("Offline"));
    QString error;
    EXPECT_FALSE(dock.saveCsv(folder() + u"/missing/shown.csv"_s, &error));
    EXPECT_FALSE(error.isEmpty());

    // The table shows the row as time, element, event, detail.
    const QAbstractItemModel *table = dock.table()->model();
    const int last = table->rowCount() - 1;
    EXPECT_EQ(table->index(last, 1).data().toString(), u"ENC 1 [00-A0-C9-00-00-02]"_s);
    EXPECT_EQ(table->index(last, 2).data().toString(), u"Silence alarm"_s);
    EXPECT_EQ(table->index(last, 2).data(Qt::AccessibleDescriptionRole).toString(),
              severityText(EventSeverity::Alarm));
}

TEST_F(StatusConsoleTest, EventLogModelKeepsTheNewestRowsAndInsertsABurstAtOnce) {
    QTemporaryDir folder;
    EventLog log(clock, folder.path());
    log.append(EventSeverity::Information, u"first"_s);
    EventLogModel model(log, 3);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    for (const QString &event : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
        log.append(EventSeverity::Information, event);
    EXPECT_EQ(model.rowCount(), 1); // not before the event loop runs
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 3; })) << model.rowCount();
    EXPECT_EQ(inserted.size(), 1);
    QStringList events;
    for (int row = 0; row < model.rowCount(); ++row)
        events << model.index(row, EventLogModel::EventColumn).data().toString();
    EXPECT_EQ(events, (QStringList{u"b"_s, u"c"_s, u"d"_s}));
    EXPECT_EQ(removed.size(), 1);
}

TEST_F(StatusConsoleTest, WatchAudioFromTheListOrThePanelChangesTheWatchedEncodersAndIsStored) {
    ASSERT_TRUE(startWithStatus());
    const int decoderRow = 0, encoderRow = 1;
    EXPECT_EQ(contextMenu(decoderRow), QStringList()) << "nothing to watch on a decoder";
    EXPECT_EQ(contextMenu(encoderRow, u"Watch audio"_s), QStringList{u"Watch audio"_s});
    EXPECT_TRUE(console->silenceWatch().isWatched(kEncoderKey));
    EXPECT_EQ(stored().watchedElements, QSet<QString>{kEncoderKey});
    EXPECT_EQ(contextMenu(encoderRow), QStringList{u"Watch audio [x]"_s});
    clickRow(decoderRow);
    EXPECT_EQ(contextMenu(-1), QStringList());
    clickRow(encoderRow);
    EXPECT_EQ(contextMenu(-1), QStringList{u"Watch audio [x]"_s});

    // The panel's check box follows the encoder shown, and switches it off again.
    auto *check = find<QCheckBox>(u"chkWatchAudio"_s);
    clickNode(kDecoderMac);
    EXPECT_EQ(std::pair(check->isEnabled(), check->isChecked()), std::pair(false, false));
    clickNode(kEncoderMac);
    EXPECT_EQ(std::pair(check->isEnabled(), check->isChecked()), std::pair(true, true));
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_FALSE(console->silenceWatch().isWatched(kEncoderKey));
    EXPECT_EQ(stored().watchedElements, QSet<QString>());
    QTest::mouseClick(check, Qt::LeftButton);

    // The next start watches what was stored.
    station.reset();
    ASSERT_TRUE(startWithStatus());
    EXPECT_TRUE(console->silenceWatch().isWatched(kEncoderKey));
    EXPECT_TRUE(elementTree(*window).model().isWatchedAt(encoderRow));
}

TEST_F(StatusConsoleTest, TheOperatorsPingAndTheBackgroundProbesReachTheRowsOfTheirAddress) {
    writeIni(iniText({{kDecoderKey, with(decoderKeys(), u"IP=127.0.0.2"_s)}, {kEncoderKey, encoderKeys()}}));
    ASSERT_TRUE(startWithStatus());
    const auto row = [&](const QString &mac) {
        const QModelIndex index = elementTree(*window).shownIndex(mac);
        QStringList cells;
        for (int column = 1; column < ElementListModel::ColumnCount; ++column)
            cells << index.siblingAtColumn(column).data().toString();
        return cells;
    };
    prober.results.push_back(EchoResult{EchoStatus::Success, 12});
    clickNode(kEncoderMac);
    QTest::mouseClick(find<QLabel>(u"lblPing"_s), Qt::LeftButton);
    const QStringList online = {u"127.0.0.1"_s, u"Online"_s};
    EXPECT_TRUE(QTest::qWaitFor([&] { return row(kEncoderMac).mid(0, 2) == online; }))
        << qPrintable(row(kEncoderMac).join(u'|'));
    EXPECT_EQ(row(kEncoderMac).at(3), u"12 ms"_s);
    EXPECT_FALSE(row(kEncoderMac).at(2).isEmpty()); // last seen
    EXPECT_EQ(row(kDecoderMac).at(1), u"Unknown"_s);

    // A round of background probes: each row shows its own answer. (What three misses make is the
    // monitor's to decide, ReachabilityTest's to check.)
    clock.advance(console->reachability().intervalMs());
    console->reachability().tick();
    asyncProber.finishAll(EchoResult{EchoStatus::Success, 3}, Ipv4Address{0x7F000002});
    asyncProber.finishAll(EchoResult{EchoStatus::Success, 4});
    EXPECT_TRUE(QTest::qWaitFor([&] { return row(kDecoderMac).at(1) == u"Online"_s; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return row(kEncoderMac).at(3) == u"4 ms"_s; }));
    EXPECT_EQ(row(kDecoderMac).at(3), u"3 ms"_s);
}

TEST_F(StatusConsoleTest, AnUpdateFromTheNetworkLogsEachElementThatDidNotAnswerByName) {
    ASSERT_TRUE(startWithStatus());
    Discovery &update = station->commands->update();
    Q_EMIT update.notAnswered({kEncoderKey, u"00A0C90000FF"_s});
    QStringList rows;
    for (const EventRow &row : console->eventLog().rows())
        rows << row.event + u'|' + row.elementName + u'|' + row.elementMac;
    EXPECT_EQ(rows.mid(rows.size() - 2), (QStringList{u"Did not answer the update|ENC 1|"_s + kEncoderMac,
                                                      u"Did not answer the update||00:A0:C9:00:00:FF"_s}));
}

// The status bar renders its presenter (tests/unit/presenters): the window's own parts reach it.
TEST_F(StatusConsoleTest, TheStatusBarShowsTheLastOutcomeAndTheCountsOfTheWindowsParts) {
    writeIni(iniText({{kDecoderKey, with(decoderKeys(), u"IP=127.0.0.2"_s)}, {kEncoderKey, encoderKeys()}}));
    ASSERT_TRUE(startWithStatus());
    const auto label = [this](const QString &name) { return find<QLabel>(name); };
    EXPECT_EQ(label(u"lblElementsListed"_s)->text(), u"Elements: 2"_s);
    EXPECT_EQ(label(u"lblElementsOnline"_s)->text(), u"Online: 0"_s);
    EXPECT_TRUE(label(u"lblElementsOnline"_s)->isVisible());
    EXPECT_EQ(label(u"lblLastOutcome"_s)->accessibleName(), u"Last action"_s);

    clickNode(kEncoderMac);
    clock.advance(61 * 1000);
    prober.results.push_back(EchoResult{EchoStatus::Success, 7});
    QSignalSpy echoed(window, &MainWindow::pingEchoed);
    QTest::mouseClick(find<QLabel>(u"lblPing"_s), Qt::LeftButton);
    EXPECT_TRUE(!echoed.isEmpty() || echoed.wait(5000));
    const QString time = clock.wallTime().toLocalTime().toString(u"HH:mm:ss"_s);
    EXPECT_EQ(label(u"lblLastOutcome"_s)->text(), time + u"  Ping ENC 1: 7 ms"_s);
    EXPECT_EQ(label(u"lblLastOutcome"_s)->toolTip(), label(u"lblLastOutcome"_s)->text());
    station->commands->exportTo(folder() + u"/out.csv"_s);
    EXPECT_EQ(label(u"lblLastOutcome"_s)->text(), time + u"  Export: 2 written to out.csv"_s);
    notifier.answers = {Answer::Yes}; // a merging import, then the restore of what it replaced
    station->commands->importFrom(folder() + u"/out.csv"_s, false);
    EXPECT_EQ(label(u"lblLastOutcome"_s)->text(), time + u"  Import: 2 stored"_s);
    notifier.answers = {Answer::Yes};
    station->commands->restorePrevious();
    EXPECT_EQ(label(u"lblLastOutcome"_s)->text(), time + u"  Previous database restored"_s);
    // Without probes the online count says nothing and goes.
    StatusSettings off = console->settings().settings();
    off.probingEnabled = false;
    console->settings().apply(off);
    EXPECT_FALSE(label(u"lblElementsOnline"_s)->isVisible());
    elementTree(*window).emptyLists();
    EXPECT_EQ(label(u"lblElementsListed"_s)->text(), u"Elements: 0"_s);
}

} // namespace
} // namespace ondalink::testing

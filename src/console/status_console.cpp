// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/status_console.h"

#include "console/database_commands.h"
#include "console/diagnostics_frame.h"
#include "console/element_tree.h"
#include "console/event_log_dock.h"
#include "console/main_window.h"
#include "console/presenters/status_bar_presenter.h"
#include "console/settings_dialog.h"
#include "console/status_bar_view.h"
#include "model/element_record.h"
#include "model/mac_text.h"
#include "status/alarm_notifier.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/silence_watch.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

SilenceOptions silenceOptions(const StatusSettings &value, SilenceOptions options) {
    options.thresholdDbfs = value.silenceThresholdDbfs;
    options.holdMs = value.silenceHoldS * 1000;
    options.clearMs = value.silenceClearS * 1000;
    return options;
}

} // namespace

StatusConsole::StatusConsole(MainWindow &window, StatusSeams seams, QObject *parent)
    : QObject(parent), m_window(window), m_seams(std::move(seams)) {
    m_log = std::make_unique<EventLog>(m_seams.clock, m_seams.eventFolder);
    m_recorder = std::make_unique<EventRecorder>(*m_log, window.database());
    m_reachability = std::make_unique<ReachabilityMonitor>(window.database(), m_seams.prober, m_seams.clock,
                                                           m_seams.reachability);
    m_silence = std::make_unique<SilenceWatch>(window.link(), window.database(), m_seams.clock);
    m_alarms = std::make_unique<AlarmNotifier>(m_seams.notifications, *m_reachability, m_silence.get());
    m_dock = new EventLogDock(*m_log, m_seams.notifier, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    m_statusBar =
        new StatusBarPresenter(window.link(), window.discovery(), window.databaseCommands().update(),
                               *m_reachability, m_seams.clock, this);
    new StatusBarView(*window.statusBar(), *m_statusBar);

    buildMenus();
    connectParts();
    apply(readStatusSettings(m_seams.settings).normalized());
    listReloaded();
}

StatusConsole::~StatusConsole() {
    // The notifier and the recorder listen to the monitors: they go first.
    m_alarms.reset();
    m_recorder.reset();
    m_silence.reset();
    m_reachability.reset();
}

// Tools > Settings… and View > Event log, between the window's own menus and
// Help.
void StatusConsole::buildMenus() {
    QMenuBar *bar = m_window.menuBar();
    QAction *help = nullptr;
    if (auto *helpMenu = m_window.findChild<QMenu *>(u"mnuHelp"_s))
        help = helpMenu->menuAction();

    // Tools, not Edit: Alt+E opens the Elements menu.
    auto *tools = new QMenu(tr("&Tools"), bar);
    tools->setObjectName(u"mnuTools"_s);
    m_settingsAction = tools->addAction(tr("&Settings…"), this, &StatusConsole::openSettings);
    m_settingsAction->setObjectName(u"actSettings"_s);
    m_settingsAction->setMenuRole(QAction::PreferencesRole);
    // The desktop's own key for preferences where it has one.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Preferences);
    if (keys.isEmpty())
        keys = {QKeySequence(Qt::CTRL | Qt::Key_Comma)};
    m_settingsAction->setShortcuts(keys);
    m_settingsAction->setShortcutContext(Qt::WindowShortcut);
    bar->insertMenu(help, tools);

    auto *view = new QMenu(tr("&View"), bar);
    view->setObjectName(u"mnuView"_s);
    QAction *eventLog = m_dock->toggleViewAction();
    eventLog->setObjectName(u"actEventLog"_s);
    eventLog->setText(tr("Event &log"));
    eventLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    eventLog->setShortcutContext(Qt::WindowShortcut);
    view->addAction(eventLog);
    bar->insertMenu(help, view);
    // The shortcuts work while the menu bar is closed.
    m_window.addAction(m_settingsAction);
    m_window.addAction(eventLog);
}

void StatusConsole::connectParts() {
    ElementTree &tree = m_window.elementTree();
    ElementListModel &list = tree.model();
    m_reachability->attachLink(m_window.link());
    m_recorder->attachLink(m_window.link());
    m_recorder->attachDiscovery(m_window.discovery(), m_window.link());
    m_recorder->attachUpdate(m_window.databaseCommands().update());
    m_recorder->attachLevelMonitor(m_window.levelMonitor(), m_window.link());
    m_recorder->attachReachability(*m_reachability);
    m_recorder->attachSilenceWatch(*m_silence);

    connect(&tree, &ElementTree::reloaded, this, &StatusConsole::listReloaded);
    connectStatusBar();
    connect(m_reachability.get(), &ReachabilityMonitor::statusChanged, this,
            [this](const QString &key) { showStatus(key); });
    connect(m_reachability.get(), &ReachabilityMonitor::elementUpdated, this, &StatusConsole::showStatus);
    connect(m_silence.get(), &SilenceWatch::silenceChanged, &list, &ElementListModel::setSilence);
    connect(m_silence.get(), &SilenceWatch::watchedChanged, this,
            [this, model = &list](const QSet<QString> &keys) {
                model->setWatched(keys);
                m_settings.watchedElements = keys;
                writeStatusSettings(m_seams.settings, m_settings);
                shownElementChanged(m_window.panel().selectedMac());
            });

    connect(&tree, &ElementTree::watchAudioToggled, this, &StatusConsole::setWatched);
    connect(&m_window.diagnostics(), &DiagnosticsFrame::watchAudioToggled, this,
            [this](bool watched) { setWatched(m_window.panel().selectedMac(), watched); });
    connect(&m_window.panel(), &PropertiesPanel::shownElementChanged, this,
            &StatusConsole::shownElementChanged);
    connect(&m_window.pingPresenter(), &PingPresenter::echoed, this,
            [this](Ipv4Address address, const EchoResult &result) {
                m_reachability->recordPing(address.toString(), result);
                m_recorder->recordPing(address.toString(), result);
            });
}

void StatusConsole::connectStatusBar() {
    StatusBarPresenter *bar = m_statusBar;
    ElementListModel &list = m_window.elementTree().model();
    const auto count = [bar, &list] { bar->setListedCount(list.rowCount()); };
    connect(&list, &QAbstractItemModel::modelReset, bar, count);
    connect(&list, &QAbstractItemModel::rowsInserted, bar, count);
    connect(&list, &QAbstractItemModel::rowsRemoved, bar, count);
    count();
    connect(&m_window.panel(), &PropertiesPanel::shownElementChanged, bar, &StatusBarPresenter::setShownMac);
    connect(&m_window.pingPresenter(), &PingPresenter::echoed, bar, &StatusBarPresenter::echoed);
    DatabaseCommands &commands = m_window.databaseCommands();
    connect(&commands, &DatabaseCommands::notAnswered, bar,
            [bar](const QStringList &keys) { bar->updateNotAnswered(keys.size()); });
    connect(&commands, &DatabaseCommands::additionFinished, bar, &StatusBarPresenter::additionFinished);
    connect(&commands, &DatabaseCommands::imported, bar, &StatusBarPresenter::imported);
    connect(&commands, &DatabaseCommands::restored, bar, &StatusBarPresenter::restored);
    connect(&commands, &DatabaseCommands::exported, bar, &StatusBarPresenter::exported);
}

void StatusConsole::listReloaded() {
    // One reading of nms.ini per reload: the tree's.
    const QList<ElementListing> &listing = m_window.elementTree().listing();
    m_reachability->reload(listing);
    m_silence->reload(listing);
    m_recorder->reloadNames(listing);
    m_statusBar->setListing(listing);
    ElementListModel &list = m_window.elementTree().model();
    list.setWatched(m_silence->watched());
    for (const ElementState &state : m_reachability->states())
        list.setReachability(state);
    const QSet<QString> watched = m_silence->watched();
    for (const QString &key : watched)
        list.setSilence(key, m_silence->state(key));
}

void StatusConsole::showStatus(const QString &elementKey) {
    if (const ElementState *state = m_reachability->state(elementKey))
        m_window.elementTree().model().setReachability(*state);
}

void StatusConsole::shownElementChanged(const QString &mac) {
    m_dock->setSelectedElement(mac);
    const bool encoder = !mac.isEmpty() && m_window.panel().shownRole() == ElementRole::Encoder;
    m_window.diagnostics().showWatchAudio(encoder, m_silence->isWatched(macToElementKey(mac)));
}

void StatusConsole::setWatched(const QString &mac, bool watched) {
    const QString key = macToElementKey(mac);
    if (!key.isEmpty())
        m_silence->setWatched(key, watched);
}

void StatusConsole::apply(const StatusSettings &value) {
    m_settings = value;
    m_reachability->setIntervalSeconds(value.probeIntervalS);
    m_reachability->setEnabled(value.probingEnabled);
    m_statusBar->probingChanged();
    m_silence->setOptions(silenceOptions(value, m_silence->options()));
    m_silence->setWatched(value.watchedElements);
    m_alarms->setEnabled(value.notificationsEnabled);
}

void StatusConsole::applySettings(const StatusSettings &value) {
    apply(value.normalized());
    writeStatusSettings(m_seams.settings, m_settings);
}

void StatusConsole::openSettings() {
    auto *dialog = new SettingsDialog(m_settings, m_reachability->probingPermitted(), &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        StatusSettings value = dialog->settings();
        value.watchedElements = m_settings.watchedElements; // changed meanwhile by the toggles
        applySettings(value);
    });
    dialog->open();
}

} // namespace ondalink

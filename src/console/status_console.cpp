// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/status_console.h"

#include "console/configuration_console.h"
#include "console/models/element_list_model.h"
#include "console/presenters/status_bar_presenter.h"
#include "console/presenters/status_settings_presenter.h"
#include "console/widgets/event_log_dock.h"
#include "console/widgets/main_window.h"
#include "console/widgets/settings_dialog.h"
#include "console/widgets/status_bar_view.h"
#include "model/element_record.h"
#include "model/mac_text.h"
#include "status/alarm_notifier.h"
#include "status/drift_watch.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/silence_watch.h"
#include "store/configuration_compare.h"
#include "store/element_database.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace ondalink {

StatusConsole::StatusConsole(MainWindow &window, StatusParts parts, StatusSeams seams, QObject *parent)
    : QObject(parent), m_window(window), m_parts(parts), m_seams(std::move(seams)) {
    m_log = std::make_unique<EventLog>(m_seams.clock, m_seams.eventFolder);
    m_recorder = std::make_unique<EventRecorder>(*m_log, parts.database);
    m_reachability = std::make_unique<ReachabilityMonitor>(parts.database, m_seams.prober, m_seams.clock,
                                                           m_seams.reachability);
    m_silence = std::make_unique<SilenceWatch>(parts.link, parts.database, m_seams.clock);
    m_drift = std::make_unique<DriftWatch>(parts.link, parts.database);
    m_alarms = std::make_unique<AlarmNotifier>(m_seams.notifications, *m_reachability, m_silence.get());
    m_alarms->attachDriftWatch(*m_drift);
    m_configurations = std::make_unique<ConfigurationConsole>(window, m_parts, *m_drift, m_seams.notifier,
                                                              m_seams.historyFolder);
    m_dock = new EventLogDock(*m_log, m_seams.notifier, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    m_statusBar = new StatusBarPresenter(parts.link, parts.discovery, parts.commands.update(),
                                         *m_reachability, m_seams.clock, this);
    new StatusBarView(*window.statusBar(), *m_statusBar);

    buildMenus();
    buildElementActions();
    connectParts();
    m_settings = new StatusSettingsPresenter(m_seams.settings, *m_reachability, *m_silence, *m_alarms, this);
    m_settings->attachDriftWatch(*m_drift);
    connect(m_settings, &StatusSettingsPresenter::applied, m_statusBar, &StatusBarPresenter::probingChanged);
    m_statusBar->probingChanged();
    listReloaded();
}

StatusConsole::~StatusConsole() {
    // The notifier and the recorder listen to the monitors: they go first.
    m_alarms.reset();
    m_configurations.reset();
    m_recorder.reset();
    m_drift.reset();
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
    ElementListModel &list = m_window.listModel();
    ElementLink &link = m_parts.link;
    m_reachability->attachLink(link);
    m_recorder->attachLink(link);
    m_recorder->attachDiscovery(m_parts.discovery, link);
    m_recorder->attachUpdate(m_parts.commands.update());
    m_recorder->attachLevelMonitor(m_parts.level, link);
    m_recorder->attachReachability(*m_reachability);
    m_recorder->attachSilenceWatch(*m_silence);
    m_recorder->attachDriftWatch(*m_drift);
    connect(m_drift.get(), &DriftWatch::driftFound, this, [this, model = &list](const QString &key) {
        model->setDrift(key, true);
        updateElementActions();
    });
    connect(m_drift.get(), &DriftWatch::driftCleared, this, [this, model = &list](const QString &key) {
        model->setDrift(key, false);
        updateElementActions();
    });

    connect(&m_window, &MainWindow::listReloaded, this, &StatusConsole::listReloaded);
    connectStatusBar();
    connect(m_reachability.get(), &ReachabilityMonitor::statusChanged, this,
            [this](const QString &key) { showStatus(key); });
    connect(m_reachability.get(), &ReachabilityMonitor::elementUpdated, this, &StatusConsole::showStatus);
    connect(m_silence.get(), &SilenceWatch::silenceChanged, &list, &ElementListModel::setSilence);
    connect(m_silence.get(), &SilenceWatch::watchedChanged, this,
            [this, model = &list](const QSet<QString> &keys) {
                model->setWatched(keys);
                shownElementChanged(m_window.shownMac());
            });

    connect(&m_window, &MainWindow::watchAudioToggled, this, &StatusConsole::setWatched);
    connect(&m_window, &MainWindow::shownElementChanged, this, &StatusConsole::shownElementChanged);
    connect(&m_window, &MainWindow::pingEchoed, this, [this](Ipv4Address address, const EchoResult &result) {
        m_reachability->recordPing(address.toString(), result);
        m_recorder->recordPing(address.toString(), result);
    });
}

void StatusConsole::connectStatusBar() {
    StatusBarPresenter *bar = m_statusBar;
    ElementListModel &list = m_window.listModel();
    const auto count = [bar, &list] { bar->setListedCount(list.rowCount()); };
    connect(&list, &QAbstractItemModel::modelReset, bar, count);
    connect(&list, &QAbstractItemModel::rowsInserted, bar, count);
    connect(&list, &QAbstractItemModel::rowsRemoved, bar, count);
    count();
    connect(&m_window, &MainWindow::shownElementChanged, bar, &StatusBarPresenter::setShownMac);
    connect(&m_window, &MainWindow::pingEchoed, bar, &StatusBarPresenter::echoed);
    DatabaseCommandsPresenter &commands = m_parts.commands;
    connect(&commands, &DatabaseCommandsPresenter::notAnswered, bar,
            [bar](const QStringList &keys) { bar->updateNotAnswered(keys.size()); });
    connect(&commands, &DatabaseCommandsPresenter::additionFinished, bar,
            &StatusBarPresenter::additionFinished);
    connect(&commands, &DatabaseCommandsPresenter::imported, bar, &StatusBarPresenter::imported);
    connect(&commands, &DatabaseCommandsPresenter::restored, bar, &StatusBarPresenter::restored);
    connect(&commands, &DatabaseCommandsPresenter::exported, bar, &StatusBarPresenter::exported);
}

void StatusConsole::listReloaded() {
    // One reading of nms.ini per reload: the tree's.
    const QList<ElementListing> &listing = m_window.listing();
    m_reachability->reload(listing);
    m_silence->reload(listing);
    m_drift->reload(listing);
    m_recorder->reloadNames(listing);
    m_statusBar->setListing(listing);
    ElementListModel &list = m_window.listModel();
    list.setWatched(m_silence->watched());
    for (const ElementState &state : m_reachability->states())
        list.setReachability(state);
    const QSet<QString> watched = m_silence->watched();
    for (const QString &key : watched)
        list.setSilence(key, m_silence->state(key));
    const QList<QString> drifted = m_drift->driftedKeys();
    for (const QString &key : drifted)
        list.setDrift(key, true);
    updateElementActions();
}

void StatusConsole::buildElementActions() {
    m_acceptDrift = new QAction(tr("A&ccept the element's settings"), &m_window);
    m_acceptDrift->setObjectName(u"actAcceptDrift"_s);
    m_acceptDrift->setToolTip(
        tr("Store the settings the element reported, in place of those in the database"));
    connect(m_acceptDrift, &QAction::triggered, this, &StatusConsole::acceptDrift);
    m_sendStored = new QAction(tr("Send the stored co&nfiguration"), &m_window);
    m_sendStored->setObjectName(u"actSendStored"_s);
    m_sendStored->setToolTip(tr("Send the element the settings the database holds for it"));
    connect(m_sendStored, &QAction::triggered, this, &StatusConsole::sendStoredConfiguration);
    m_window.addElementActions({m_acceptDrift, m_sendStored});
}

void StatusConsole::updateElementActions() {
    const bool drifted = m_drift->drift(macToElementKey(m_window.shownMac())) != nullptr;
    m_acceptDrift->setEnabled(drifted);
    m_sendStored->setEnabled(drifted);
}

void StatusConsole::acceptDrift() {
    const QString key = macToElementKey(m_window.shownMac());
    if (m_drift->drift(key) == nullptr)
        return;
    // The panel is about to show other values than the element's loaded ones: nothing may be lost.
    if (!m_window.settlePendingEdits([this] { acceptDrift(); }))
        return;
    if (!m_drift->accept(key)) {
        m_seams.notifier.show(
            {MessageId::DatabaseNotWritten, {QDir::toNativeSeparators(m_parts.database.path())}});
        return;
    }
    m_parts.link.requestTreeReload();
    // Shown again from the file: the panel holds what was stored.
    static_cast<DatabaseSurroundings &>(m_window).selectElement(elementKeyToMac(key));
}

void StatusConsole::sendStoredConfiguration() {
    const QString mac = m_window.shownMac();
    const std::optional<StoredElement> stored = m_parts.database.load(macToElementKey(mac));
    if (!stored)
        return;
    m_window.sendSettings(mac, sectionSettings(*stored));
}

void StatusConsole::showStatus(const QString &elementKey) {
    if (const ElementState *state = m_reachability->state(elementKey))
        m_window.listModel().setReachability(*state);
}

void StatusConsole::shownElementChanged(const QString &mac) {
    m_dock->setSelectedElement(mac);
    updateElementActions();
    const bool encoder = !mac.isEmpty() && m_window.shownRole() == ElementRole::Encoder;
    m_window.showWatchAudio(encoder, m_silence->isWatched(macToElementKey(mac)));
}

void StatusConsole::setWatched(const QString &mac, bool watched) {
    const QString key = macToElementKey(mac);
    if (!key.isEmpty())
        m_silence->setWatched(key, watched);
}

void StatusConsole::openSettings() {
    auto *dialog = new SettingsDialog(m_settings->settings(), m_reachability->probingPermitted(), &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, m_settings,
            [this, dialog] { m_settings->accept(dialog->settings()); });
    dialog->open();
}

} // namespace ondalink

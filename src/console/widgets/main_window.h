// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/presenters/database_commands_presenter.h"
#include "console/presenters/ping_presenter.h"
#include "console/widgets/properties_panel.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "store/element_database.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QToolBar;

namespace ondalink {

class DatabaseCommands;
class DiagnosticsFrame;
class ElementListModel;
class ElementTree;
class EchoProber;
class Notifier;
class PagingWindow;
class UnsavedEditsGuard;

// What the main window is built from besides its parts. The defaults are the system's own.
struct MainWindowSettings {
    QString databasePath = ElementDatabase::defaultPath();
    LinkSettings link;
    int pingRetryMs = PingPresenter::kRetryIntervalMs;
};

// What the window shows and commands, made before it (app/ composes them).
struct MainWindowParts {
    Notifier &notifier;
    ElementDatabase &database;
    ElementLink &link;
    LevelMonitor &level;
    Discovery &discovery; // Auto Discovery's
    EchoProber &prober;   // the operator's ping
};

// frmMain: the toolbar, the element tree, the properties panel and the diagnostics frame.
class MainWindow : public QMainWindow,
                   public DatabaseSurroundings,
                   private PanelSurroundings,
                   private PingView {
    Q_OBJECT
public:
    // The toolbar's commands, also in the Elements menu.
    enum class Command { Discover, Refresh, Save, StartMonitoring, StopMonitoring };
    static constexpr int kCommandCount = 5;

    explicit MainWindow(MainWindowParts parts, const MainWindowSettings &settings = {},
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up after the single-instance test: the monitoring commands off, the tree, the endpoint,
    // the title. False when the program has to end (the operator has been told why).
    bool Form_Load();
    // Shutdown: closes the endpoint. Runs when the window closes.
    void Form_Unload();

    void Load_Config();
    void AutoDiscovery();
    void Refresh();
    // Before a command replaces the panel or the database under it: true when it may go on now
    // (nothing unsaved, or discarded); after a Save, proceed runs once the element has confirmed it.
    bool settlePendingEdits(std::function<void()> proceed) override;
    // The Save command: the panel's Save; a refusal puts the focus on the field it names.
    ElementLink::SaveOutcome saveChanges();

    QAction *action(Command command) const { return m_commands[static_cast<size_t>(command)]; }
    // Shows the element as a click in the list would (unsaved edits are asked about), puts the settings
    // into its panel and runs Save: its checks, its question, the write and the element's confirmation.
    // False when the element could not be shown or nothing was sent.
    bool sendSettings(const QString &mac, const KeyValues &settings);
    // Commands on the shown element: in the Elements menu before Quit and in the list's context menu.
    void addElementActions(const QList<QAction *> &actions);
    // The database commands in the Elements menu before Quit, and Add in the list's context menu.
    void addDatabaseCommands(const DatabaseCommands &commands);

    // What the panel shows now: the selected element and its working copy (what a Save sends).
    ConfigurationWrite shownElement() const;
    // The shown element (colon-form MAC, empty for none) and its role.
    const QString &shownMac() const;
    std::optional<ElementRole> shownRole() const;
    // The list's rows, and what its last reload listed.
    ElementListModel &listModel() const;
    const QList<ElementListing> &listing() const;
    // The panel's "Watch audio", for an encoder only.
    void showWatchAudio(bool shown, bool watched);

    // Help > About: the version and the database path, in a box that leaves the window usable.
    void showAbout();

Q_SIGNALS:
    // The list has been reloaded from the file.
    void listReloaded();
    // Another element (colon-form MAC), or none, is shown.
    void shownElementChanged(const QString &mac);
    // "Watch audio" was toggled in the list or in the panel.
    void watchAudioToggled(const QString &mac, bool watched);
    // The operator's ping of an address has ended.
    void pingEchoed(ondalink::Ipv4Address address, const ondalink::EchoResult &result);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildToolbar();
    void buildMenus();
    void buildCentre();
    void connectParts();
    // The operator chose a node of the list: loaded unless unsaved edits keep the shown element.
    void nodeClicked(const QString &nodeKey, const QString &nodeText);
    void runDiscovery();

    // DatabaseSurroundings
    void clearPanel() override;
    void runPaging(Discovery &discovery) override;
    void reloadList() override { Load_Config(); }
    void refreshList() override { Refresh(); }
    void selectElement(const QString &mac) override;

    // PanelSurroundings
    void setMonitoringButtons(bool startEnabled, bool stopEnabled) override;
    void switchMonitoringOff() override;
    void resetLevelDisplay(bool meterEnabled) override;
    void setPingNeutral() override;
    void setPingLabel(const QString &text) override;
    void attenuationChosen(int position) override;
    // PingView
    QString elementIp() const override;
    void showPingLabel(const QString &text) override;
    void setPingIndicator(IndicatorColour colour) override;

    Notifier &m_notifier;
    ElementDatabase &m_database;
    ElementLink &m_link;
    LevelMonitor &m_level;
    Discovery &m_discovery;
    QToolBar *Toolbar1 = nullptr;
    std::array<QAction *, kCommandCount> m_commands{};
    DiagnosticsFrame *m_diagnostics = nullptr;
    PropertiesPanel *m_panel = nullptr;
    ElementTree *m_tree = nullptr;
    std::unique_ptr<PingPresenter> m_ping;
    UnsavedEditsGuard *m_editsGuard = nullptr;
    bool m_unloaded = false;
};

} // namespace ondalink

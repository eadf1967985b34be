// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/presenters/ping_presenter.h"
#include "console/properties_panel.h"
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
class ElementTree;
class EchoProber;
class MacResolver;
class Notifier;
class PagingWindow;
class UnsavedEditsGuard;

// What the main window is built from besides its seams. The defaults are the system's own.
struct MainWindowSettings {
    QString databasePath = ElementDatabase::defaultPath();
    LinkSettings link;
    int pingRetryMs = PingPresenter::kRetryIntervalMs;
};

// frmMain: the toolbar, the element tree, the properties panel and the diagnostics frame.
class MainWindow : public QMainWindow, private PanelSurroundings, private PingView {
    Q_OBJECT
public:
    // The toolbar's commands, also in the Elements menu.
    enum class Command { Discover, Refresh, Save, StartMonitoring, StopMonitoring };
    static constexpr int kCommandCount = 5;

    MainWindow(Notifier &notifier, MacResolver &resolver, EchoProber &prober,
               MainWindowSettings settings = {}, QWidget *parent = nullptr);
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
    bool settlePendingEdits(std::function<void()> proceed);
    // The Save command: the panel's Save; a refusal puts the focus on the field it names.
    ElementLink::SaveOutcome saveChanges();

    QAction *action(Command command) const { return m_commands[static_cast<size_t>(command)]; }
    PropertiesPanel &panel() const { return *m_panel; }
    ElementTree &elementTree() const { return *m_tree; }
    DiagnosticsFrame &diagnostics() const { return *m_diagnostics; }
    ElementDatabase &database() { return m_database; }
    ElementLink &link() const { return *m_link; }
    LevelMonitor &levelMonitor() const { return *m_level; }
    PingPresenter &pingPresenter() const { return *m_ping; }
    Discovery &discovery() const { return *m_discovery; }
    DatabaseCommands &databaseCommands() const { return *m_databaseCommands; }

    // Help > About: the version and the database path, in a box that leaves the window usable.
    void showAbout();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildToolbar();
    void buildMenus();
    void buildCentre();
    void connectParts();
    // The operator chose a node of the list: loaded unless unsaved edits keep the shown element.
    void selectElement(const QString &nodeKey, const QString &nodeText);
    void runDiscovery();

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
    ElementDatabase m_database;
    MainWindowSettings m_settings;
    QToolBar *Toolbar1 = nullptr;
    std::array<QAction *, kCommandCount> m_commands{};
    DiagnosticsFrame *m_diagnostics = nullptr;
    PropertiesPanel *m_panel = nullptr;
    ElementTree *m_tree = nullptr;
    std::unique_ptr<ElementLink> m_link;
    std::unique_ptr<LevelMonitor> m_level;
    std::unique_ptr<PingPresenter> m_ping;
    std::unique_ptr<Discovery> m_discovery;
    UnsavedEditsGuard *m_editsGuard = nullptr;
    DatabaseCommands *m_databaseCommands = nullptr; // a child
    bool m_unloaded = false;
};

} // namespace ondalink

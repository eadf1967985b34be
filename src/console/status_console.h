// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/reachability_monitor.h"
#include "status/status_settings.h"

#include <QObject>

#include <memory>

class QAction;
class QSettings;

namespace ondalink {

class AlarmNotifier;
class AsyncEchoProber;
class ConfigurationConsole;
class Clock;
class DatabaseCommandsPresenter;
class DriftWatch;
class Discovery;
class ElementDatabase;
class ElementLink;
class EventLog;
class EventLogDock;
class EventRecorder;
class LevelMonitor;
class MainWindow;
class NotificationSink;
class Notifier;
class SilenceWatch;
class StatusBarPresenter;
class StatusSettingsPresenter;

// The parts whose events and outcomes the status follows, made before it (app/ composes them).
struct StatusParts {
    ElementDatabase &database;
    ElementLink &link;
    Discovery &discovery; // Auto Discovery's
    LevelMonitor &level;
    DatabaseCommandsPresenter &commands;
};

// What the status of the elements is made of besides the window; the app passes
// the system's own, tests pass fakes, a fake clock, temporary folders and short
// intervals.
struct StatusSeams {
    AsyncEchoProber &prober;
    Clock &clock;
    NotificationSink &notifications;
    Notifier &notifier;    // the boxes of the status parts
    QSettings &settings;   // per-user; the group "Status"
    QString eventFolder;   // empty: the per-user data folder
    QString historyFolder; // empty: the per-user data folder
    ReachabilityOptions reachability;
};

// The status of every element in the main window: probes and silence watch
// feeding the element list's columns, Tools > Settings…, View > Event log,
// "Watch audio" in the list and the panel, and alarms as desktop notifications.
// Made after the window and before its Form_Load; gone before the window and
// the parts.
class StatusConsole : public QObject {
    Q_OBJECT
public:
    StatusConsole(MainWindow &window, StatusParts parts, StatusSeams seams, QObject *parent = nullptr);
    ~StatusConsole() override;

    ReachabilityMonitor &reachability() const { return *m_reachability; }
    SilenceWatch &silenceWatch() const { return *m_silence; }
    DriftWatch &driftWatch() const { return *m_drift; }
    ConfigurationConsole &configurations() const { return *m_configurations; }
    EventLog &eventLog() const { return *m_log; }
    EventLogDock &eventLogDock() const { return *m_dock; }
    QAction *settingsAction() const { return m_settingsAction; }

    StatusSettingsPresenter &settings() const { return *m_settings; }
    // Tools > Settings…: the dialog; OK applies what it holds.
    void openSettings();
    // The shown element's drift: its report stored, or the stored configuration sent to it (Save's
    // question and confirmation).
    void acceptDrift();
    void sendStoredConfiguration();
    // "Watch audio" of the element with that colon-form MAC.
    void setWatched(const QString &mac, bool watched);

private:
    void buildMenus();
    void connectParts();
    void connectStatusBar();
    void listReloaded();
    void shownElementChanged(const QString &mac);
    void showStatus(const QString &elementKey);
    void buildElementActions();
    void updateElementActions();

    MainWindow &m_window;
    StatusParts m_parts;
    StatusSeams m_seams;
    std::unique_ptr<EventLog> m_log;
    std::unique_ptr<EventRecorder> m_recorder;
    std::unique_ptr<ReachabilityMonitor> m_reachability;
    std::unique_ptr<SilenceWatch> m_silence;
    std::unique_ptr<DriftWatch> m_drift;
    std::unique_ptr<AlarmNotifier> m_alarms;
    std::unique_ptr<ConfigurationConsole> m_configurations;
    StatusSettingsPresenter *m_settings = nullptr; // a child
    EventLogDock *m_dock = nullptr;
    StatusBarPresenter *m_statusBar = nullptr; // a child
    QAction *m_settingsAction = nullptr;
    QAction *m_acceptDrift = nullptr;
    QAction *m_sendStored = nullptr;
};

} // namespace ondalink

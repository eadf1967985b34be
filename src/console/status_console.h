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
class Clock;
class EventLog;
class EventLogDock;
class EventRecorder;
class MainWindow;
class NotificationSink;
class Notifier;
class SilenceWatch;
class StatusBarPresenter;

// What the status of the elements is made of besides the window; the app passes
// the system's own, tests pass fakes, a fake clock, temporary folders and short
// intervals.
struct StatusSeams {
    AsyncEchoProber &prober;
    Clock &clock;
    NotificationSink &notifications;
    Notifier &notifier;  // the boxes of the status parts
    QSettings &settings; // per-user; the group "Status"
    QString eventFolder; // empty: the per-user data folder
    ReachabilityOptions reachability;
};

// The status of every element in the main window: probes and silence watch
// feeding the element list's columns, Tools > Settings…, View > Event log,
// "Watch audio" in the list and the panel, and alarms as desktop notifications.
// Made after the window and before its Form_Load; gone before the window (its
// monitors use the window's link).
class StatusConsole : public QObject {
    Q_OBJECT
public:
    StatusConsole(MainWindow &window, StatusSeams seams, QObject *parent = nullptr);
    ~StatusConsole() override;

    ReachabilityMonitor &reachability() const { return *m_reachability; }
    SilenceWatch &silenceWatch() const { return *m_silence; }
    EventLog &eventLog() const { return *m_log; }
    EventLogDock &eventLogDock() const { return *m_dock; }
    QAction *settingsAction() const { return m_settingsAction; }

    const StatusSettings &settings() const { return m_settings; }
    // Applies the value to the monitors and stores it in the per-user settings.
    void applySettings(const StatusSettings &value);
    // Tools > Settings…: the dialog; OK applies what it holds.
    void openSettings();
    // "Watch audio" of the element with that colon-form MAC.
    void setWatched(const QString &mac, bool watched);

private:
    void buildMenus();
    void connectParts();
    void connectStatusBar();
    void apply(const StatusSettings &value);
    void listReloaded();
    void shownElementChanged(const QString &mac);
    void showStatus(const QString &elementKey);

    MainWindow &m_window;
    StatusSeams m_seams;
    StatusSettings m_settings;
    std::unique_ptr<EventLog> m_log;
    std::unique_ptr<EventRecorder> m_recorder;
    std::unique_ptr<ReachabilityMonitor> m_reachability;
    std::unique_ptr<SilenceWatch> m_silence;
    std::unique_ptr<AlarmNotifier> m_alarms;
    EventLogDock *m_dock = nullptr;
    StatusBarPresenter *m_statusBar = nullptr; // a child
    QAction *m_settingsAction = nullptr;
};

} // namespace ondalink

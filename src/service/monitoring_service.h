// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/element_link.h"
#include "service/service_config.h"
#include "service/status_board.h"
#include "store/element_database.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

namespace ondalink {

class AsyncEchoProber;
class Clock;
class EventLog;
class EventRecorder;
class MacResolver;
class Notifier;
class ReachabilityMonitor;
class SilenceWatch;

// What the service talks to outside itself; the program passes the system's, tests their own.
struct ServiceSeams {
    AsyncEchoProber &prober;
    Clock &clock;
    MacResolver &resolver;
    Notifier &notifier; // what the link would have shown in a box goes to the log
};

// The status of every element without a window: the database read (never written) and followed
// when it changes, reachability probing, the silence watch of the configured encoders and the event
// log, gathered on a StatusBoard for the exporters.
class MonitoringService : public QObject {
    Q_OBJECT
public:
    MonitoringService(const ServiceConfig &config, ServiceSeams seams, LinkSettings link = {},
                      QObject *parent = nullptr);
    ~MonitoringService() override;

    // Opens the endpoint and reads the database. False with the reason; nothing runs then.
    bool start(QString *error);

    StatusBoard &board() { return m_board; }
    const StatusBoard &board() const { return m_board; }
    EventLog &eventLog() const { return *m_log; }
    ReachabilityMonitor &reachability() const { return *m_reachability; }
    SilenceWatch &silenceWatch() const { return *m_silence; }
    ElementLink &link() const { return *m_link; }
    QString databasePath() const { return m_database.path(); }
    ServiceCounters counters() const;

    // How long the database must be still after a change before it is read: a writer replaces it
    // through a temporary file and a rename.
    static constexpr int kSettleMs = 300;

Q_SIGNALS:
    // The database was read again after a change (elements listed), or could not be (why).
    void reloaded(int elements);
    void reloadFailed(const QString &why);

private:
    void watchDatabase();
    void databaseTouched();
    void settled();
    bool reload(QString *error);
    void connectBoard();

    ServiceConfig m_config;
    ServiceSeams m_seams;
    ElementDatabase m_database;
    std::unique_ptr<ElementLink> m_link;
    std::unique_ptr<EventLog> m_log;
    std::unique_ptr<EventRecorder> m_recorder;
    std::unique_ptr<ReachabilityMonitor> m_reachability;
    std::unique_ptr<SilenceWatch> m_silence;
    StatusBoard m_board;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    bool m_started = false;
    // Which file was read last, and as it was then.
    struct FileStamp {
        bool exists = false;
        quint64 device = 0, inode = 0;
        qint64 size = 0, seconds = 0, nanoseconds = 0;
        friend bool operator==(const FileStamp &, const FileStamp &) = default;
    };
    static FileStamp stampOf(const QString &path);
    FileStamp m_readStamp;
    quint64 m_reloads = 0;
    quint64 m_reloadFailures = 0;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/monitoring_service.h"

#include "model/configuration_write.h"
#include "status/event_log.h"
#include "status/event_recorder.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

QList<StatusBoard::Listed> boardListing(const QList<ElementListing> &listing) {
    QList<StatusBoard::Listed> listed;
    listed.reserve(listing.size());
    for (const ElementListing &element : listing)
        listed.append({element.key, element.name, element.ip, element.kind()});
    return listed;
}

} // namespace

MonitoringService::FileStamp MonitoringService::stampOf(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

MonitoringService::MonitoringService(const ServiceConfig &config, ServiceSeams seams, LinkSettings link,
                                     QObject *parent)
    : QObject(parent), m_config(config), m_seams(seams),
      m_database(config.database.isEmpty() ? ElementDatabase::defaultPath() : config.database) {
    // No panel: every report is compared with no selection, so it is refused and never stored; the
    // service starts no discovery, addition or write, so nothing it does writes the database.
    m_link = std::make_unique<ElementLink>(
        m_database, seams.notifier, seams.resolver, [] { return ConfigurationWrite{}; }, std::move(link));
    m_log = std::make_unique<EventLog>(seams.clock, config.eventFolder);
    m_recorder = std::make_unique<EventRecorder>(*m_log, m_database);
    m_reachability =
        std::make_unique<ReachabilityMonitor>(m_database, seams.prober, seams.clock, config.reachability);
    m_silence = std::make_unique<SilenceWatch>(*m_link, m_database, seams.clock, config.silence);
    m_reachability->setEnabled(false); // until start()
    m_board.setCounterSource([this] { return counters(); });

    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &MonitoringService::settled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &MonitoringService::databaseTouched);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &MonitoringService::databaseTouched);
}

MonitoringService::~MonitoringService() {
    // The recorder listens to the monitors, the monitors to the link.
    m_recorder.reset();
    m_silence.reset();
    m_reachability.reset();
}

ServiceCounters MonitoringService::counters() const {
    return {m_reachability->probesSent(), m_link->droppedDatagrams(), m_reloads, m_reloadFailures};
}

bool MonitoringService::start(QString *error) {
    if (!m_link->open()) {
        const QString holder = m_link->endpointHolder();
        *error = holder.isEmpty()
                     ? u"cannot use UDP port %1: another program holds it"_s.arg(m_link->settings().localPort)
                     : u"cannot use UDP port %1: %2 uses it. One program per host talks to the elements: "
                       "stop that one first, or run the service on another host"_s
                           .arg(m_link->settings().localPort)
                           .arg(holder);
        return false;
    }
    if (!reload(error)) {
        m_link->close();
        return false;
    }
    connectBoard();
    m_recorder->attachLink(*m_link);
    m_recorder->attachReachability(*m_reachability);
    m_recorder->attachSilenceWatch(*m_silence);
    m_reachability->attachLink(*m_link);
    QSet<QString> watched(m_config.watched.cbegin(), m_config.watched.cend());
    m_silence->setWatched(watched);
    m_reachability->setEnabled(m_config.reachability.intervalMs > 0);
    watchDatabase();
    m_started = true;
    m_log->append(EventSeverity::Information, u"Service started"_s,
                  u"%1 elements in %2, %3 encoders watched"_s.arg(m_board.rows().size())
                      .arg(m_database.path())
                      .arg(watched.size()));
    return true;
}

void MonitoringService::connectBoard() {
    // A new status and a new last seen or round trip reach the board the same way.
    const auto showState = [this](const QString &key) {
        if (const ElementState *state = m_reachability->state(key))
            m_board.setReachability(key, state->status, state->lastSeen, state->roundTripMs);
    };
    connect(m_reachability.get(), &ReachabilityMonitor::statusChanged, this, showState);
    connect(m_reachability.get(), &ReachabilityMonitor::elementUpdated, this, showState);
    connect(m_silence.get(), &SilenceWatch::silenceChanged, &m_board, &StatusBoard::setSilence);
    connect(m_silence.get(), &SilenceWatch::levelMeasured, this,
            [this](const QString &key) { m_board.setLevel(key, m_silence->levelDbfs(key)); });
    connect(m_silence.get(), &SilenceWatch::watchedChanged, this, [this](const QSet<QString> &keys) {
        for (const BoardRow &row : m_board.rows())
            m_board.setSilence(row.key,
                               keys.contains(row.key) ? m_silence->state(row.key) : SilenceState::NotWatched);
    });
}

// The file and its folder: a writer that replaces the file by a rename ends the watch of the old
// one, and a file that did not exist yet can only be seen arriving in its folder.
void MonitoringService::watchDatabase() {
    const QString path = m_database.path();
    const QString folder = QFileInfo(path).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    if (QFileInfo::exists(path) && !m_watcher.files().contains(path))
        m_watcher.addPath(path);
}

void MonitoringService::databaseTouched() {
    watchDatabase();
    m_settle.start(); // again at each touch: read once the writer is done
}

void MonitoringService::settled() {
    // The folder also changes for other files (a writer's temporaries, the event log's folder): only
    // a database that is another file now, or was written, is read again.
    const FileStamp stamp = stampOf(m_database.path());
    if (stamp == m_readStamp)
        return;
    QString why;
    if (!reload(&why))
        Q_EMIT reloadFailed(why);
}

// At start a database that cannot be read stops the service; later it keeps what it read last.
bool MonitoringService::reload(QString *error) {
    const QString path = m_database.path();
    m_readStamp = stampOf(path);
    if (!m_readStamp.exists) {
        if (m_started) {
            // A file that went keeps its elements watched: a writer's replacement is on its way,
            // and an empty board would look like every element gone.
            ++m_reloadFailures;
            *error = u"%1 is gone: the elements read last stay watched"_s.arg(path);
        } else {
            *error = u"%1 does not exist yet: no elements until it does"_s.arg(path);
        }
        m_log->append(EventSeverity::Warning, u"Database missing"_s, *error);
        return !m_started;
    }
    QString why;
    const QList<ElementListing> listing = m_database.listing(&why);
    if (!why.isEmpty()) {
        *error = u"cannot read %1: %2"_s.arg(path, why);
        if (m_started) {
            ++m_reloadFailures;
            m_log->append(EventSeverity::Warning, u"Database not read"_s, *error);
        }
        return false;
    }
    if (m_started)
        ++m_reloads;
    m_reachability->reload(listing);
    m_silence->reload(listing);
    m_recorder->reloadNames(listing);
    m_board.replaceListing(boardListing(listing));
    for (const ElementState &state : m_reachability->states())
        m_board.setReachability(state.key, state.status, state.lastSeen, state.roundTripMs);
    for (const BoardRow &row : m_board.rows())
        m_board.setSilence(row.key, m_silence->state(row.key));
    if (m_started)
        Q_EMIT reloaded(static_cast<int>(listing.size()));
    return true;
}

} // namespace ondalink

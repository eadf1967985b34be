// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/reachability_monitor.h"
#include "status/silence_watch.h"

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ondalink {

struct MetricsOptions {
    bool enabled = true;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 9745; // 0: any free port (tests)
};

struct AgentxOptions {
    bool enabled = true;
    // The master agent's AgentX socket: a path, or "tcp:HOST:PORT"; empty: the agent library's default.
    QString socket;
    int pingIntervalSeconds = 15; // how often the subagent checks the master and reconnects
};

// What the monitoring service runs with: its configuration file, each value checked.
struct ServiceConfig {
    QString database;    // empty: the path the window uses
    QString eventFolder; // empty: the per-user data folder
    bool journal = true; // events also go to the systemd journal
    ReachabilityOptions reachability;
    SilenceOptions silence;
    QStringList watched; // element keys of the encoders whose audio is watched
    MetricsOptions metrics;
    AgentxOptions agentx;
};

// The first fault of a configuration file: where it is and what is wrong.
struct ConfigError {
    int line = 0; // 1 on; 0 for the file as a whole
    QString key;  // empty when the line has none
    QString message;
    // "PATH:LINE: KEY: MESSAGE", as a compiler says it.
    QString text(const QString &path) const;
};

// Reads the file's text: "key = value" lines, "#" comments, blank lines. Every key is known and
// given once (but "watch", which adds encoders); a value out of its range, an unknown key or a
// line that is not "key = value" is an error and nothing is returned.
struct ConfigResult {
    std::optional<ServiceConfig> config;
    ConfigError error;
};
ConfigResult parseServiceConfig(QByteArrayView text);

// Where the service looks without --config.
inline constexpr char kDefaultConfigPath[] = "/etc/ondalink/nmsd.conf";

} // namespace ondalink

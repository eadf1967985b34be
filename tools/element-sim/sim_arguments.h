// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_config.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace ondalink::sim {

struct RunOptions {
    SimConfig element; // the first element; nthElement() gives the others
    int count = 1;
    QString logPath; // empty: standard error
    // Client mode: send one paging request, print the reports that come back, and exit.
    bool probe = false;
    QHostAddress probeAddress;
    quint16 probePort = 1901;
    int probeWaitMs = 1500;
    QByteArray probePayload; // the paging request unless --payload says otherwise
    // The control datagram port on 127.0.0.1; -1: none.
    int controlPort = -1;
    // Client mode: send this command to --control-port, print the reply, and exit.
    QString tell;
};

// The program's command line. Values are checked here so that main() only runs what is valid.
class SimArguments {
public:
    SimArguments();

    // arguments[0] is the program name. False with error() on a bad option or value.
    bool parse(const QStringList &arguments);
    const RunOptions &options() const { return m_options; }
    QString error() const { return m_error; }
    bool helpRequested() const;
    QString helpText() const { return m_parser.helpText(); }

private:
    bool read();
    bool fail(const QString &message);

    QCommandLineParser m_parser;
    RunOptions m_options;
    QString m_error;
};

} // namespace ondalink::sim

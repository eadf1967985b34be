// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target shares: a failed expectation aborts (libFuzzer keeps the input), a Qt
// application for timers and the event loop, and a scratch folder in memory.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #condition);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace ondalink::fuzzing {

inline void startQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A folder of this process on tmpfs when there is one: a write's fsync costs nothing there.
inline QString scratchFolder() {
    static const QString folder = [] {
        const QString base =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString path = QStringLiteral("%1/ondalink-fuzz-%2").arg(base).arg(::getpid());
        QDir().mkpath(path);
        std::atexit(
            [] { QDir(QStringLiteral("/dev/shm/ondalink-fuzz-%1").arg(::getpid())).removeRecursively(); });
        return path;
    }();
    return folder;
}

} // namespace ondalink::fuzzing

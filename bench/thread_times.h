// SPDX-License-Identifier: GPL-3.0-or-later
// What the calling thread did between two readings: a long gap in the event loop is the loop's own
// work when its time on a core is close to the gap, a loaded machine when its wait for a core is,
// and a blocking call when it slept.
#pragma once

#include <QFile>
#include <QList>

#include <sys/resource.h>

namespace ondalink::testing {

struct ThreadTimes {
    qint64 cpuUs = 0;     // on a core
    qint64 waitUs = 0;    // runnable, waiting for a core
    long majorFaults = 0; // page faults that read the disk
    long sleeps = 0;      // times it gave up its core of its own accord (a poll, a blocking call)

    ThreadTimes operator-(const ThreadTimes &earlier) const {
        return {cpuUs - earlier.cpuUs, waitUs - earlier.waitUs, majorFaults - earlier.majorFaults,
                sleeps - earlier.sleeps};
    }
};

inline ThreadTimes threadTimes() {
    ThreadTimes times;
    QFile file(QStringLiteral("/proc/thread-self/schedstat"));
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = file.readAll().simplified().split(' ');
        times.cpuUs = fields.value(0).toLongLong() / 1000;
        times.waitUs = fields.value(1).toLongLong() / 1000;
    }
    rusage usage{};
    if (::getrusage(RUSAGE_THREAD, &usage) == 0) {
        times.majorFaults = usage.ru_majflt;
        times.sleeps = usage.ru_nvcsw;
    }
    return times;
}

} // namespace ondalink::testing

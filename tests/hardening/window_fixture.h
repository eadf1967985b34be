// SPDX-License-Identifier: GPL-3.0-or-later
// The window of window_test.h under hostile input: reports as the simulator makes them, and the
// event loop run as the program runs it.
#pragma once

#include "console/widgets/element_tree.h"
#include "element_wire.h"
#include "link/element_report_handler.h"
#include "link/receive_dispatch.h"
#include "link_test_peer.h"
#include "window_test.h"

#include <QEventLoop>
#include <QTimer>

namespace ondalink::testing {

// VmRSS or VmHWM of this process in KiB.
inline qint64 statusKiB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

// An element report as the simulator sends it: an encoder unless told otherwise.
inline QByteArray reportBytes(quint32 ip, quint8 role = 1, quint32 serial = 1001) {
    sim::ElementIdentity id;
    id.role = role;
    id.serial = serial;
    sim::ElementSettings settings;
    settings.ip = ip;
    return sim::encodeReport(id, settings);
}

// Runs the event loop as the program does (no sleeping between checks) until done() holds.
template <typename Done> bool runUntil(Done done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(2);
    if (!done())
        loop.exec();
    return done();
}

class HardeningTest : public WindowTest {
protected:
    // Runs the event loop until every datagram that has arrived is handled.
    bool drained(int timeoutMs = 60000) {
        ElementLinkTestPeer link(station->link);
        return runUntil([&] { return link.drained(); }, timeoutMs);
    }
};

} // namespace ondalink::testing

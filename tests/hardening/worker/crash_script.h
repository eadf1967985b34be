// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded run of discoveries and live attenuation changes through the real link and store. Each
// step ends with at most one replacement of nms.ini, so a run killed at any moment must leave the
// file of the last finished step or of the one after it. The worker runs it to be killed; the test
// runs it whole to know every state the file may be in.
#pragma once

#include "diag/mac_lookup.h"
#include "element_wire.h"
#include "fakes.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/element_report_handler.h"
#include "link_test_peer.h"
#include "store/element_database.h"

#include <QUdpSocket>

#include <arpa/inet.h>
#include <functional>
#include <random>

namespace ondalink::testing {

inline constexpr int kCrashScriptSteps = 600;

// stepDone(n) runs once step n has finished, n counting from 0.
inline void runCrashScript(quint32 seed, const QString &databasePath,
                           const std::function<void(int)> &stepDone) {
    QUdpSocket sink; // where the paging request and attenuation datagrams go
    sink.bind(QHostAddress(QHostAddress::LocalHost), 0);
    ElementDatabase database(databasePath);
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    ConfigurationWrite panel;
    LinkSettings settings;
    settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
    settings.localPort = 0;
    settings.pagingHost = QStringLiteral("127.0.0.1");
    settings.pagingPort = settings.controlPort = sink.localPort();
    ElementLink link(
        database, notifier, resolver, [&panel] { return panel; }, settings);
    link.open();
    Discovery discovery(link);

    std::mt19937 random(seed);
    int step = 0;
    for (quint32 round = 1; step < kCrashScriptSteps; ++round) {
        discovery.start(); // nms.ini.bak from the old file, then an empty nms.ini
        stepDone(step++);
        QStringList macs;
        const int elements = 1 + int(random() % 30);
        for (int i = 0; i < elements; ++i) {
            sim::ElementIdentity id;
            id.role = random() % 2 ? sim::kDecoder : sim::kEncoder;
            id.serial = 1000 + random() % 100000;
            sim::ElementSettings s;
            s.ip = (10u << 24) | (round % 256) << 8 | quint32(i + 1);
            s.name = QByteArray("ELEMENT ").append(QByteArray::number(random() % 1000));
            s.att = quint8(14 + random() % 242);
            const QByteArray hardware = QByteArray::fromHex("02000A") + char(round) + char(0) + char(i + 1);
            resolver.table.insert(htonl(s.ip), hardware);
            macs.append(macTextFromBytes(hardware, QStringLiteral(":")));
            ElementLinkTestPeer(link).reportHandler().handleReport(sim::encodeReport(id, s), Ipv4Address{},
                                                                   true, {});
            stepDone(step++);
        }
        discovery.cancel(); // the wait is over
        for (int change = 0; change < 20; ++change) {
            panel.mac = macs.at(int(random() % quint32(macs.size())));
            link.sendAttenuation(14 + int(random() % 242));
            stepDone(step++);
        }
    }
}

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// The hosts of the lab a benchmark runs in (lab/lab writes them to $ONDALINK_LAB_STATE/hosts).
#pragma once

#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStringList>

namespace ondalink::bench {

struct LabHosts {
    QString nmsIp;
    QStringList elementIps;

    // True when this process runs on the lab's NMS host.
    bool onNmsHost() const {
        return !nmsIp.isEmpty() && QNetworkInterface::allAddresses().contains(QHostAddress(nmsIp));
    }
};

inline LabHosts readLab() {
    LabHosts lab;
    QFile hosts(qEnvironmentVariable("ONDALINK_LAB_STATE") + QStringLiteral("/hosts"));
    if (!hosts.open(QIODevice::ReadOnly))
        return lab;
    for (const QByteArray &line : hosts.readAll().split('\n')) {
        const QString address = QString::fromLatin1(line.split(' ').value(2));
        if (line.startsWith("nms "))
            lab.nmsIp = address;
        else if (line.startsWith('e'))
            lab.elementIps.append(address);
    }
    return lab;
}

} // namespace ondalink::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#include "interface_mover.h"

#include "sim_config.h"

using namespace Qt::StringLiterals;

namespace ondalink::sim {

namespace {

QString withPrefix(quint32 address, int prefix) {
    return dotted(address) + u'/' + QString::number(prefix);
}

bool sameSubnet(quint32 a, quint32 b, int prefix) {
    const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
    return (a & mask) == (b & mask);
}

} // namespace

InterfaceMover::InterfaceMover(QString ipCommand, QString interfaceName, QObject *parent)
    : QObject(parent), m_ipCommand(std::move(ipCommand)), m_interface(std::move(interfaceName)) {}

void InterfaceMover::assign(quint32 address, int prefix) {
    runSteps({{{u"addr"_s, u"replace"_s, withPrefix(address, prefix), u"dev"_s, m_interface}, true}});
}

void InterfaceMover::move(quint32 oldAddress, int oldPrefix, quint32 newAddress, int newPrefix,
                          quint32 gateway) {
    QList<Step> steps;
    // Delete first: removing a primary address would take a new secondary of its subnet with it.
    if (oldAddress != newAddress || oldPrefix != newPrefix)
        steps.append(
            {{u"addr"_s, u"del"_s, withPrefix(oldAddress, oldPrefix), u"dev"_s, m_interface}, false});
    steps.append({{u"addr"_s, u"replace"_s, withPrefix(newAddress, newPrefix), u"dev"_s, m_interface}, true});
    if (gateway != 0 && gateway != newAddress && sameSubnet(gateway, newAddress, newPrefix))
        steps.append(
            {{u"route"_s, u"replace"_s, u"default"_s, u"via"_s, dotted(gateway), u"dev"_s, m_interface},
             false});
    // A unit at a new address asks its peers' hardware addresses afresh, and its ARP request tells
    // them its own: the station's stale entry for an address a failed unit had is corrected before
    // the report from there arrives.
    if (oldAddress != newAddress)
        steps.append({{u"neigh"_s, u"flush"_s, u"dev"_s, m_interface}, false});
    runSteps(steps);
}

void InterfaceMover::runSteps(QList<Step> steps) {
    if (busy()) {
        Q_EMIT finished(false, u"an address change is still running"_s);
        return;
    }
    m_steps = std::move(steps);
    m_ok = true;
    m_detail.clear();
    runNext();
}

void InterfaceMover::runNext() {
    if (m_steps.isEmpty()) {
        Q_EMIT finished(m_ok, m_detail.join(u"; "_s));
        return;
    }
    m_process = new QProcess(this);
    QProcess *process = m_process;
    process->setProcessChannelMode(QProcess::MergedChannels);
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        const bool success = status == QProcess::NormalExit && code == 0;
        stepDone(success, QString::fromLocal8Bit(process->readAll()).trimmed());
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            stepDone(false, process->errorString());
    });
    process->start(m_ipCommand, m_steps.front().arguments);
}

void InterfaceMover::stepDone(bool success, const QString &error) {
    const Step step = m_steps.takeFirst();
    QString line = m_ipCommand + u' ' + step.arguments.join(u' ');
    if (!success) {
        line += u" failed: "_s + error;
        if (step.required)
            m_ok = false;
    }
    m_detail.append(line);
    m_process->deleteLater();
    m_process = nullptr;
    if (!m_ok)
        m_steps.clear();
    runNext();
}

} // namespace ondalink::sim

// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual lab as the end-to-end suite sees it from the NMS host: its hosts, the simulators'
// logs and commands on the element hosts.
#pragma once

#include <QFile>
#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace ondalink::e2e {

using namespace Qt::StringLiterals;

// One element host as lab/lab wrote it into its hosts file.
struct LabElement {
    int number = 0;
    QString ip;
    QString mac; // colon form as the NMS shows it: upper case
    QString role, name, serial, firmware, remote;

    QString key() const { return QString(mac).remove(u':'); }
    bool decoder() const { return role == u"decoder"; }
};

class Lab {
public:
    // Reads the lab the environment names. Empty error() when this process runs on its NMS host.
    Lab()
        : m_script(qEnvironmentVariable("ONDALINK_LAB")),
          m_state(qEnvironmentVariable("ONDALINK_LAB_STATE")) {
        QFile hosts(m_state + u"/hosts"_s);
        if (m_script.isEmpty() || !hosts.open(QIODevice::ReadOnly)) {
            m_error = u"no lab: run this suite through tests/e2e/run_in_lab.sh (ctest -L e2e)"_s;
            return;
        }
        for (const QByteArray &line : hosts.readAll().split('\n')) {
            const QStringList f = QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts);
            if (f.size() >= 4 && f[0] == u"nms")
                std::tie(m_nmsIp, m_nmsMac) = std::tie(f[2], f[3]);
            if (f.size() == 9 && (f[0].startsWith(u'e') || f[0].startsWith(u'r')))
                (f[0].startsWith(u'e') ? m_elements : m_routed)
                    .append({f[0].mid(1).toInt(), f[2], f[3].toUpper(), f[4], f[5], f[6], f[7], f[8]});
        }
        // The paging request is a broadcast: never from anywhere but the lab's NMS host.
        if (!QNetworkInterface::allAddresses().contains(QHostAddress(m_nmsIp)))
            m_error = u"this process is not on the lab's NMS host (%1)"_s.arg(m_nmsIp);
    }

    QString error() const { return m_error; }
    QString nmsIp() const { return m_nmsIp; }
    QString nmsMac() const { return m_nmsMac; }
    const QList<LabElement> &elements() const { return m_elements; }
    const LabElement &element(int number) const { return m_elements.at(number - 1); }
    // The element hosts behind the router: no broadcast reaches them, no ARP from here finds them.
    const QList<LabElement> &routed() const { return m_routed; }
    // An address of the lab's /24 where no host is.
    QString vacantIp() const { return m_nmsIp.section(u'.', 0, 2) + u".250"_s; }

    // A command on this host (the NMS host), waited for; its output when it succeeded.
    static std::optional<QString> runProgram(const QString &program, const QStringList &arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        const QString output = QString::fromLocal8Bit(process.readAll());
        if (ok)
            return output;
        ADD_FAILURE() << qPrintable(program + u' ' + arguments.join(u' ') + u": "_s + output);
        return std::nullopt;
    }
    std::optional<QString> onElement(int number, const QStringList &command) const {
        return runProgram(m_script, QStringList{u"element"_s, QString::number(number)} + command);
    }
    // Writes a value into /proc/sys of an element host's namespace.
    bool sysctl(int number, const QString &path, const QString &value) const {
        return onElement(number, {u"sh"_s, u"-c"_s, u"echo \"$2\" >\"/proc/sys/$1\""_s, u"_"_s, path, value})
            .has_value();
    }
    // A lab command about one element host: element-down, element-up, sim-control COMMAND, ...
    bool tell(const QString &command, int number, const QStringList &more = {}) const {
        return runProgram(m_script, QStringList{command, QString::number(number)} + more).has_value();
    }
    // A fresh simulator for the element, with extra options; its log starts empty.
    bool restartSim(int number, const QStringList &options = {}) const {
        return tell(u"start-sim"_s, number, options);
    }
    // The simulator's log lines that match the pattern (host "e" on the LAN, "r" behind the router).
    QStringList simLog(int number, const QString &pattern, QChar host = u'e') const {
        QFile file(m_state + u"/%1%2.log"_s.arg(host).arg(number));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n').filter(QRegularExpression(pattern));
    }

private:
    QString m_script, m_state, m_nmsIp, m_nmsMac, m_error;
    QList<LabElement> m_elements;
    QList<LabElement> m_routed;
};

// The four octets of a dotted address as hex text.
inline QString addressHex(const QString &dotted) {
    QByteArray bytes;
    for (const QString &part : dotted.split(u'.'))
        bytes.append(static_cast<char>(part.toInt()));
    return QString::fromLatin1(bytes.toHex());
}

// A name as the element receives it: 16 bytes, upper case, blank-filled.
inline QString nameHex(const QString &name) {
    return QString::fromLatin1(name.toUpper().leftJustified(16, u' ', true).toLatin1().toHex());
}

} // namespace ondalink::e2e

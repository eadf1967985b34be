// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QStringList>

namespace ondalink::sim {

// Changes the address of the element's network interface with iproute2, one command after the
// other, without blocking the event loop. One change at a time; finished() ends each.
class InterfaceMover : public QObject {
    Q_OBJECT
public:
    InterfaceMover(QString ipCommand, QString interfaceName, QObject *parent = nullptr);

    // Puts the address on the interface, leaving the others there.
    void assign(quint32 address, int prefix);
    // Replaces one address by another; a gateway inside the new subnet becomes the default route.
    void move(quint32 oldAddress, int oldPrefix, quint32 newAddress, int newPrefix, quint32 gateway);
    bool busy() const { return m_process != nullptr; }

Q_SIGNALS:
    // ok is false when the new address could not be set; detail says what was run and what failed.
    void finished(bool ok, const QString &detail);

private:
    struct Step {
        QStringList arguments;
        bool required = true;
    };
    void runSteps(QList<Step> steps);
    void runNext();
    void stepDone(bool success, const QString &error);

    QString m_ipCommand;
    QString m_interface;
    QList<Step> m_steps;
    QProcess *m_process = nullptr;
    bool m_ok = true;
    QStringList m_detail;
};

} // namespace ondalink::sim

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QString>

namespace ondalink {

// The elements answer to one UDP port, so one program per host talks to them: the window or the
// monitoring service. Whichever binds first also holds an abstract local socket named after the
// port, which every user on the host (in the same network namespace, as the port is) can reach;
// the second asks it who it is and can say so. It vanishes with the process, so nothing stale is
// left behind by a crash.
class EndpointClaim {
public:
    // who: how the holder is named to the second program, e.g. "ondalink-nmsd".
    EndpointClaim(quint16 port, QString who);

    // True when this process now holds the claim. False when another program of ours does:
    // holder() then names it ("ondalink-nmsd, process 812, user ondalink-nmsd").
    bool acquire();
    QString holder() const { return m_holder; }
    bool isHeld() const { return m_server.isListening(); }

    static QString socketName(quint16 port);

private:
    void answer();
    QString askHolder() const;

    quint16 m_port;
    QString m_who;
    QString m_holder;
    QLocalServer m_server;
};

} // namespace ondalink

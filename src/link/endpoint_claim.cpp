// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/endpoint_claim.h"

#include <QCoreApplication>
#include <QLocalSocket>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr int kAskMs = 1000; // start-up only: how long the holder may take to say who it is

QString userName() {
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(::getuid());
}

} // namespace

EndpointClaim::EndpointClaim(quint16 port, QString who) : m_port(port), m_who(std::move(who)) {
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { answer(); });
}

QString EndpointClaim::socketName(quint16 port) {
    return u"ondalink-udp-%1"_s.arg(port);
}

bool EndpointClaim::acquire() {
    if (m_server.isListening())
        return true;
    m_holder.clear();
    if (m_server.listen(socketName(m_port)))
        return true;
    m_holder = askHolder();
    // Someone holds the name but did not say who: still ours to report, never to take over.
    if (m_holder.isEmpty())
        m_holder = u"another program"_s;
    return false;
}

void EndpointClaim::answer() {
    while (QLocalSocket *peer = m_server.nextPendingConnection()) {
        const QString line =
            u"%1, process %2, user %3\n"_s.arg(m_who).arg(QCoreApplication::applicationPid()).arg(userName());
        peer->write(line.toUtf8());
        peer->disconnectFromServer();
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    }
}

QString EndpointClaim::askHolder() const {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(socketName(m_port), QIODevice::ReadOnly);
    if (!socket.waitForConnected(kAskMs))
        return {};
    QByteArray said;
    // A line of at most 256 bytes; whatever else comes is not read.
    while (!said.contains('\n') && said.size() < 256 && socket.waitForReadyRead(kAskMs))
        said += socket.read(256 - said.size());
    const qsizetype end = said.indexOf('\n');
    return QString::fromUtf8(end < 0 ? said : said.left(end)).trimmed();
}

} // namespace ondalink

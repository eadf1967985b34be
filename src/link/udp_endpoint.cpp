// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/udp_endpoint.h"

#include "model/ipv4.h"
#include "model/log.h"
#include "model/messages.h"

#include <QDateTime>

#include <QNetworkDatagram>
#include <QNetworkInterface>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Larger than any UDP payload, so no datagram is ever cut.
constexpr qsizetype kReadBufferSize = 65536;

// Qt's text for a refused send is often generic; the system's own reason says more.
QString refusal(const QUdpSocket &socket, int code) {
    QString text = socket.errorString();
    const QString reason = code != 0 ? qt_error_string(code) : QString();
    if (reason.isEmpty() || text.contains(reason))
        return text;
    return text + u" ("_s + reason + u")"_s;
}

} // namespace

std::optional<QHostAddress> ipv4Address(const QString &text) {
    const auto address = parseDottedAddress(text);
    if (!address)
        return std::nullopt;
    return QHostAddress(address->value);
}

UdpEndpoint::UdpEndpoint(EndpointOptions options, std::function<bool()> discoveryFlag, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_discoveryFlag(std::move(discoveryFlag)),
      m_socket(this) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpEndpoint::readPending);
}

bool UdpEndpoint::open() {
    if (isOpen())
        return true;
    // No address sharing: the bind must fail while another program holds the port.
    if (!m_socket.bind(m_options.bindAddress, m_options.localPort, QAbstractSocket::DontShareAddress))
        return false;
    applyReceiveBuffer();
    return true;
}

bool UdpEndpoint::isOpen() const {
    return m_socket.state() == QAbstractSocket::BoundState;
}

void UdpEndpoint::close() {
    m_socket.close();
}

quint16 UdpEndpoint::localPort() const {
    return m_socket.localPort();
}

void UdpEndpoint::applyReceiveBuffer() {
    const int wanted = m_options.receiveBufferBytes;
#ifdef Q_OS_LINUX
    const auto fd = static_cast<int>(m_socket.socketDescriptor());
    // FORCE passes the system's ceiling when we are allowed to; otherwise take what the ceiling gives.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int granted = 0;
    socklen_t length = sizeof granted;
    if (::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &granted, &length) == 0)
        m_receiveBufferGranted = granted;
#else
    m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, wanted);
    m_receiveBufferGranted = m_socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
#endif
}

void UdpEndpoint::readPending() {
    bool queued = false;
    if (m_readBuffer.size() != kReadBufferSize)
        m_readBuffer.resize(kReadBufferSize);
    const quint64 overflowBefore = m_overflow;
    while (m_socket.hasPendingDatagrams()) {
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 length =
            m_socket.readDatagram(m_readBuffer.data(), m_readBuffer.size(), &sender, &senderPort);
        if (length < 0)
            break;
        const bool taken =
            enqueue(QByteArrayView(m_readBuffer).first(length), Ipv4Address{sender.toIPv4Address()});
        if (!taken && lcLink().isDebugEnabled())
            qCDebug(lcLink).noquote()
                << "dropped a datagram of" << length << "bytes from"
                << u"%1:%2"_s.arg(sender.toString()).arg(senderPort)
                << (m_overflow > overflowBefore ? "(queue full)" : "(no handler takes that length)");
        queued = taken || queued;
    }
    if (m_overflow > overflowBefore)
        warnOfOverflow();
    if (queued)
        Q_EMIT datagramsQueued();
}

// Once a second at most: a flood would otherwise write a line per datagram.
void UdpEndpoint::warnOfOverflow() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_lastOverflowWarningMs >= 0 && now - m_lastOverflowWarningMs < 1000)
        return;
    qCWarning(lcLink).noquote() << "receive queue full: dropped" << (m_overflow - m_overflowWarned)
                                << "datagrams, the newest, since the last warning;" << m_overflow << "in all;"
                                << pendingCount() << "waiting";
    m_overflowWarned = m_overflow;
    m_lastOverflowWarningMs = now;
}

bool UdpEndpoint::enqueue(QByteArrayView datagram, Ipv4Address sender) {
    if (m_accept && !m_accept(datagram.size())) {
        ++m_filtered;
        return false;
    }
    if (static_cast<qsizetype>(m_fifo.size()) >= m_options.fifoCapacity ||
        m_fifoBytes + datagram.size() > m_options.fifoBytes) {
        ++m_overflow;
        return false;
    }
    m_fifo.push_back({datagram.toByteArray(), m_discoveryFlag ? m_discoveryFlag() : false, sender});
    m_fifoBytes += datagram.size();
    if (m_arrival)
        m_arrival(m_fifo.back());
    return true;
}

void UdpEndpoint::deliver(const QByteArray &datagram) {
    if (enqueue(datagram, Ipv4Address{}))
        Q_EMIT datagramsQueued();
}

ReceivedDatagram UdpEndpoint::takeNext() {
    if (m_fifo.empty())
        return {};
    ReceivedDatagram next = std::move(m_fifo.front());
    m_fifo.pop_front();
    m_fifoBytes -= next.data.size();
    return next;
}

SendResult UdpEndpoint::send(const QByteArray &payload, const QHostAddress &address, quint16 port) {
    if (!isOpen())
        return {false, phrase(PhraseId::PortNotOpen)};
    errno = 0;
    if (m_socket.writeDatagram(payload, address, port) != payload.size())
        return {false, refusal(m_socket, errno)};
    return {true, {}};
}

SendResult UdpEndpoint::broadcastOnEveryInterface(const QByteArray &payload, quint16 port,
                                                  QStringList *sentInterfaces) {
    QStringList sent;
    QStringList refusals;
    if (isOpen()) {
        for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
            const auto flags = iface.flags();
            if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
                !flags.testFlag(QNetworkInterface::CanBroadcast) ||
                flags.testFlag(QNetworkInterface::IsLoopBack))
                continue;
            const auto entries = iface.addressEntries();
            const bool hasIpv4 =
                std::any_of(entries.cbegin(), entries.cend(), [](const QNetworkAddressEntry &e) {
                    return e.ip().protocol() == QAbstractSocket::IPv4Protocol;
                });
            if (!hasIpv4)
                continue;
            QNetworkDatagram datagram(payload, QHostAddress(QHostAddress::Broadcast), port);
            datagram.setInterfaceIndex(static_cast<uint>(iface.index()));
            errno = 0;
            if (m_socket.writeDatagram(datagram) == payload.size())
                sent.append(iface.name());
            else
                refusals.append(iface.name() + u": "_s + refusal(m_socket, errno));
        }
    }
    if (sentInterfaces)
        *sentInterfaces = sent;
    if (!sent.isEmpty())
        return {true, {}};
    if (!isOpen())
        return {false, phrase(PhraseId::PortNotOpen)};
    if (refusals.isEmpty())
        return {false, phrase(PhraseId::NoBroadcastInterface)};
    return {false, refusals.join(u"; "_s)};
}

} // namespace ondalink

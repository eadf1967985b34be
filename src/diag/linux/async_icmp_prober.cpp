// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/async_icmp_prober.h"

#include "diag/linux/icmp_codec.h"

#include <QSocketNotifier>

#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ondalink {

namespace {

constexpr size_t kReceiveSize = 1500;

} // namespace

AsyncIcmpProber::AsyncIcmpProber(QObject *parent) : AsyncIcmpProber(openIcmpSocket(), parent) {}

AsyncIcmpProber::AsyncIcmpProber(IcmpSocket opened, QObject *parent) : AsyncEchoProber(parent) {
    // A child, so that moveToThread takes it along.
    m_expiry.setParent(this);
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &AsyncIcmpProber::expire);
    m_method = opened.method;
    if (opened.fd < 0)
        return;
    m_socket.reset(opened.fd);
    const int fd = m_socket.get();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (m_method == PingMethod::Datagram) {
        const int on = 1;
        ::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on);
    } else {
        icmp_filter filter{};
        filter.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
                        (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
        ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        m_identifier = nextRawIdentifier();
    }
    // Room for the replies of every echo in flight arriving at once.
    const int buffer = 256 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    m_readable = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &AsyncIcmpProber::readReplies);
}

// The notifier goes before the socket it watches is closed.
AsyncIcmpProber::~AsyncIcmpProber() {
    delete m_readable;
}

qint64 AsyncIcmpProber::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

quint64 AsyncIcmpProber::probe(Ipv4Address address, int timeoutMs) {
    if (!isPermitted() || inFlight() >= maxInFlight() || address.value == 0 || address.value == 0xFFFFFFFFu)
        return 0;
    // A sequence still in flight after 65,536 probes is skipped, never reused.
    quint16 sequence = ++m_sequence;
    while (m_pending.contains(sequence))
        sequence = ++m_sequence;
    const QByteArray request = echoRequest(m_identifier, sequence);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address.toNetworkOrder();
    const quint64 token = ++m_nextToken;
    const qint64 now = nowMs();
    const ssize_t sent = ::sendto(m_socket.get(), request.constData(), static_cast<size_t>(request.size()), 0,
                                  reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (sent < 0) {
        // Refused at once (no route, a prohibit route): the result still comes as a signal.
        const EchoStatus status = statusFromErrno(errno);
        QMetaObject::invokeMethod(
            this,
            [this, token, address, status] {
                Q_EMIT finished(token, address, EchoResult{status, 0});
            },
            Qt::QueuedConnection);
        return token;
    }
    m_pending.insert(sequence, Pending{token, address, now, now + std::max(1, timeoutMs)});
    m_deadlines.emplace(now + std::max(1, timeoutMs), sequence);
    scheduleExpiry();
    return token;
}

void AsyncIcmpProber::scheduleExpiry() {
    // Deadlines of probes already finished stay in the map until they come up; they are skipped then.
    while (!m_deadlines.empty() && !m_pending.contains(m_deadlines.begin()->second))
        m_deadlines.erase(m_deadlines.begin());
    if (m_deadlines.empty()) {
        m_expiry.stop();
        return;
    }
    const qint64 wait = std::max<qint64>(0, m_deadlines.begin()->first - nowMs());
    m_expiry.start(static_cast<int>(wait));
}

void AsyncIcmpProber::expire() {
    const qint64 now = nowMs();
    while (!m_deadlines.empty() && m_deadlines.begin()->first <= now) {
        const quint16 sequence = m_deadlines.begin()->second;
        const auto pending = m_pending.constFind(sequence);
        const bool due = pending != m_pending.cend() && pending->deadlineMs <= now;
        m_deadlines.erase(m_deadlines.begin());
        if (due)
            finish(sequence, EchoResult{EchoStatus::TimedOut, 0});
    }
    scheduleExpiry();
}

void AsyncIcmpProber::finish(quint16 sequence, EchoResult result) {
    const auto found = m_pending.constFind(sequence);
    if (found == m_pending.cend())
        return;
    const Pending pending = *found;
    m_pending.erase(found);
    if (result.status == EchoStatus::Success)
        result.roundTripMs = static_cast<int>(nowMs() - pending.sentMs);
    Q_EMIT finished(pending.token, pending.address, result);
}

void AsyncIcmpProber::readReplies() {
    if (m_method == PingMethod::Datagram)
        readQueuedErrors();
    // Bounded per wake-up, so that a flood of foreign ICMP cannot hold the event loop.
    for (int read = 0; read < 256; ++read) {
        uchar packet[kReceiveSize];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = ::recvfrom(m_socket.get(), packet, sizeof packet, MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            // A pending error (datagram socket): read from the error queue, then carry on.
            if (errno != EAGAIN && errno != EWOULDBLOCK && m_method == PingMethod::Datagram) {
                readQueuedErrors();
                continue;
            }
            break;
        }
        if (m_method == PingMethod::Datagram)
            readDatagramReply(packet, size, Ipv4Address::fromNetworkOrder(from.sin_addr.s_addr));
        else
            readRawPacket(packet, size);
    }
    if (!m_pending.isEmpty())
        scheduleExpiry();
}

void AsyncIcmpProber::readDatagramReply(const uchar *icmp, qsizetype size, Ipv4Address from) {
    if (size < kIcmpHeaderSize || icmp[0] != ICMP_ECHOREPLY)
        return;
    const quint16 sequence = read16(icmp + 6);
    const auto pending = m_pending.constFind(sequence);
    // The kernel matched the identifier; the address tells a reply to an old, expired echo apart.
    if (pending != m_pending.cend() && pending->address == from)
        finish(sequence, EchoResult{EchoStatus::Success, 0});
}

void AsyncIcmpProber::readRawPacket(const uchar *packet, qsizetype size) {
    const std::optional<RawIcmpMatch> match = matchRawIcmp(packet, size, m_identifier);
    if (!match)
        return;
    const auto pending = m_pending.constFind(match->sequence);
    if (pending == m_pending.cend() || pending->address != match->address)
        return;
    finish(match->sequence, EchoResult{match->status, 0});
}

void AsyncIcmpProber::readQueuedErrors() {
    for (;;) {
        const std::optional<QueuedIcmpError> error = readQueuedError(m_socket.get());
        if (!error)
            return;
        if (error->status && error->sequence)
            finish(*error->sequence, EchoResult{*error->status, 0});
    }
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/icmp_prober.h"

#include "diag/linux/icmp_codec.h"
#include "model/unique_fd.h"

#include <QByteArray>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ondalink {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReceiveSize = 1500;

int elapsedMs(Clock::time_point since) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// Waits for the socket until the deadline; false when it passed first.
bool waitForSocket(int fd, Clock::time_point deadline, short &revents) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready > 0) {
            revents = entry.revents;
            return true;
        }
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool sendEcho(int fd, quint32 address, const QByteArray &request, int &error) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    const ssize_t sent = ::sendto(fd, request.constData(), static_cast<size_t>(request.size()), 0,
                                  reinterpret_cast<const sockaddr *>(&to), sizeof to);
    error = sent < 0 ? errno : 0;
    return sent >= 0;
}

// An error queued on the datagram socket (IP_RECVERR) that concerns the echo with this sequence.
std::optional<EchoStatus> queuedError(int fd, quint16 sequence) {
    while (const std::optional<QueuedIcmpError> error = readQueuedError(fd)) {
        if (error->sequence && *error->sequence != sequence)
            continue;
        if (error->status)
            return error->status;
    }
    return std::nullopt;
}

} // namespace

EchoResult IcmpProber::echo(Ipv4Address address, int timeoutMs) {
    const IcmpSocket opened = openIcmpSocket();
    m_kind = opened.method;
    if (opened.fd < 0)
        return EchoResult{EchoStatus::Unknown, 0};
    const UniqueFd socket(opened.fd);
    const quint32 target = address.toNetworkOrder();
    return m_kind == SocketKind::Datagram ? datagramEcho(socket.get(), target, timeoutMs)
                                          : rawEcho(socket.get(), target, timeoutMs);
}

EchoResult IcmpProber::datagramEcho(int fd, quint32 address, int timeoutMs) {
    const int on = 1;
    ::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on);
    const quint16 sequence = ++m_sequence;
    // The kernel sets the identifier (the socket's own) and the checksum.
    const Clock::time_point start = Clock::now();
    int error = 0;
    if (!sendEcho(fd, address, echoRequest(0, sequence), error))
        return EchoResult{statusFromErrno(error), 0};

    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    short revents = 0;
    while (waitForSocket(fd, deadline, revents)) {
        if ((revents & POLLERR) != 0) {
            if (auto status = queuedError(fd, sequence))
                return EchoResult{*status, 0};
        }
        // Also after an error that said nothing about the echo: the read clears the socket's
        // pending error, which would otherwise wake the poll again at once.
        uchar reply[kReceiveSize];
        const ssize_t size = ::recv(fd, reply, sizeof reply, MSG_DONTWAIT);
        if (size >= kIcmpHeaderSize && reply[0] == ICMP_ECHOREPLY && read16(reply + 6) == sequence)
            return EchoResult{EchoStatus::Success, elapsedMs(start)};
    }
    return EchoResult{EchoStatus::TimedOut, 0};
}

EchoResult IcmpProber::rawEcho(int fd, quint32 address, int timeoutMs) {
    icmp_filter filter{};
    filter.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
                    (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
    ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    const quint16 identifier = nextRawIdentifier();
    const quint16 sequence = ++m_sequence;
    const Clock::time_point start = Clock::now();
    int error = 0;
    if (!sendEcho(fd, address, echoRequest(identifier, sequence), error))
        return EchoResult{statusFromErrno(error), 0};

    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    short revents = 0;
    while (waitForSocket(fd, deadline, revents)) {
        uchar packet[kReceiveSize];
        // A failed read here is an error the kernel also delivers as an ICMP message, read next.
        const ssize_t size = ::recv(fd, packet, sizeof packet, MSG_DONTWAIT);
        if (size < 0)
            continue;
        const std::optional<RawIcmpMatch> match = matchRawIcmp(packet, size, identifier);
        if (!match || match->sequence != sequence)
            continue;
        if (match->status == EchoStatus::Success)
            return EchoResult{EchoStatus::Success, elapsedMs(start)};
        if (match->address.toNetworkOrder() == address)
            return EchoResult{match->status, 0};
    }
    return EchoResult{EchoStatus::TimedOut, 0};
}

} // namespace ondalink

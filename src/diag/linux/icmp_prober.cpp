// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/icmp_prober.h"

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

constexpr char kPayload[] = "hello";
constexpr qsizetype kPayloadSize = 5;
constexpr int kIcmpHeaderSize = 8;
constexpr int kIpHeaderMinimum = 20;
constexpr size_t kReceiveSize = 1500;

quint16 read16(const uchar *at) {
    return static_cast<quint16>((at[0] << 8) | at[1]);
}

quint16 internetChecksum(const QByteArray &data) {
    quint32 sum = 0;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    qsizetype i = 0;
    for (; i + 1 < data.size(); i += 2)
        sum += read16(bytes + i);
    if (i < data.size())
        sum += static_cast<quint32>(bytes[i]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<quint16>(~sum);
}

QByteArray echoRequest(quint16 identifier, quint16 sequence) {
    QByteArray packet(kIcmpHeaderSize, '\0');
    packet[0] = static_cast<char>(ICMP_ECHO);
    packet[4] = static_cast<char>(identifier >> 8);
    packet[5] = static_cast<char>(identifier & 0xFF);
    packet[6] = static_cast<char>(sequence >> 8);
    packet[7] = static_cast<char>(sequence & 0xFF);
    packet.append(kPayload, kPayloadSize);
    const quint16 sum = internetChecksum(packet);
    packet[2] = static_cast<char>(sum >> 8);
    packet[3] = static_cast<char>(sum & 0xFF);
    return packet;
}

// nullopt for messages that say nothing about the echo's fate (a redirect, say).
std::optional<EchoStatus> statusFromIcmp(int type, int code) {
    switch (type) {
    case ICMP_DEST_UNREACH:
        switch (code) {
        case ICMP_NET_UNREACH:
        case ICMP_NET_UNKNOWN:
        case ICMP_NET_ANO:
        case ICMP_NET_UNR_TOS:
            return EchoStatus::DestinationNetUnreachable;
        case ICMP_PROT_UNREACH:
            return EchoStatus::DestinationProtocolUnreachable;
        case ICMP_PORT_UNREACH:
            return EchoStatus::DestinationPortUnreachable;
        case ICMP_FRAG_NEEDED:
            return EchoStatus::PacketTooBig;
        case ICMP_SR_FAILED:
            return EchoStatus::BadRoute;
        default: // host unreachable, unknown, isolated, prohibited, precedence
            return EchoStatus::DestinationHostUnreachable;
        }
    case ICMP_SOURCE_QUENCH:
        return EchoStatus::SourceQuench;
    case ICMP_TIME_EXCEEDED:
        return code == ICMP_EXC_FRAGTIME ? EchoStatus::TtlExpiredReassembly : EchoStatus::TtlExpiredTransit;
    case ICMP_PARAMETERPROB:
        return EchoStatus::ParameterProblem;
    default:
        return std::nullopt;
    }
}

EchoStatus statusFromErrno(int error) {
    switch (error) {
    case ENETUNREACH:
        return EchoStatus::DestinationNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return EchoStatus::DestinationHostUnreachable;
    case EMSGSIZE:
        return EchoStatus::PacketTooBig;
    case ENOBUFS:
    case ENOMEM:
        return EchoStatus::NoResources;
    default: // refused by a firewall or a route of type prohibit, broadcast, ...
        return EchoStatus::GeneralFailure;
    }
}

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
    for (;;) {
        uchar data[kReceiveSize];
        alignas(cmsghdr) char control[512];
        iovec part{data, sizeof data};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (size < 0)
            return std::nullopt;
        // The queued data is the echo request the error is about.
        if (size >= kIcmpHeaderSize && data[0] == ICMP_ECHO && read16(data + 6) != sequence)
            continue;
        for (cmsghdr *c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR)
                continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(c), sizeof error);
            if (error.ee_origin == SO_EE_ORIGIN_ICMP) {
                if (auto status = statusFromIcmp(error.ee_type, error.ee_code))
                    return status;
            } else if (error.ee_origin == SO_EE_ORIGIN_LOCAL) {
                return statusFromErrno(static_cast<int>(error.ee_errno));
            }
        }
    }
}

quint16 nextRawIdentifier() {
    // Every raw ICMP socket of the host sees every echo reply: the identifier tells ours apart.
    static std::atomic<quint16> next{static_cast<quint16>(::getpid())};
    return next.fetch_add(1);
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

    const auto isOurs = [&](const uchar *icmp) {
        return read16(icmp + 4) == identifier && read16(icmp + 6) == sequence;
    };
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    short revents = 0;
    while (waitForSocket(fd, deadline, revents)) {
        uchar packet[kReceiveSize];
        // A failed read here is an error the kernel also delivers as an ICMP message, read next.
        const ssize_t size = ::recv(fd, packet, sizeof packet, MSG_DONTWAIT);
        if (size < kIpHeaderMinimum)
            continue;
        const int headerSize = (packet[0] & 0x0F) * 4;
        if (size < headerSize + kIcmpHeaderSize)
            continue;
        const uchar *icmp = packet + headerSize;
        if (icmp[0] == ICMP_ECHOREPLY) {
            if (isOurs(icmp))
                return EchoResult{EchoStatus::Success, elapsedMs(start)};
            continue;
        }
        const std::optional<EchoStatus> status = statusFromIcmp(icmp[0], icmp[1]);
        // An error quotes the IP header and the first 8 bytes of the echo it is about.
        const uchar *quoted = icmp + kIcmpHeaderSize;
        const ssize_t quotedSize = size - headerSize - kIcmpHeaderSize;
        if (!status || quotedSize < kIpHeaderMinimum)
            continue;
        const int quotedHeader = (quoted[0] & 0x0F) * 4;
        if (quotedSize < quotedHeader + kIcmpHeaderSize || quoted[9] != IPPROTO_ICMP ||
            std::memcmp(quoted + 16, &address, sizeof address) != 0)
            continue;
        const uchar *echo = quoted + quotedHeader;
        if (echo[0] == ICMP_ECHO && isOurs(echo))
            return EchoResult{*status, 0};
    }
    return EchoResult{EchoStatus::TimedOut, 0};
}

} // namespace ondalink

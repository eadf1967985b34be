// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/icmp_codec.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ondalink {

namespace {

constexpr char kPayload[] = "hello";
constexpr qsizetype kPayloadSize = 5;
constexpr size_t kReceiveSize = 1500;

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

} // namespace

quint16 read16(const uchar *at) {
    return static_cast<quint16>((at[0] << 8) | at[1]);
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

quint16 nextRawIdentifier() {
    static std::atomic<quint16> next{static_cast<quint16>(::getpid())};
    return next.fetch_add(1);
}

std::optional<RawIcmpMatch> matchRawIcmp(const uchar *packet, qsizetype size, quint16 identifier) {
    if (size < kIpHeaderMinimum)
        return std::nullopt;
    const int headerSize = (packet[0] & 0x0F) * 4;
    if (headerSize < kIpHeaderMinimum || size < headerSize + kIcmpHeaderSize)
        return std::nullopt;
    const uchar *icmp = packet + headerSize;
    if (icmp[0] == ICMP_ECHOREPLY) {
        if (read16(icmp + 4) != identifier)
            return std::nullopt;
        quint32 source = 0;
        std::memcpy(&source, packet + 12, sizeof source);
        return RawIcmpMatch{read16(icmp + 6), Ipv4Address::fromNetworkOrder(source), EchoStatus::Success};
    }
    const std::optional<EchoStatus> status = statusFromIcmp(icmp[0], icmp[1]);
    // An error quotes the IP header and the first 8 bytes of the echo it is about.
    const uchar *quoted = icmp + kIcmpHeaderSize;
    const qsizetype quotedSize = size - headerSize - kIcmpHeaderSize;
    if (!status || quotedSize < kIpHeaderMinimum)
        return std::nullopt;
    const int quotedHeader = (quoted[0] & 0x0F) * 4;
    if (quotedHeader < kIpHeaderMinimum || quotedSize < quotedHeader + kIcmpHeaderSize ||
        quoted[9] != IPPROTO_ICMP)
        return std::nullopt;
    const uchar *echo = quoted + quotedHeader;
    if (echo[0] != ICMP_ECHO || read16(echo + 4) != identifier)
        return std::nullopt;
    quint32 destination = 0;
    std::memcpy(&destination, quoted + 16, sizeof destination);
    return RawIcmpMatch{read16(echo + 6), Ipv4Address::fromNetworkOrder(destination), *status};
}

std::optional<QueuedIcmpError> readQueuedError(int fd) {
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
    QueuedIcmpError queued;
    // The queued data is the echo request the error is about.
    if (size >= kIcmpHeaderSize && data[0] == ICMP_ECHO)
        queued.sequence = read16(data + 6);
    for (cmsghdr *c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR)
            continue;
        sock_extended_err error{};
        std::memcpy(&error, CMSG_DATA(c), sizeof error);
        if (error.ee_origin == SO_EE_ORIGIN_ICMP)
            queued.status = statusFromIcmp(error.ee_type, error.ee_code);
        else if (error.ee_origin == SO_EE_ORIGIN_LOCAL)
            queued.status = statusFromErrno(static_cast<int>(error.ee_errno));
        if (queued.status)
            break;
    }
    return queued;
}

} // namespace ondalink

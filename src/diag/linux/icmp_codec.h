// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "model/ipv4.h"

#include <QByteArray>

#include <optional>

namespace ondalink {

// The ICMP bytes both echo backends share: the request they send and how they read what comes back.
inline constexpr int kIcmpHeaderSize = 8;
inline constexpr int kIpHeaderMinimum = 20;

quint16 read16(const uchar *at);
// An echo request with the payload "hello"; the checksum filled in (the datagram socket's kernel
// replaces the identifier and the checksum).
QByteArray echoRequest(quint16 identifier, quint16 sequence);
// nullopt for messages that say nothing about an echo's fate (a redirect, say).
std::optional<EchoStatus> statusFromIcmp(int type, int code);
// A send refused at once, or a local error queued on the socket.
EchoStatus statusFromErrno(int error);
// Every raw ICMP socket of the host sees every echo reply: the identifier tells ours apart.
quint16 nextRawIdentifier();

// What a packet read from a raw ICMP socket (IP header included) says about one of our echoes: the
// reply (Success) or an ICMP error quoting it; address is the echo's destination.
struct RawIcmpMatch {
    quint16 sequence = 0;
    Ipv4Address address;
    EchoStatus status = EchoStatus::Success;
};
std::optional<RawIcmpMatch> matchRawIcmp(const uchar *packet, qsizetype size, quint16 identifier);

// One entry of a datagram socket's error queue (IP_RECVERR): the sequence of the echo it quotes when
// it quotes one, and the status when it says something about the echo. nullopt when the queue is empty.
struct QueuedIcmpError {
    std::optional<quint16> sequence;
    std::optional<EchoStatus> status;
};
std::optional<QueuedIcmpError> readQueuedError(int fd);

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>

#include <optional>

namespace ondalink {

// The socket an ICMP echo of this process goes out on, in the order they are tried.
enum class PingMethod {
    None,     // neither socket may be opened: no echo can be sent
    Datagram, // the unprivileged ICMP datagram socket, for the groups in net.ipv4.ping_group_range
    Raw,      // a raw ICMP socket, which needs CAP_NET_RAW
};

// A socket of the first kind this process may open; the caller closes it. fd -1 and None when neither.
struct IcmpSocket {
    int fd = -1;
    PingMethod method = PingMethod::None;
};
IcmpSocket openIcmpSocket();

// net.ipv4.ping_group_range: the groups allowed the datagram socket. The kernel's default "1 0", low
// above high, holds no group.
struct GroupRange {
    quint32 low = 1;
    quint32 high = 0;
    bool contains(quint32 gid) const { return low <= gid && gid <= high; }
};

// The sysctl's text, two whole numbers separated by blanks or tabs; nullopt for anything else.
std::optional<GroupRange> parsePingGroupRange(QByteArrayView text);

// Which way ping works for this process, and why: opens the sockets an echo would and closes them
// again, sending nothing, and reads the range of this process's network namespace.
struct PingAccess {
    PingMethod method = PingMethod::None;
    std::optional<GroupRange> groupRange; // nullopt where it cannot be read
    bool rangeAdmitsProcess = false;      // the effective group or a supplementary one is in the range
};
PingAccess probePingAccess();

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/ping_method.h"

#include "model/unique_fd.h"

#include <QFile>

#include <algorithm>
#include <charconv>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ondalink {

namespace {

std::optional<quint32> groupId(QByteArrayView digits) {
    quint32 value = 0;
    const char *end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.isEmpty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

QList<quint32> processGroups() {
    QList<quint32> groups{static_cast<quint32>(::getegid())};
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        QList<gid_t> supplementary(count);
        const int read = ::getgroups(count, supplementary.data());
        for (int i = 0; i < read; ++i)
            groups.append(static_cast<quint32>(supplementary[i]));
    }
    return groups;
}

} // namespace

IcmpSocket openIcmpSocket() {
    // The kernel checks the group range when the datagram socket is made, not when it sends.
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd >= 0)
        return IcmpSocket{fd, PingMethod::Datagram};
    fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd >= 0)
        return IcmpSocket{fd, PingMethod::Raw};
    return IcmpSocket{};
}

std::optional<GroupRange> parsePingGroupRange(QByteArrayView text) {
    const QList<QByteArray> fields = text.toByteArray().simplified().split(' ');
    if (fields.size() != 2)
        return std::nullopt;
    const auto low = groupId(fields[0]);
    const auto high = groupId(fields[1]);
    if (!low || !high)
        return std::nullopt;
    return GroupRange{*low, *high};
}

PingAccess probePingAccess() {
    PingAccess access;
    const IcmpSocket socket = openIcmpSocket();
    const UniqueFd opened(socket.fd); // only to see whether it opens
    access.method = socket.method;

    QFile file(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
    if (file.open(QIODevice::ReadOnly))
        access.groupRange = parsePingGroupRange(file.read(64));
    if (access.groupRange) {
        const QList<quint32> groups = processGroups();
        access.rangeAdmitsProcess = std::any_of(
            groups.cbegin(), groups.cend(), [&](quint32 gid) { return access.groupRange->contains(gid); });
    }
    return access;
}

} // namespace ondalink

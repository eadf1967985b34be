// SPDX-License-Identifier: GPL-3.0-or-later
#include "neighbour_resolver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QtEndian>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr unsigned kFlagComplete = 0x2;

// Four decimal octets exactly, as the kernel writes them.
std::optional<quint32> tableAddress(const QByteArray &text) {
    const QList<QByteArray> parts = text.split('.');
    if (parts.size() != 4)
        return std::nullopt;
    quint32 host = 0;
    for (const QByteArray &part : parts) {
        bool ok = false;
        const uint octet = part.toUInt(&ok, 10);
        if (!ok || octet > 255)
            return std::nullopt;
        host = (host << 8) | octet;
    }
    return qToBigEndian(host);
}

std::optional<QByteArray> hardwareBytes(const QByteArray &text) {
    QByteArray bytes;
    for (const QByteArray &pair : text.split(':')) {
        bool ok = false;
        const uint value = pair.toUInt(&ok, 16);
        if (!ok || pair.size() != 2)
            return std::nullopt;
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

QByteArrayView baseName(const char *label) {
    // Address labels such as "eth0:1" belong to the interface "eth0".
    const QByteArrayView name(label);
    const qsizetype colon = name.indexOf(':');
    return colon < 0 ? name : name.first(colon);
}

struct LocalInfo {
    std::optional<QByteArray> ownHardwareAddress;
    bool onLink = false;
};

LocalInfo localInfo(quint32 address) {
    LocalInfo info;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return info;
    QByteArray owner;
    for (ifaddrs *i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET)
            continue;
        const quint32 local = reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr.s_addr;
        if (local == address)
            owner = baseName(i->ifa_name).toByteArray();
        if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        if ((i->ifa_flags & IFF_POINTOPOINT) != 0 && i->ifa_dstaddr != nullptr &&
            reinterpret_cast<const sockaddr_in *>(i->ifa_dstaddr)->sin_addr.s_addr == address)
            info.onLink = true;
        if (i->ifa_netmask != nullptr) {
            const quint32 mask = reinterpret_cast<const sockaddr_in *>(i->ifa_netmask)->sin_addr.s_addr;
            if ((local & mask) == (address & mask))
                info.onLink = true;
        }
    }
    if (!owner.isEmpty()) {
        info.ownHardwareAddress = QByteArray(); // an interface without a hardware address
        for (ifaddrs *i = list; i != nullptr; i = i->ifa_next) {
            if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_PACKET ||
                baseName(i->ifa_name) != owner)
                continue;
            const auto *link = reinterpret_cast<const sockaddr_ll *>(i->ifa_addr);
            const qsizetype length = qMin<qsizetype>(link->sll_halen, sizeof(link->sll_addr));
            info.ownHardwareAddress = QByteArray(reinterpret_cast<const char *>(link->sll_addr), length);
            break;
        }
    }
    freeifaddrs(list);
    return info;
}

bool isUnicast(quint32 addressNetworkOrder) {
    const quint32 host = qFromBigEndian(addressNetworkOrder);
    return host != 0 && host != 0xFFFFFFFFu && (host >> 28) != 0xE && (host >> 24) != 127;
}

qint64 monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace

std::optional<QByteArray> completeNeighbour(const QByteArray &table, quint32 addressNetworkOrder) {
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) { // line 0 is the heading
        const QList<QByteArray> fields = lines.at(n).simplified().split(' ');
        if (fields.size() < 4 || tableAddress(fields.at(0)) != addressNetworkOrder)
            continue;
        bool ok = false;
        const uint flags = fields.at(2).toUInt(&ok, 0);
        if (!ok || (flags & kFlagComplete) == 0)
            continue;
        if (auto bytes = hardwareBytes(fields.at(3)))
            return bytes;
    }
    return std::nullopt;
}

bool PromptLimiter::allow(quint32 address, qint64 nowMs) {
    const auto last = m_last.constFind(address);
    if (last != m_last.constEnd() && nowMs - *last < m_intervalMs)
        return false;
    if (m_last.size() >= m_pruneAt) {
        m_last.removeIf([&](const auto &entry) { return nowMs - entry.value() >= m_intervalMs; });
        // Entries still fresh stay; the next clean-up waits until the table has doubled.
        m_pruneAt = qMax<qsizetype>(kPruneAtLeast, 2 * m_last.size());
    }
    m_last.insert(address, nowMs);
    return true;
}

NeighbourResolver::NeighbourResolver(QString tablePath) : m_tablePath(std::move(tablePath)) {}

bool NeighbourResolver::sendArp(quint32 addressNetworkOrder, QByteArray &hardwareAddress) {
    const LocalInfo local = localInfo(addressNetworkOrder);
    if (local.ownHardwareAddress) {
        hardwareAddress = *local.ownHardwareAddress;
        return true;
    }

    QFile table(m_tablePath);
    if (table.open(QIODevice::ReadOnly)) {
        if (auto found = completeNeighbour(table.readAll(), addressNetworkOrder)) {
            hardwareAddress = *found;
            return true;
        }
    }

    // Off-link addresses never get an entry: nothing is sent towards them.
    if (local.onLink && isUnicast(addressNetworkOrder) && m_limiter.allow(addressNetworkOrder, monotonicMs()))
        prompt(addressNetworkOrder);
    return false;
}

void NeighbourResolver::prompt(quint32 addressNetworkOrder) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kDiscardPort);
    to.sin_addr.s_addr = addressNetworkOrder;
    // A datagram for a neighbour without an entry is queued while the kernel sends the ARP request.
    if (::sendto(fd, "", 0, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0)
        ++m_promptsSent;
    ::close(fd);
}

} // namespace ondalink

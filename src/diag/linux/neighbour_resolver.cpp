// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/linux/neighbour_resolver.h"

#include "model/ipv4.h"
#include "model/unique_fd.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QtEndian>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sys/socket.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr unsigned kFlagComplete = 0x2;

std::optional<quint32> tableAddress(const QByteArray &text) {
    const auto address = parseDottedAddress(QString::fromLatin1(text));
    return address ? std::optional(address->toNetworkOrder()) : std::nullopt;
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

} // namespace

// This host's IPv4 addresses and the hardware addresses of their interfaces, read once.
class LocalInterfaces {
public:
    LocalInterfaces() {
        ifaddrs *list = nullptr;
        if (getifaddrs(&list) != 0)
            return;
        for (ifaddrs *i = list; i != nullptr; i = i->ifa_next) {
            if (i->ifa_addr == nullptr)
                continue;
            const QByteArray name = baseName(i->ifa_name).toByteArray();
            if (i->ifa_addr->sa_family == AF_PACKET) {
                const auto *link = reinterpret_cast<const sockaddr_ll *>(i->ifa_addr);
                const qsizetype length = qMin<qsizetype>(link->sll_halen, sizeof(link->sll_addr));
                m_hardware.insert(name, QByteArray(reinterpret_cast<const char *>(link->sll_addr), length));
            } else if (i->ifa_addr->sa_family == AF_INET) {
                Address a{name, inAddress(i->ifa_addr), 0, std::nullopt, false};
                a.usable = (i->ifa_flags & IFF_UP) != 0 && (i->ifa_flags & IFF_LOOPBACK) == 0;
                if (i->ifa_netmask != nullptr)
                    a.mask = inAddress(i->ifa_netmask);
                if ((i->ifa_flags & IFF_POINTOPOINT) != 0 && i->ifa_dstaddr != nullptr)
                    a.peer = inAddress(i->ifa_dstaddr);
                m_addresses.append(a);
            }
        }
        freeifaddrs(list);
    }

    // The hardware address of the interface holding the address (empty when it has none);
    // nullopt when the address is not this host's.
    std::optional<QByteArray> ownHardwareAddress(quint32 address) const {
        for (const Address &a : m_addresses)
            if (a.local == address)
                return m_hardware.value(a.interface);
        return std::nullopt;
    }

    bool onLink(quint32 address) const {
        return std::any_of(m_addresses.begin(), m_addresses.end(), [&](const Address &a) {
            return a.usable &&
                   (a.peer == address || (a.mask != 0 && (a.local & a.mask) == (address & a.mask)));
        });
    }

private:
    struct Address {
        QByteArray interface;
        quint32 local = 0;
        quint32 mask = 0;
        std::optional<quint32> peer;
        bool usable = false;
    };

    static quint32 inAddress(const sockaddr *address) {
        return reinterpret_cast<const sockaddr_in *>(address)->sin_addr.s_addr;
    }

    QList<Address> m_addresses;
    QHash<QByteArray, QByteArray> m_hardware;
};

namespace {

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

namespace {

// The address and hardware address of a complete entry (flag 0x2) on one line of the table.
std::optional<std::pair<quint32, QByteArray>> completeEntry(const QByteArray &line) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 4)
        return std::nullopt;
    const auto address = tableAddress(fields.at(0));
    bool ok = false;
    const uint flags = fields.at(2).toUInt(&ok, 0);
    if (!address || !ok || (flags & kFlagComplete) == 0)
        return std::nullopt;
    const auto bytes = hardwareBytes(fields.at(3));
    if (!bytes)
        return std::nullopt;
    return std::pair{*address, *bytes};
}

} // namespace

std::optional<QByteArray> completeNeighbour(const QByteArray &table, quint32 addressNetworkOrder) {
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) { // line 0 is the heading
        if (auto entry = completeEntry(lines.at(n)); entry && entry->first == addressNetworkOrder)
            return entry->second;
    }
    return std::nullopt;
}

QSet<quint32> completeNeighbours(const QByteArray &table) {
    QSet<quint32> found;
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n)
        if (auto entry = completeEntry(lines.at(n)))
            found.insert(entry->first);
    return found;
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
    const LocalInterfaces interfaces;
    if (auto own = interfaces.ownHardwareAddress(addressNetworkOrder)) {
        hardwareAddress = *own;
        return true;
    }
    if (auto found = completeNeighbour(readTable(), addressNetworkOrder)) {
        hardwareAddress = *found;
        return true;
    }
    promptIfUseful(interfaces, addressNetworkOrder);
    return false;
}

void NeighbourResolver::prepare(const QList<quint32> &addressesNetworkOrder) {
    const LocalInterfaces interfaces;
    const QSet<quint32> complete = completeNeighbours(readTable());
    for (const quint32 address : addressesNetworkOrder)
        if (!complete.contains(address) && !interfaces.ownHardwareAddress(address))
            promptIfUseful(interfaces, address);
}

bool NeighbourResolver::canReach(quint32 addressNetworkOrder) const {
    const LocalInterfaces interfaces;
    return interfaces.ownHardwareAddress(addressNetworkOrder) || interfaces.onLink(addressNetworkOrder);
}

QByteArray NeighbourResolver::readTable() const {
    QFile table(m_tablePath);
    return table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray();
}

// Off-link addresses never get an entry: nothing is sent towards them.
void NeighbourResolver::promptIfUseful(const LocalInterfaces &interfaces, quint32 addressNetworkOrder) {
    if (isUnicast(addressNetworkOrder) && interfaces.onLink(addressNetworkOrder) &&
        m_limiter.allow(addressNetworkOrder, monotonicMs()))
        prompt(addressNetworkOrder);
}

void NeighbourResolver::prompt(quint32 addressNetworkOrder) {
    const UniqueFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kDiscardPort);
    to.sin_addr.s_addr = addressNetworkOrder;
    // A datagram for a neighbour without an entry is queued while the kernel sends the ARP request.
    if (::sendto(socket.get(), "", 0, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0)
        ++m_promptsSent;
}

} // namespace ondalink

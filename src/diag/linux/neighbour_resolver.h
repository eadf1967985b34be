// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/mac_resolver.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace ondalink {

// The hardware address of the first complete entry (flag 0x2) for the address in the text of the
// kernel's ARP table, as /proc/net/arp shows it.
std::optional<QByteArray> completeNeighbour(const QByteArray &table, quint32 addressNetworkOrder);
// Every address with a complete entry in the table's text.
QSet<quint32> completeNeighbours(const QByteArray &table);

// Allows at most one resolution prompt per address within the interval, so that a caller retrying
// every few milliseconds does not send a datagram with every attempt.
class PromptLimiter {
public:
    explicit PromptLimiter(qint64 intervalMs = 200) : m_intervalMs(intervalMs) {}
    bool allow(quint32 address, qint64 nowMs);

private:
    static constexpr qsizetype kPruneAtLeast = 256;

    qint64 m_intervalMs;
    qsizetype m_pruneAt = kPruneAtLeast;
    QHash<quint32, qint64> m_last;
};

class LocalInterfaces;

// One attempt reads the neighbour table and never waits for the network. An address of this host
// gives the hardware address of the interface that holds it. An on-link address without a complete
// entry gets one empty UDP datagram to its discard port, which makes the kernel resolve it, and the
// attempt fails; a later attempt finds the entry.
class NeighbourResolver : public MacResolver {
public:
    static constexpr quint16 kDiscardPort = 9;

    explicit NeighbourResolver(QString tablePath = QStringLiteral("/proc/net/arp"));

    bool sendArp(quint32 addressNetworkOrder, QByteArray &hardwareAddress) override;
    // Prompts, in one pass over the table, every given on-link address that has no complete entry.
    void prepare(const QList<quint32> &addressesNetworkOrder) override;
    bool canReach(quint32 addressNetworkOrder) const override;

    int promptsSent() const { return m_promptsSent; }

private:
    QByteArray readTable() const;
    void promptIfUseful(const LocalInterfaces &interfaces, quint32 addressNetworkOrder);
    void prompt(quint32 addressNetworkOrder);

    QString m_tablePath;
    PromptLimiter m_limiter;
    int m_promptsSent = 0;
};

} // namespace ondalink

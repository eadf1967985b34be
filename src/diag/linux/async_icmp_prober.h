// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/async_echo_prober.h"
#include "diag/linux/ping_method.h"
#include "model/unique_fd.h"

#include <QHash>
#include <QTimer>

#include <map>

class QSocketNotifier;

namespace ondalink {

// Asynchronous ICMP echo on Linux: one non-blocking socket watched by a QSocketNotifier, replies
// matched to their probe by identifier and sequence, each probe with its own deadline. The socket
// kind is chosen as for the operator's ping (datagram socket where ping_group_range allows, else
// raw with CAP_NET_RAW); with neither, isPermitted() is false.
class AsyncIcmpProber : public AsyncEchoProber {
    Q_OBJECT
public:
    // Opens the socket here, in this thread's network namespace.
    explicit AsyncIcmpProber(QObject *parent = nullptr);
    // Takes a socket openIcmpSocket() gave (fd -1: not permitted), which may come from another
    // network namespace.
    explicit AsyncIcmpProber(IcmpSocket opened, QObject *parent = nullptr);
    ~AsyncIcmpProber() override;

    bool isPermitted() const override { return m_method != PingMethod::None; }
    quint64 probe(Ipv4Address address, int timeoutMs) override;
    int inFlight() const override { return static_cast<int>(m_pending.size()); }

    PingMethod method() const { return m_method; }

private:
    struct Pending {
        quint64 token = 0;
        Ipv4Address address;
        qint64 sentMs = 0;
        qint64 deadlineMs = 0;
    };

    void readReplies();
    void readDatagramReply(const uchar *icmp, qsizetype size, Ipv4Address from);
    void readRawPacket(const uchar *packet, qsizetype size);
    void readQueuedErrors();
    void expire();
    void finish(quint16 sequence, EchoResult result);
    void scheduleExpiry();
    qint64 nowMs() const;

    PingMethod m_method = PingMethod::None;
    UniqueFd m_socket;
    QSocketNotifier *m_readable = nullptr; // a child, so that it moves with the prober
    QHash<quint16, Pending> m_pending;     // by sequence
    std::multimap<qint64, quint16> m_deadlines;
    QTimer m_expiry;
    quint16 m_identifier = 0; // raw sockets only; the kernel picks the datagram socket's
    quint16 m_sequence = 0;
    quint64 m_nextToken = 0;
};

} // namespace ondalink

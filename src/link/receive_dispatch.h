// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ipv4.h"

#include <QByteArray>
#include <QObject>

#include <deque>
#include <functional>

namespace ondalink {

class UdpEndpoint;

// What a received datagram is, decided by its length alone.
enum class DatagramKind { LevelReply, Ignored, ElementReport };

// 1440 bytes: level reply; 49 or more: ignored; 3: ignored (an echoed level request); else a report.
DatagramKind classifyDatagram(qsizetype length);

// Hands the endpoint's datagrams to their handlers one at a time, in arrival order. A report
// handler may finish later (done() from the event loop, or after a modal message box): until it
// has, nothing else is dispatched. The next datagram always goes through a queued call, so a
// burst never turns into recursion.
class ReceiveDispatch : public QObject {
    Q_OBJECT
public:
    using LevelHandler = std::function<void(const QByteArray &reply, Ipv4Address sender)>;
    using ReportHandler = std::function<void(const QByteArray &datagram, Ipv4Address sender,
                                             bool discoveryAtArrival, std::function<void()> done)>;

    ReceiveDispatch(UdpEndpoint &endpoint, LevelHandler level, ReportHandler report,
                    QObject *parent = nullptr);

    // Work that must not run inside the handling of a datagram (a report whose MAC has been found
    // meanwhile): it runs one at a time like a datagram, before the datagrams that wait, and in the
    // order it was posted. done() ends it as it ends a report.
    using Work = std::function<void(std::function<void()> done)>;
    void post(Work work);
    bool hasPostedWork() const { return !m_posted.empty(); }

    bool busy() const { return m_busy; }
    quint64 dispatchedCount() const { return m_dispatched; }

Q_SIGNALS:
    // A datagram's handling has ended (done ran, or its handler returned).
    void datagramHandled();

private:
    void schedule();
    void dispatchNext();
    void finishOne();

    std::function<void()> doneFor(quint64 number);

    UdpEndpoint &m_endpoint;
    std::deque<Work> m_posted;
    LevelHandler m_level;
    ReportHandler m_report;
    bool m_busy = false;
    bool m_scheduled = false;
    quint64 m_dispatched = 0;
    quint64 m_posts = 0;
    quint64 m_current = 0; // number of what is being handled; a stale done() is ignored
};

} // namespace ondalink

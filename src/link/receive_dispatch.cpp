// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receive_dispatch.h"

#include "link/datagrams.h"
#include "link/udp_endpoint.h"

#include <QPointer>

namespace ondalink {

DatagramKind classifyDatagram(qsizetype length) {
    if (length == kLevelReplyLength)
        return DatagramKind::LevelReply;
    if (length >= 49)
        return DatagramKind::Ignored;
    if (length == 3)
        return DatagramKind::Ignored;
    return DatagramKind::ElementReport;
}

ReceiveDispatch::ReceiveDispatch(UdpEndpoint &endpoint, LevelHandler level, ReportHandler report,
                                 QObject *parent)
    : QObject(parent), m_endpoint(endpoint), m_level(std::move(level)), m_report(std::move(report)) {
    connect(&m_endpoint, &UdpEndpoint::datagramsQueued, this, &ReceiveDispatch::schedule);
}

void ReceiveDispatch::post(Work work) {
    m_posted.push_back(std::move(work));
    schedule();
}

// done() may come at once, later from the event loop, or (by mistake) twice: only the first call for
// the item being handled counts.
std::function<void()> ReceiveDispatch::doneFor(quint64 number) {
    return [self = QPointer<ReceiveDispatch>(this), number] {
        if (self && self->m_busy && self->m_current == number)
            self->finishOne();
    };
}

void ReceiveDispatch::schedule() {
    if (m_busy || m_scheduled || (!m_endpoint.hasPending() && m_posted.empty()))
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &ReceiveDispatch::dispatchNext, Qt::QueuedConnection);
}

void ReceiveDispatch::dispatchNext() {
    m_scheduled = false;
    if (m_busy)
        return;
    if (!m_posted.empty()) {
        Work work = std::move(m_posted.front());
        m_posted.pop_front();
        m_busy = true;
        m_current = ++m_posts + (quint64{1} << 63); // numbered apart from the datagrams
        work(doneFor(m_current));
        return;
    }
    if (!m_endpoint.hasPending())
        return;
    ReceivedDatagram next = m_endpoint.takeNext();
    m_busy = true;
    const quint64 number = ++m_dispatched;
    m_current = number;

    switch (classifyDatagram(next.data.size())) {
    case DatagramKind::LevelReply:
        if (m_level)
            m_level(next.data, next.sender);
        finishOne();
        break;
    case DatagramKind::Ignored:
        finishOne();
        break;
    case DatagramKind::ElementReport:
        if (!m_report) {
            finishOne();
            break;
        }
        m_report(next.data, next.sender, next.discoveryAtArrival, doneFor(number));
        break;
    }
}

void ReceiveDispatch::finishOne() {
    m_busy = false;
    Q_EMIT datagramHandled();
    schedule();
}

} // namespace ondalink

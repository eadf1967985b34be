// SPDX-License-Identifier: GPL-3.0-or-later
// What tests reach inside the link: its timers, endpoint and parts, which the program never touches
// from outside.
#pragma once

#include "link/discovery.h"
#include "link/element_link.h"
#include "link/element_report_handler.h"
#include "link/receive_dispatch.h"
#include "link/udp_endpoint.h"

#include <QTimer>

namespace ondalink {

class ElementLinkTestPeer {
public:
    explicit ElementLinkTestPeer(ElementLink &link) : m_link(link) {}

    QTimer &responseTimer() { return m_link.m_responseTimer; }
    UdpEndpoint &endpoint() { return *m_link.m_endpoint; }
    ElementReportHandler &reportHandler() { return *m_link.m_reportHandler; }
    ReceiveDispatch &dispatch() { return *m_link.m_dispatch; }
    MacLookups &lookups() { return m_link.m_reportHandler->m_lookups; }
    // Nothing waits or is being handled: every datagram that arrived, and every report that waited for
    // its MAC, is done with.
    bool drained() {
        return !dispatch().busy() && !dispatch().hasPostedWork() && !endpoint().hasPending() &&
               !reportHandler().busy();
    }
    // As if a discovery had begun or ended, without a paging request.
    void setDiscovering(bool on) { m_link.m_discovering = on; }

private:
    ElementLink &m_link;
};

class DiscoveryTestPeer {
public:
    explicit DiscoveryTestPeer(Discovery &discovery) : m_discovery(discovery) {}
    QTimer &wait() { return m_discovery.m_wait; }

private:
    Discovery &m_discovery;
};

} // namespace ondalink

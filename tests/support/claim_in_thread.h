// SPDX-License-Identifier: GPL-3.0-or-later
// Another program of ours holding the elements' port: an EndpointClaim answered from a thread of
// its own, as a second process would answer while this one waits for it.
#pragma once

#include "link/endpoint_claim.h"

#include <QThread>

#include <memory>

namespace ondalink::testing {

class ClaimInThread {
public:
    ClaimInThread(quint16 port, const QString &who) {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                m_claim = std::make_unique<EndpointClaim>(port, who);
                m_held = m_claim->acquire();
            },
            Qt::BlockingQueuedConnection);
    }
    ~ClaimInThread() { release(); }
    ClaimInThread(const ClaimInThread &) = delete;
    ClaimInThread &operator=(const ClaimInThread &) = delete;

    bool held() const { return m_held; }
    void release() {
        if (!m_thread.isRunning())
            return;
        QMetaObject::invokeMethod(
            &m_context, [&] { m_claim.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<EndpointClaim> m_claim;
    bool m_held = false;
};

} // namespace ondalink::testing

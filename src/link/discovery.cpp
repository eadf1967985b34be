// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery.h"

#include "link/datagrams.h"
#include "link/element_link.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// How often the paging window's count of stored elements is refreshed.
constexpr int kProgressPollMs = 200;

} // namespace

Discovery::Discovery(ElementLink &link, PagingView &view, QObject *parent)
    : QObject(parent), m_link(link), m_view(view) {
    m_timer1.setSingleShot(true);
    m_timer1.setInterval(m_link.settings().pagingWaitMs);
    connect(&m_timer1, &QTimer::timeout, this, &Discovery::Timer1_Timer);
    m_progress.setInterval(kProgressPollMs);
    connect(&m_progress, &QTimer::timeout, this, &Discovery::pollStoredCount);
}

bool Discovery::confirm() {
    const QString text = u"Performing an 'Auto Discovery' will delete the local database in your computer\r"
                         u"and create a new one, based on the Network Elements found (if any). \r"
                         u"Are you sure?"_s;
    return m_link.notifier().show(question(text, u"Auto Discovery"_s)) == Answer::Yes;
}

void Discovery::Form_Load() {
    if (m_waiting)
        return;
    m_view.clearGetVolume();
    m_view.emptyLists();
    m_storedCount = 0;
    Q_EMIT storedCountChanged(0);

    QString error;
    if (!m_link.database().recreateEmpty(&error)) {
        m_link.notifier().show(
            critical(twoLines(u"The local database in your computer could not be recreated: %1"_s.arg(error),
                              u"Auto Discovery has been stopped."_s)));
        m_link.requestTreeReload();
        Q_EMIT finished();
        m_view.closePagingWindow();
        return;
    }

    UdpEndpoint &endpoint = m_link.endpoint();
    m_savedHost = endpoint.remoteHost();
    m_savedPort = endpoint.remotePort();
    endpoint.setRemotePort(m_link.settings().pagingPort);
    endpoint.setRemoteHost(m_link.settings().pagingHost);
    m_timer1.start();
    m_link.setAutoDiscoverAwaiting(true);
    m_waiting = true;
    m_progress.start();

    QString failure;
    if (sendPagingRequest(&failure))
        return;
    // Nothing went out, so nothing can answer: say so now instead of after three silent seconds.
    endWait();
    const QString backup = QFileInfo(m_link.database().path()).fileName() + u".bak"_s;
    m_link.notifier().show(critical(twoLines(
        u"The paging request could not be sent: %1."_s.arg(failure),
        u"No Network Element can answer. The previous database, if any, is kept as %1."_s.arg(backup))));
    m_link.requestTreeReload();
    Q_EMIT finished();
    m_view.closePagingWindow();
}

bool Discovery::sendPagingRequest(QString *failure) {
    const LinkSettings &settings = m_link.settings();
    const auto host = ipv4Address(settings.pagingHost);
    SendResult sent;
    if (host && *host == QHostAddress(QHostAddress::Broadcast))
        // Out of every network the host is on; a plain send would take the default route only,
        // and fail where there is none.
        sent = m_link.endpoint().broadcastOnEveryInterface(pagingRequest(), settings.pagingPort);
    else
        sent = m_link.endpoint().send(pagingRequest());
    if (!sent.ok && failure)
        *failure = sent.failure;
    return sent.ok;
}

void Discovery::Timer1_Timer() {
    if (!m_waiting)
        return;
    endWait();
    m_link.requestTreeReload();
    Q_EMIT finished();
    m_view.closePagingWindow();
}

void Discovery::Form_Unload() {
    if (!m_waiting)
        return;
    endWait();
    m_link.requestTreeReload();
    Q_EMIT finished();
}

void Discovery::endWait() {
    m_waiting = false;
    m_timer1.stop();
    m_progress.stop();
    m_link.endpoint().setRemotePort(m_savedPort);
    m_link.endpoint().setRemoteHost(m_savedHost);
    m_link.setAutoDiscoverAwaiting(false);
    pollStoredCount();
}

void Discovery::pollStoredCount() {
    const int count = static_cast<int>(m_link.database().listing().size());
    if (count == m_storedCount)
        return;
    m_storedCount = count;
    Q_EMIT storedCountChanged(count);
}

} // namespace ondalink

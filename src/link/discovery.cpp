// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/discovery.h"

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

Discovery::Discovery(ElementLink &link, QObject *parent) : QObject(parent), m_link(link) {
    m_wait.setObjectName(u"discoveryWait"_s);
    m_wait.setSingleShot(true);
    m_wait.setInterval(m_link.settings().pagingWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &Discovery::finish);
    m_progress.setInterval(kProgressPollMs);
    connect(&m_progress, &QTimer::timeout, this, &Discovery::pollStoredCount);
}

bool Discovery::confirm() {
    return m_link.notifier().show({MessageId::DiscoveryConfirm}) == Answer::Yes;
}

void Discovery::start() {
    if (m_state != State::Idle)
        return;
    Q_EMIT starting();
    m_storedCount = 0;
    Q_EMIT storedCountChanged(0);

    QString error;
    if (!m_link.database().recreateEmpty(&error)) {
        m_link.notifier().show({MessageId::DatabaseNotRecreated, {error}});
        m_state = State::Waiting;
        m_recreated = false;
        finish();
        return;
    }

    m_state = State::Waiting;
    m_recreated = true;
    m_wait.start();
    m_progress.start();
    QString failure;
    if (m_link.beginDiscovery(&failure))
        return;
    // Nothing went out, so nothing can answer: say so now instead of after three silent seconds.
    m_wait.stop();
    m_progress.stop();
    pollStoredCount();
    const QString backup = QFileInfo(m_link.database().path()).fileName() + u".bak"_s;
    m_link.notifier().show({MessageId::PagingNotSent, {failure, backup}});
    finish();
}

void Discovery::cancel() {
    finish();
}

void Discovery::finish() {
    if (m_state != State::Waiting)
        return;
    m_state = State::Idle;
    m_wait.stop();
    m_progress.stop();
    m_link.endDiscovery();
    if (m_recreated)
        pollStoredCount();
    m_link.requestTreeReload();
    Q_EMIT finished();
}

void Discovery::pollStoredCount() {
    const int count = static_cast<int>(m_link.database().listing().size());
    if (count == m_storedCount)
        return;
    m_storedCount = count;
    Q_EMIT storedCountChanged(count);
}

} // namespace ondalink

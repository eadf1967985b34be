// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/discovery.h"

#include "link/element_link.h"
#include "model/log.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// How often the paging window's count of stored elements is refreshed.
constexpr int kProgressPollMs = 200;

} // namespace

Discovery::Discovery(ElementLink &link, Mode mode, QObject *parent)
    : QObject(parent), m_link(link), m_mode(mode) {
    m_wait.setObjectName(u"discoveryWait"_s);
    m_wait.setSingleShot(true);
    m_wait.setInterval(m_link.settings().pagingWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &Discovery::finish);
    m_progress.setInterval(kProgressPollMs);
    connect(&m_progress, &QTimer::timeout, this, &Discovery::pollStoredCount);
}

bool Discovery::confirm() {
    const MessageId id = m_mode == Mode::Update ? MessageId::UpdateConfirm : MessageId::DiscoveryConfirm;
    return m_link.notifier().show({id}) == Answer::Yes;
}

void Discovery::start() {
    if (m_state != State::Idle)
        return;
    Q_EMIT starting();
    m_storedCount = 0;
    Q_EMIT storedCountChanged(0);

    QString error;
    m_listedAtStart.clear();
    if (m_mode == Mode::Update) {
        for (const ElementListing &element : m_link.database().listing())
            m_listedAtStart.append(element.key);
    }
    const bool ready = m_mode == Mode::Update ? m_link.database().keepBackup(&error)
                                              : m_link.database().recreateEmpty(&error);
    if (!ready) {
        if (m_mode == Mode::Update)
            m_link.notifier().show(
                {MessageId::BackupNotKept, {error, QFileInfo(m_link.database().backupPath()).fileName()}});
        else
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
    if (m_mode == Mode::Update && m_recreated) {
        const QSet<QString> answered = m_link.discoveredKeys();
        QStringList silent;
        for (const QString &key : std::as_const(m_listedAtStart)) {
            if (!answered.contains(key))
                silent.append(key);
        }
        qCInfo(lcLink).noquote() << "update from network:" << silent.size()
                                 << "listed elements did not answer";
        Q_EMIT notAnswered(silent);
    }
    Q_EMIT finished();
}

// An update counts the elements that answered; the database lists the others too.
void Discovery::pollStoredCount() {
    const int count = m_mode == Mode::Update ? static_cast<int>(m_link.discoveredKeys().size())
                                             : static_cast<int>(m_link.database().listing().size());
    if (count == m_storedCount)
        return;
    m_storedCount = count;
    Q_EMIT storedCountChanged(count);
}

} // namespace ondalink

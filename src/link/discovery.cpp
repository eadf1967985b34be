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
    if (m_mode == Mode::Update) {
        const QString text =
            tr("Performing an 'Update from network' will page the network and store or update the Network "
               "Elements that answer.\rElements that do not answer stay in the local database in your "
               "computer.\rAre you sure?");
        return m_link.notifier().show(question(text, tr("Update from network"))) == Answer::Yes;
    }
    const QString text = u"Performing an 'Auto Discovery' will delete the local database in your computer\r"
                         u"and create a new one, based on the Network Elements found (if any). \r"
                         u"Are you sure?"_s;
    return m_link.notifier().show(question(text, u"Auto Discovery"_s)) == Answer::Yes;
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
        const QString first =
            m_mode == Mode::Update
                ? tr("The local database in your computer could not be copied to %1: %2")
                      .arg(QFileInfo(m_link.database().backupPath()).fileName(), error)
                : u"The local database in your computer could not be recreated: %1"_s.arg(error);
        m_link.notifier().show(
            critical(twoLines(first, m_mode == Mode::Update ? tr("Update from network has been stopped.")
                                                            : u"Auto Discovery has been stopped."_s)));
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
    m_link.notifier().show(critical(twoLines(
        u"The paging request could not be sent: %1."_s.arg(failure),
        u"No Network Element can answer. The previous database, if any, is kept as %1."_s.arg(backup))));
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/status_bar_presenter.h"

#include "console/database_commands.h"
#include "console/element_naming.h"
#include "console/element_tree.h"
#include "console/main_window.h"
#include "model/encodings.h"
#include "model/mac_text.h"
#include "status/clock.h"
#include "status/reachability_monitor.h"

#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace ondalink {

StatusBarPresenter::StatusBarPresenter(MainWindow &window, ReachabilityMonitor &reachability, Clock &clock,
                                       QObject *parent)
    : QObject(parent), m_window(window), m_reachability(reachability), m_clock(clock) {
    QStatusBar *bar = window.statusBar();
    bar->setObjectName(u"statusBar"_s);
    m_outcome = new QLabel(bar);
    m_outcome->setObjectName(u"lblLastOutcome"_s);
    // A long outcome is cut rather than widening the window; its tooltip has it whole.
    m_outcome->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_outcome->setTextFormat(Qt::PlainText);
    m_outcome->setAccessibleName(tr("Last action"));
    m_outcome->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_outcome, 1);
    m_listed = new QLabel(bar);
    m_listed->setObjectName(u"lblElementsListed"_s);
    m_online = new QLabel(bar);
    m_online->setObjectName(u"lblElementsOnline"_s);
    for (QLabel *count : {m_listed, m_online}) {
        count->setTextFormat(Qt::PlainText);
        count->setContentsMargins(8, 0, 8, 0); // apart from each other and from the size grip
        bar->addPermanentWidget(count);
    }

    connectLink();
    connectCommands();
    ElementListModel &list = window.elementTree().model();
    connect(&list, &QAbstractItemModel::modelReset, this, &StatusBarPresenter::countListed);
    connect(&list, &QAbstractItemModel::rowsInserted, this, &StatusBarPresenter::countListed);
    connect(&list, &QAbstractItemModel::rowsRemoved, this, &StatusBarPresenter::countListed);
    connect(&reachability, &ReachabilityMonitor::elementsReloaded, this, &StatusBarPresenter::recountOnline);
    connect(&reachability, &ReachabilityMonitor::statusChanged, this,
            [this](const QString &, ElementStatus status, ElementStatus previous) {
                m_onlineCount +=
                    int(status == ElementStatus::Online) - int(previous == ElementStatus::Online);
                showOnline();
            });
    connect(&reachability, &ReachabilityMonitor::probingNotPermitted, this, &StatusBarPresenter::showOnline);
    connect(&window.pingPresenter(), &PingPresenter::echoed, this, &StatusBarPresenter::echoed);
    countListed();
    recountOnline();
}

void StatusBarPresenter::connectLink() {
    ElementLink &link = m_window.link();
    connect(&link, &ElementLink::configurationSent, this,
            [this](const QString &mac) { show(tr("Configuration sent to %1").arg(nameOf(mac))); });
    connect(&link, &ElementLink::elementConfirmed, this, [this](const ConfirmedState &, bool asSent) {
        const QString name = nameOf(m_window.link().shownMac());
        show(asSent ? tr("Configuration of %1 confirmed").arg(name)
                    : tr("Configuration of %1 answered: not every field was saved").arg(name));
        m_writeIncluded = true;
    });
    connect(&link, &ElementLink::configurationTimedOut, this, [this](const QString &mac) {
        show(tr("Configuration of %1 not confirmed: no answer").arg(nameOf(mac)));
    });
    connect(&link, &ElementLink::attenuationSent, this, [this](const QString &mac, int position) {
        show(tr("Attenuation of %1 set to %2").arg(nameOf(mac), attenuationText(position)));
        m_writeIncluded = true;
    });
    connect(&link, &ElementLink::elementRefused, this,
            [this](const QString &address, const QString &mac, const QString &) {
                // A discovery counts its refusals and says them at its end.
                if (!m_window.link().isDiscovering())
                    show(tr("Report from %1 refused").arg(mac.isEmpty() ? address.trimmed() : nameOf(mac)));
            });
    connect(&link, &ElementLink::databaseWritten, this, &StatusBarPresenter::databaseWritten);
    connect(&link, &ElementLink::databaseWriteFailed, this, [this] { show(tr("Database not written")); });
    connect(&link, &ElementLink::discoveryEnded, this,
            [this](const QStringList &, int, int stored, int refused) { discoveryEnded(stored, refused); });
}

void StatusBarPresenter::connectCommands() {
    DatabaseCommands &commands = m_window.databaseCommands();
    connect(&m_window.discovery(), &Discovery::starting, this, [this] { m_updating = false; });
    connect(&commands.update(), &Discovery::starting, this, [this] { m_updating = true; });
    connect(&commands, &DatabaseCommands::notAnswered, this, [this](const QStringList &keys) {
        show(tr("Update from network: %1 stored, %2 refused, %3 did not answer")
                 .arg(m_stored)
                 .arg(m_refused)
                 .arg(keys.size()));
    });
    connect(&commands, &DatabaseCommands::additionFinished, this, &StatusBarPresenter::additionFinished);
    connect(&commands, &DatabaseCommands::imported, this,
            [this](int elements) { show(tr("Import: %1 stored").arg(elements)); });
    connect(&commands, &DatabaseCommands::restored, this, [this] { show(tr("Previous database restored")); });
    connect(&commands, &DatabaseCommands::exported, this, [this](int elements, const QString &path) {
        show(tr("Export: %1 written to %2").arg(elements).arg(QFileInfo(path).fileName()));
    });
}

void StatusBarPresenter::show(const QString &outcome) {
    m_writeIncluded = false;
    const QString time = m_clock.wallTime().toLocalTime().toString(u"HH:mm:ss"_s);
    const QString text = tr("%1  %2", "the time of day, what the last action came to").arg(time, outcome);
    m_outcome->setText(text);
    m_outcome->setToolTip(text);
    m_outcome->setAccessibleDescription(text);
}

void StatusBarPresenter::databaseWritten() {
    // A discovery's batches are said by its end.
    if (m_window.link().isDiscovering())
        return;
    if (std::exchange(m_writeIncluded, false))
        return;
    show(tr("Database written"));
}

void StatusBarPresenter::discoveryEnded(int stored, int refused) {
    m_stored = stored;
    m_refused = refused;
    show(m_updating ? tr("Update from network: %1 stored, %2 refused").arg(stored).arg(refused)
                    : tr("Discovery: %1 stored, %2 refused").arg(stored).arg(refused));
    m_writeIncluded = true; // the tree's reload stores what the last answers left
}

void StatusBarPresenter::additionFinished(ElementAddition::Outcome outcome, const QString &key) {
    switch (outcome) {
    case ElementAddition::Outcome::Added:
        show(tr("Element %1 added").arg(nameOf(elementKeyToMac(key))));
        return;
    case ElementAddition::Outcome::NoAnswer:
        show(tr("Element not added: no answer"));
        return;
    case ElementAddition::Outcome::Refused:
        show(tr("Element not added: its report was refused"));
        return;
    case ElementAddition::Outcome::NotStarted:
        show(tr("Element not added"));
        return;
    }
}

void StatusBarPresenter::echoed(Ipv4Address address, const EchoResult &result) {
    const QString outcome = result.status == EchoStatus::Success ? tr("%1 ms").arg(result.roundTripMs)
                                                                 : echoStatusText(result.status);
    show(tr("Ping %1: %2").arg(nameAt(address), outcome));
}

QString StatusBarPresenter::nameOf(const QString &mac) const {
    const ElementListing *element = listedElement(m_window.elementTree().listing(), mac);
    return element ? elementLabel(*element) : mac;
}

QString StatusBarPresenter::nameAt(Ipv4Address address) const {
    const QList<ElementListing> &listing = m_window.elementTree().listing();
    const ElementListing *shown = listedElement(listing, m_window.panel().selectedMac());
    if (shown && parseDottedAddress(shown->ip) == address)
        return elementLabel(*shown);
    const QList<const ElementListing *> there = elementsAt(listing, address);
    return there.isEmpty() ? address.toString() : elementLabel(*there.front());
}

void StatusBarPresenter::countListed() {
    const QString text = tr("Elements: %1").arg(m_window.elementTree().model().rowCount());
    m_listed->setText(text);
    m_listed->setAccessibleName(text);
}

void StatusBarPresenter::recountOnline() {
    m_onlineCount = 0;
    for (const ElementState &state : m_reachability.states())
        m_onlineCount += state.status == ElementStatus::Online ? 1 : 0;
    showOnline();
}

void StatusBarPresenter::probingChanged() {
    showOnline();
}

void StatusBarPresenter::showOnline() {
    // Without probes the count would say nothing about the elements.
    m_online->setVisible(m_reachability.isEnabled() && m_reachability.probingPermitted());
    const QString text = tr("Online: %1").arg(m_onlineCount);
    m_online->setText(text);
    m_online->setAccessibleName(text);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/status_bar_presenter.h"

#include "console/presenters/element_naming.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "model/encodings.h"
#include "model/mac_text.h"
#include "status/clock.h"
#include "status/reachability_monitor.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ondalink {

StatusBarPresenter::StatusBarPresenter(ElementLink &link, Discovery &discovery, Discovery &update,
                                       ReachabilityMonitor &reachability, Clock &clock, QObject *parent)
    : QObject(parent), m_link(link), m_reachability(reachability), m_clock(clock) {
    connectLink(link);
    connect(&discovery, &Discovery::starting, this, [this] { m_updating = false; });
    connect(&update, &Discovery::starting, this, [this] { m_updating = true; });
    connect(&reachability, &ReachabilityMonitor::elementsReloaded, this, &StatusBarPresenter::recountOnline);
    connect(&reachability, &ReachabilityMonitor::statusChanged, this,
            [this](const QString &, ElementStatus status, ElementStatus previous) {
                m_onlineCount +=
                    int(status == ElementStatus::Online) - int(previous == ElementStatus::Online);
                Q_EMIT changed();
            });
    connect(&reachability, &ReachabilityMonitor::probingNotPermitted, this, &StatusBarPresenter::changed);
    recountOnline();
}

void StatusBarPresenter::connectLink(ElementLink &link) {
    connect(&link, &ElementLink::configurationSent, this,
            [this](const QString &mac) { show(tr("Configuration sent to %1").arg(nameOf(mac))); });
    connect(&link, &ElementLink::elementConfirmed, this, [this](const ConfirmedState &, bool asSent) {
        const QString name = nameOf(m_link.shownMac());
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
                if (!m_link.isDiscovering())
                    show(tr("Report from %1 refused").arg(mac.isEmpty() ? address.trimmed() : nameOf(mac)));
            });
    connect(&link, &ElementLink::databaseWritten, this, &StatusBarPresenter::databaseWritten);
    connect(&link, &ElementLink::databaseWriteFailed, this, [this] { show(tr("Database not written")); });
    connect(&link, &ElementLink::discoveryEnded, this,
            [this](const QStringList &, int, int stored, int refused) { discoveryEnded(stored, refused); });
}

void StatusBarPresenter::updateNotAnswered(qsizetype silent) {
    show(tr("Update from network: %1 stored, %2 refused, %3 did not answer")
             .arg(m_stored)
             .arg(m_refused)
             .arg(silent));
}

void StatusBarPresenter::imported(int elements) {
    show(tr("Import: %1 stored").arg(elements));
}

void StatusBarPresenter::restored() {
    show(tr("Previous database restored"));
}

void StatusBarPresenter::exported(int elements, const QString &path) {
    show(tr("Export: %1 written to %2").arg(elements).arg(QFileInfo(path).fileName()));
}

void StatusBarPresenter::show(const QString &outcome) {
    m_writeIncluded = false;
    const QString time = m_clock.wallTime().toLocalTime().toString(u"HH:mm:ss"_s);
    m_outcome = tr("%1  %2", "the time of day, what the last action came to").arg(time, outcome);
    Q_EMIT changed();
}

void StatusBarPresenter::databaseWritten() {
    // A discovery's batches are said by its end.
    if (m_link.isDiscovering())
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
    const ElementListing *element = listedElement(m_listing, mac);
    return element ? elementLabel(*element) : mac;
}

QString StatusBarPresenter::nameAt(Ipv4Address address) const {
    const ElementListing *shown = listedElement(m_listing, m_shownMac);
    if (shown && parseDottedAddress(shown->ip) == address)
        return elementLabel(*shown);
    const QList<const ElementListing *> there = elementsAt(m_listing, address);
    return there.isEmpty() ? address.toString() : elementLabel(*there.front());
}

void StatusBarPresenter::setListing(const QList<ElementListing> &listing) {
    m_listing = listing;
}

void StatusBarPresenter::setListedCount(qsizetype count) {
    m_listedCount = count;
    Q_EMIT changed();
}

QString StatusBarPresenter::listedText() const {
    return tr("Elements: %1").arg(m_listedCount);
}

void StatusBarPresenter::recountOnline() {
    m_onlineCount = 0;
    for (const ElementState &state : m_reachability.states())
        m_onlineCount += state.status == ElementStatus::Online ? 1 : 0;
    Q_EMIT changed();
}

void StatusBarPresenter::probingChanged() {
    Q_EMIT changed();
}

bool StatusBarPresenter::onlineShown() const {
    return m_reachability.isEnabled() && m_reachability.probingPermitted();
}

QString StatusBarPresenter::onlineText() const {
    return tr("Online: %1").arg(m_onlineCount);
}

} // namespace ondalink

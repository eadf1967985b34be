// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_link.h"

#include "diag/mac_resolver.h"
#include "link/configuration_write.h"
#include "link/datagrams.h"
#include "link/element_report.h"
#include "link/element_report_handler.h"
#include "link/endpoint_claim.h"
#include "link/receive_dispatch.h"
#include "model/element_record.h"
#include "model/log.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"
#include "store/element_schema.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

ElementLink::ElementLink(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                         std::function<ConfigurationWrite()> shown, LinkSettings settings, QObject *parent)
    : QObject(parent), m_database(database), m_notifier(notifier), m_shown(std::move(shown)),
      m_settings(std::move(settings)), m_resolver(resolver) {
    m_responseTimer.setObjectName(u"responseTimer"_s);
    m_responseTimer.setSingleShot(true);
    m_responseTimer.setInterval(m_settings.responseTimeoutMs);
    connect(&m_responseTimer, &QTimer::timeout, this, &ElementLink::responseTimedOut);

    EndpointOptions options;
    options.bindAddress = m_settings.bindAddress;
    options.localPort = m_settings.localPort;
    options.receiveBufferBytes = m_settings.receiveBufferBytes;
    options.fifoCapacity = m_settings.fifoCapacity;
    options.fifoBytes = m_settings.fifoBytes;
    m_endpoint = std::make_unique<UdpEndpoint>(options, [this] { return m_discovering; });
    // Datagrams no handler takes need no place in the FIFO.
    m_endpoint->setAcceptFilter(
        [](qsizetype length) { return classifyDatagram(length) != DatagramKind::Ignored; });
    // A discovery's answers are handled one at a time; their MAC lookups start as they arrive, so
    // that each report finds its neighbour entry ready instead of waiting for its own exchange.
    m_endpoint->setArrivalObserver([this](const ReceivedDatagram &datagram) {
        const DatagramKind kind = classifyDatagram(datagram.data.size());
        if (kind != DatagramKind::Ignored && datagram.sender.value != 0)
            Q_EMIT elementHeard(datagram.sender);
        if (m_addition && kind == DatagramKind::ElementReport &&
            reportedAddress(datagram.data) == m_addition->address.toNetworkOrder())
            Q_EMIT additionAnswered();
        if (datagram.discoveryAtArrival && kind == DatagramKind::ElementReport)
            if (const auto address = reportedAddress(datagram.data)) {
                m_arrivedAddresses.append(*address);
                ++m_discoveryAnswers;
            }
    });
    // Connected before the dispatch, which may handle the first datagram at once.
    connect(m_endpoint.get(), &UdpEndpoint::datagramsQueued, this, [this, &resolver] {
        if (!m_arrivedAddresses.isEmpty())
            resolver.prepare(std::exchange(m_arrivedAddresses, {}));
    });

    ReportHandlerHooks hooks;
    hooks.stopResponseTimer = [this] { m_responseTimer.stop(); };
    hooks.discoveryRunning = [this] { return m_discovering; };
    hooks.reloadTree = [this] { reloadAfterReport(); };
    hooks.morePending = [this] { return hasQueued(); };
    hooks.post = [this](ReceiveDispatch::Work work) {
        if (m_dispatch)
            m_dispatch->post(std::move(work));
    };
    hooks.shown = [this] { return m_shown ? m_shown() : ConfigurationWrite(); };
    hooks.arpReaches = [this](const QString &address) {
        const auto parsed = parseDottedAddress(address);
        return !parsed || isOnLocalNetwork(*parsed);
    };
    hooks.macWithoutArp = [this](const QString &address, bool arpTried) {
        return macWithoutArp(address, arpTried);
    };
    hooks.answersAddition = [this](const QString &address) { return isAdditionTarget(address); };
    // Told once the handler is done with the report, so that what follows runs on its own.
    hooks.answersDriftPage = [this](const QString &address, Ipv4Address sender) {
        const auto reported = parseDottedAddress(address);
        return m_driftPages.contains(sender.value) || (reported && m_driftPages.contains(reported->value));
    };
    hooks.driftAnswered = [this](const ElementReport &report) {
        Q_EMIT driftAnswered(report.record.mac, report.record, report.carried);
    };
    hooks.additionHandled = [this](const QString &key) {
        QMetaObject::invokeMethod(
            this, [this, key] { Q_EMIT additionHandled(key); }, Qt::QueuedConnection);
    };
    m_reportHandler = std::make_unique<ElementReportHandler>(m_database, m_notifier, resolver,
                                                             std::move(hooks), m_settings.macLookupMs);
    connect(m_reportHandler.get(), &ElementReportHandler::confirmed, this, &ElementLink::elementConfirmed);
    connect(m_reportHandler.get(), &ElementReportHandler::elementStored, this, &ElementLink::elementStored);
    connect(m_reportHandler.get(), &ElementReportHandler::elementRefused, this, &ElementLink::elementRefused);
    connect(m_reportHandler.get(), &ElementReportHandler::databaseWritten, this,
            &ElementLink::databaseWritten);
    connect(m_reportHandler.get(), &ElementReportHandler::databaseWriteFailed, this,
            &ElementLink::databaseWriteFailed);
    connect(m_reportHandler.get(), &ElementReportHandler::configurationsStored, this,
            &ElementLink::configurationsStored);

    m_dispatch = std::make_unique<ReceiveDispatch>(
        *m_endpoint,
        [this](const QByteArray &reply, Ipv4Address sender) { levelReplyArrived(reply, sender); },
        [this](const QByteArray &datagram, Ipv4Address sender, bool discoveryAtArrival,
               std::function<void()> done) {
            m_reportHandler->handleReport(datagram, sender, discoveryAtArrival, std::move(done));
        });
    connect(m_dispatch.get(), &ReceiveDispatch::datagramHandled, this, [this] {
        if (!hasQueued())
            queueDrained();
    });
}

void ElementLink::levelReplyArrived(const QByteArray &reply, Ipv4Address sender) {
    const QHostAddress from(sender.value);
    Q_EMIT levelReplyFrom(reply, from);
    // Attributed, the meter takes only its own element's replies; a reply that came before any
    // request of the meter is nobody's.
    if (m_levelAttribution && (!m_levelDestination || *m_levelDestination != from))
        return;
    Q_EMIT levelReplyReceived(reply);
}

QString ElementLink::shownMac() const {
    return m_shown ? m_shown().mac : QString();
}

quint64 ElementLink::droppedDatagrams() const {
    return m_endpoint->overflowCount();
}

void ElementLink::requestTreeReload(bool afterReport) {
    m_reportHandler->flushStored();
    Q_EMIT reloadTreeRequested(afterReport);
}

// A burst of reports would rebuild the tree once per report: the last one to finish does it for all.
bool ElementLink::hasQueued() const {
    return m_endpoint->hasPending() || (m_dispatch && m_dispatch->hasPostedWork());
}

void ElementLink::reloadAfterReport() {
    if (hasQueued()) {
        m_reloadDeferred = true;
        return;
    }
    requestTreeReload(true);
}

void ElementLink::queueDrained() {
    m_reportHandler->flushStored();
    // A discovery begun meanwhile keeps the tree empty until its own reload.
    if (std::exchange(m_reloadDeferred, false) && !m_discovering)
        requestTreeReload(true);
}

// The dispatch goes first: a report finishing later must find no dispatcher to call back.
ElementLink::~ElementLink() {
    m_dispatch.reset();
    m_reportHandler.reset();
    m_endpoint.reset();
}

bool ElementLink::open() {
    const quint16 port = m_settings.localPort;
    if (!m_settings.endpointOwner.isEmpty() && port != 0 && !m_claim) {
        auto claim = std::make_unique<EndpointClaim>(port, m_settings.endpointOwner);
        if (!claim->acquire()) {
            m_endpointHolder = claim->holder();
            return false;
        }
        m_claim = std::move(claim);
    }
    m_endpointHolder.clear();
    return m_endpoint->open();
}

void ElementLink::close() {
    m_reportHandler->flushStored();
    m_endpoint->close();
}

std::optional<QHostAddress> ElementLink::storedDestination(const QString &mac, QString *failure) const {
    const auto fail = [failure](const QString &why) {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    const QString key = macToElementKey(mac);
    if (key.isEmpty())
        return fail(phrase(PhraseId::NoSelection));
    const QString stored = m_database.read(key, keyName(ElementKey::Ip), QString());
    if (stored.isEmpty())
        return fail(phrase(PhraseId::NoStoredAddress));
    auto address = ipv4Address(stored);
    if (!address)
        return fail(phrase(PhraseId::StoredAddressInvalid, {stored}));
    // A configuration sent to these would reach every element, or none.
    const quint32 value = address->toIPv4Address();
    if (value == 0 || value == 0xFFFFFFFFu || address->isMulticast())
        return fail(phrase(PhraseId::StoredAddressNotUnicast, {address->toString()}));
    return address;
}

SendResult ElementLink::sendToElement(const QString &mac, quint16 port, const QByteArray &payload) {
    QString failure;
    const auto destination = storedDestination(mac, &failure);
    if (!destination)
        return {false, failure};
    return sendTo(*destination, port, payload);
}

SendResult ElementLink::sendTo(const QHostAddress &destination, quint16 port, const QByteArray &payload) {
    SendResult sent = m_endpoint->send(payload, destination, port);
    if (!sent.ok)
        sent.failure =
            phrase(PhraseId::NetworkRefused, {destination.toString(), QString::number(port), sent.failure});
    return sent;
}

ElementLink::SaveResult ElementLink::saveConfiguration(const QStringList &summary) {
    if (const std::optional<SaveRefusal> refusal = saveRefusal(m_shown(), m_database.exists())) {
        m_notifier.show({MessageId::SaveRefused, {phrase(refusal->reason)}});
        return {SaveOutcome::Refused, refusal->fields};
    }
    if (m_notifier.show({MessageId::SendConfirm, summary}) != Answer::Yes)
        return {SaveOutcome::Declined, {}};
    // Read after the question: the panel is what it is now, not what it was before the box.
    return {sendConfiguration(m_shown()) ? SaveOutcome::Sent : SaveOutcome::NotSent, {}};
}

bool ElementLink::sendConfiguration(const ConfigurationWrite &write) {
    const auto datagram = packConfigurationWrite(write);
    if (!datagram) {
        const QString reason =
            saveCheckFailure(write, m_database.exists()).value_or(phrase(PhraseId::AudioFieldsWrong));
        m_notifier.show({MessageId::SaveRefused, {reason}});
        return false;
    }
    QString failure;
    const auto destination = storedDestination(write.mac, &failure);
    if (!destination) {
        m_notifier.show({MessageId::SaveNotSent, {failure}});
        return false;
    }
    // The element's answer is the write's confirmation, whatever a drift page asked it before.
    m_driftPages.remove(destination->toIPv4Address());
    m_responseTimer.start();
    const SendResult sent = sendToElement(write.mac, m_settings.elementPort, *datagram);
    if (!sent.ok) {
        // Nothing left, so nothing can answer: no time-out message on top of this one.
        m_responseTimer.stop();
        m_notifier.show({MessageId::SaveNotSent, {sent.failure}});
        return false;
    }
    m_sentMac = write.mac;
    Q_EMIT configurationSent(write.mac);
    return true;
}

void ElementLink::sendAttenuation(int position) {
    if (position < kAttenMin || position > kAttenMax)
        return;
    const QString mac = m_shown().mac;
    const SendResult sent =
        sendToElement(mac, m_settings.controlPort, attenuationDatagram(static_cast<quint8>(position)));
    // An attenuation the element did not get is not stored as its own.
    if (!sent.ok) {
        m_notifier.show({MessageId::AttenuationNotSent, {sent.failure}});
        return;
    }
    Q_EMIT attenuationSent(mac, position);
    if (m_database.write(macToElementKey(mac), keyName(ElementKey::Att), QString::number(position))) {
        Q_EMIT databaseWritten(1);
        return;
    }
    const Message failed{MessageId::AttenuationNotStored};
    const MessageText text = render(failed);
    Q_EMIT databaseWriteFailed((text.primary + u' ' + text.informative).simplified());
    m_notifier.show(failed);
}

SendResult ElementLink::requestLevel() {
    const QString mac = m_shown().mac;
    QString failure;
    m_levelDestination = storedDestination(mac, &failure);
    if (!m_levelDestination)
        return {false, failure};
    return sendTo(*m_levelDestination, m_settings.controlPort, levelRequest());
}

SendResult ElementLink::sendLevelRequest(const QHostAddress &address) {
    return sendTo(address, m_settings.controlPort, levelRequest());
}

bool ElementLink::beginDiscovery(QString *failure) {
    m_discovering = true;
    m_discoveryAnswers = 0;
    m_reportHandler->resetTally();
    const auto host = ipv4Address(m_settings.pagingHost);
    SendResult sent;
    if (!host) {
        sent = {false, phrase(PhraseId::NotAnAddress, {m_settings.pagingHost})};
    } else if (*host == QHostAddress(QHostAddress::Broadcast)) {
        // Out of every network the host is on; a plain send would take the default route only,
        // and fail where there is none.
        sent = m_endpoint->broadcastOnEveryInterface(pagingRequest(), m_settings.pagingPort, &m_pagedOn);
    } else {
        sent = m_endpoint->send(pagingRequest(), *host, m_settings.pagingPort);
        m_pagedOn = {host->toString()};
    }
    if (!sent.ok) {
        m_discovering = false;
        qCWarning(lcLink).noquote() << "discovery: the paging request could not be sent:" << sent.failure;
        if (failure)
            *failure = sent.failure;
    }
    return sent.ok;
}

void ElementLink::endDiscovery() {
    m_discovering = false;
    const ElementReportHandler::Tally &tally = m_reportHandler->discoveryTally();
    qCInfo(lcLink).noquote() << "discovery: paging request sent on" << m_pagedOn.join(u", "_s) << "-"
                             << m_discoveryAnswers << "answers," << tally.stored << "stored," << tally.refused
                             << "refused," << (m_discoveryAnswers - tally.stored - tally.refused)
                             << "not handled yet";
    Q_EMIT discoveryEnded(m_pagedOn, m_discoveryAnswers, tally.stored, tally.refused);
}

QSet<QString> ElementLink::discoveredKeys() const {
    return m_reportHandler->discoveryTally().storedKeys;
}

bool ElementLink::isOnLocalNetwork(Ipv4Address address) const {
    return m_resolver.canReach(address.toNetworkOrder());
}

bool ElementLink::beginAddition(Ipv4Address address, const QString &typedMac, QString *failure) {
    m_addition = Addition{address, typedMac};
    const QHostAddress destination(address.value);
    const SendResult sent = m_endpoint->send(pagingRequest(), destination, m_settings.pagingPort);
    if (!sent.ok) {
        m_addition.reset();
        if (failure)
            *failure = sent.failure;
        return false;
    }
    qCInfo(lcLink).noquote() << "addition: paging request sent to" << destination.toString() << "port"
                             << m_settings.pagingPort;
    return true;
}

bool ElementLink::pageForDrift(Ipv4Address address, QString *failure) {
    const SendResult sent =
        m_endpoint->send(pagingRequest(), QHostAddress(address.value), m_settings.pagingPort);
    if (!sent.ok) {
        if (failure)
            *failure = sent.failure;
        return false;
    }
    m_driftPages.insert(address.value);
    return true;
}

void ElementLink::endDriftPage(Ipv4Address address) {
    m_driftPages.remove(address.value);
}

void ElementLink::endAddition() {
    m_addition.reset();
}

bool ElementLink::isAdditionTarget(const QString &address) const {
    const auto parsed = parseDottedAddress(address);
    return m_addition && parsed && *parsed == m_addition->address;
}

QString ElementLink::macWithoutArp(const QString &address, bool arpTried) const {
    if (isAdditionTarget(address))
        return m_addition->typedMac;
    const auto parsed = parseDottedAddress(address);
    // On a local network ARP is the only witness of who answered.
    return arpTried || !parsed ? QString() : storedMacFor(*parsed);
}

QString ElementLink::storedMacFor(Ipv4Address address) const {
    const auto sameAddress = [&](const QString &ip) { return parseDottedAddress(ip) == address; };
    const QString selected = macToElementKey(m_shown ? m_shown().mac : QString());
    QStringList matching;
    for (const ElementListing &element : m_database.listing()) {
        if (!sameAddress(element.ip))
            continue;
        if (element.key == selected)
            return elementKeyToMac(element.key);
        matching.append(element.key);
    }
    return matching.size() == 1 ? elementKeyToMac(matching.front()) : QString();
}

void ElementLink::responseTimedOut() {
    Q_EMIT configurationTimedOut(m_sentMac);
    m_notifier.show({MessageId::ResponseTimedOut});
}

} // namespace ondalink

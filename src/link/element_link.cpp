// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_link.h"

#include "diag/mac_resolver.h"
#include "link/datagrams.h"
#include "link/element_report.h"
#include "link/element_report_handler.h"
#include "link/panel_view.h"
#include "link/receive_dispatch.h"
#include "model/element_record.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kNothingSent = u"Nothing was sent."_s;

} // namespace

QString sendFailureText(const SendResult &result, const QString &generalLine) {
    return twoLines(result.failure, generalLine);
}

ElementLink::ElementLink(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                         PanelView &panel, LinkSettings settings, QObject *parent)
    : QObject(parent), m_database(database), m_notifier(notifier), m_panel(panel),
      m_settings(std::move(settings)) {
    m_timerRemoteSent.setSingleShot(true);
    m_timerRemoteSent.setInterval(m_settings.responseTimeoutMs);
    connect(&m_timerRemoteSent, &QTimer::timeout, this, &ElementLink::timerRemoteSent_Timer);

    EndpointOptions options;
    options.bindAddress = m_settings.bindAddress;
    options.localPort = m_settings.localPort;
    options.receiveBufferBytes = m_settings.receiveBufferBytes;
    options.fifoCapacity = m_settings.fifoCapacity;
    options.fifoBytes = m_settings.fifoBytes;
    m_endpoint = std::make_unique<UdpEndpoint>(options, [this] { return m_autoDiscoverAwaiting; });
    // Datagrams no handler takes need no place in the FIFO.
    m_endpoint->setAcceptFilter(
        [](qsizetype length) { return classifyDatagram(length) != DatagramKind::Ignored; });
    // A discovery's answers are handled one at a time; their MAC lookups start as they arrive, so
    // that each report finds its neighbour entry ready instead of waiting for its own exchange.
    m_endpoint->setArrivalObserver([this](const ReceivedDatagram &datagram) {
        if (datagram.discoveryAtArrival &&
            classifyDatagram(datagram.data.size()) == DatagramKind::ElementReport)
            if (const auto address = reportedAddress(datagram.data))
                m_arrivedAddresses.append(*address);
    });
    // Connected before the dispatch, which may handle the first datagram at once.
    connect(m_endpoint.get(), &UdpEndpoint::datagramsQueued, this, [this, &resolver] {
        if (!m_arrivedAddresses.isEmpty())
            resolver.prepare(std::exchange(m_arrivedAddresses, {}));
    });

    ReportHandlerHooks hooks;
    hooks.stopResponseTimer = [this] { m_timerRemoteSent.stop(); };
    hooks.discoveryRunning = [this] { return m_autoDiscoverAwaiting; };
    hooks.reloadTree = [this] { reloadAfterReport(); };
    hooks.morePending = [this] { return m_endpoint->hasPending(); };
    m_reportHandler = std::make_unique<ElementReportHandler>(m_database, m_notifier, resolver, m_panel,
                                                             std::move(hooks), m_settings.macLookupMs);

    m_dispatch = std::make_unique<ReceiveDispatch>(
        *m_endpoint, [this](const QByteArray &reply) { Q_EMIT levelReplyReceived(reply); },
        [this](const QByteArray &datagram, bool discoveryAtArrival, std::function<void()> done) {
            m_reportHandler->HandleElementReport(datagram, discoveryAtArrival, std::move(done));
        });
    connect(m_dispatch.get(), &ReceiveDispatch::datagramHandled, this, [this] {
        if (!m_endpoint->hasPending())
            queueDrained();
    });
}

void ElementLink::requestTreeReload(bool afterReport) {
    m_reportHandler->flushStored();
    Q_EMIT reloadTreeRequested(afterReport);
}

// A burst of reports would rebuild the tree once per report: the last one to finish does it for all.
void ElementLink::reloadAfterReport() {
    if (m_endpoint->hasPending()) {
        m_reloadDeferred = true;
        return;
    }
    requestTreeReload(true);
}

void ElementLink::queueDrained() {
    m_reportHandler->flushStored();
    // A discovery begun meanwhile keeps the tree empty until its own reload.
    if (std::exchange(m_reloadDeferred, false) && !m_autoDiscoverAwaiting)
        requestTreeReload(true);
}

// The dispatch goes first: a report finishing later must find no dispatcher to call back.
ElementLink::~ElementLink() {
    m_dispatch.reset();
    m_reportHandler.reset();
    m_endpoint.reset();
}

bool ElementLink::open() {
    return m_endpoint->open();
}

void ElementLink::close() {
    m_reportHandler->flushStored();
    m_endpoint->close();
}

QTimer &ElementLink::timerGetMAC() {
    return m_reportHandler->timerGetMAC();
}

std::optional<QHostAddress> ElementLink::storedDestination(QString *failure) const {
    const auto fail = [failure](const QString &why) {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    const QString key = MacToKey(m_panel.selectedMac());
    if (key.isEmpty())
        return fail(u"No Network Element selected!"_s);
    const QString stored = m_database.read(key, u"ip"_s, QString());
    if (stored.isEmpty())
        return fail(u"No IP address is stored for the selected Network Element."_s);
    const auto address = ipv4Address(stored);
    if (!address)
        return fail(
            u"The IP address stored for the selected Network Element is not valid: \"%1\"."_s.arg(stored));
    // A configuration sent to these would reach every element, or none.
    const quint32 value = address->toIPv4Address();
    if (value == 0 || value == 0xFFFFFFFFu || address->isMulticast())
        return fail(
            u"The IP address stored for the selected Network Element is not a unicast address: %1."_s.arg(
                address->toString()));
    return address;
}

SendResult ElementLink::trySendToElement(quint16 remotePort, const QByteArray &payload) {
    m_endpoint->setRemotePort(remotePort);
    QString failure;
    const auto destination = storedDestination(&failure);
    if (!destination)
        return {false, failure};
    m_endpoint->setRemoteHost(destination->toString());
    SendResult sent = m_endpoint->send(payload);
    if (!sent.ok)
        sent.failure = u"The network refused the datagram to %1 port %2: %3."_s.arg(destination->toString())
                           .arg(remotePort)
                           .arg(sent.failure);
    return sent;
}

bool ElementLink::SendToElement(quint16 remotePort, const QByteArray &payload) {
    const SendResult sent = trySendToElement(remotePort, payload);
    if (!sent.ok)
        m_notifier.show(critical(sendFailureText(sent, kNothingSent)));
    return sent.ok;
}

bool ElementLink::SendAttenuation(quint8 position) {
    return SendToElement(m_settings.controlPort, attenuationDatagram(position));
}

void ElementLink::applyAttenuationChange(int position, const QString &elementType, bool hasFocus) {
    if (elementType != u"DECODER"_s || !hasFocus)
        return;
    if (position < kAttenMin || position > kAttenMax)
        return;
    // An attenuation the element did not get is not stored as its own.
    if (!SendAttenuation(static_cast<quint8>(position)))
        return;
    const QString key = MacToKey(m_panel.selectedMac());
    if (!m_database.write(key, u"att"_s, QString::number(position)))
        m_notifier.show(
            critical(twoLines(u"The attenuation was sent, but the local database could not be written."_s,
                              u"Cannot save this element info."_s)));
}

void ElementLink::timerRemoteSent_Timer() {
    m_timerRemoteSent.stop();
    m_notifier.show(critical(
        twoLines(u"Waiting for a response from Network Element has timed out!"_s, u"Cannot save."_s)));
}

} // namespace ondalink

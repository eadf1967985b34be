// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/confirmation.h"
#include "link/udp_endpoint.h"
#include "model/configuration_write.h"
#include "model/ipv4.h"
#include "model/pending_edits.h"
#include "store/configuration_history.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace ondalink {

class ElementDatabase;
class ElementReportHandler;
class EndpointClaim;
class MacResolver;
class Notifier;
class ReceiveDispatch;

// Ports, destinations and intervals of the link. The defaults are the system's constants; tests
// pass loopback addresses, ephemeral ports and short timers.
struct LinkSettings {
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 localPort = 2976;
    quint16 elementPort = 2976; // configuration writes
    quint16 controlPort = 2977; // attenuation datagrams and level requests
    quint16 pagingPort = 1901;
    QString pagingHost = QStringLiteral("255.255.255.255");
    int responseTimeoutMs = 3000;   // the wait for the report that answers a configuration write
    int macLookupMs = 5000;         // the bound of one report's MAC lookup
    int pagingWaitMs = 3000;        // how long a discovery waits for answers
    int levelIntervalMs = 50;       // the level poll until the operator sets another interval
    qsizetype fifoCapacity = 16384; // datagrams; a discovery of 10,000 elements fits
    int receiveBufferBytes = 4 * 1024 * 1024;
    qsizetype fifoBytes = 4 * 1024 * 1024; // datagram bytes the queue holds at most
    int additionWaitMs = 3000;             // how long an addition by address waits for the answer
    // Not empty: open() first claims the port for this program by that name, so that a second
    // program of ours on the host can name the first (EndpointClaim).
    QString endpointOwner;
};

// The element link: everything the program says to the elements and hears from them. It owns the
// endpoint, the receive dispatch, the report handler and the Response timer; the console asks it
// for what it wants done and hears the outcome through its signals and the Notifier.
class ElementLink : public QObject {
    Q_OBJECT
public:
    // shown gives what the panel shows now: the selected element and its working copy.
    ElementLink(ElementDatabase &database, Notifier &notifier, MacResolver &resolver,
                std::function<ConfigurationWrite()> shown, LinkSettings settings = {},
                QObject *parent = nullptr);
    ~ElementLink() override;

    // Binds the endpoint once for the program's life. False when the port is taken; endpointHolder()
    // then names the program of ours that holds it, when it is one.
    bool open();
    QString endpointHolder() const { return m_endpointHolder; }
    void close();

    enum class SaveOutcome { Refused, Declined, NotSent, Sent };
    struct SaveResult {
        SaveOutcome outcome = SaveOutcome::Refused;
        // The fields the refusal names, in panel order; none for a refusal that is no field's.
        QList<ElementKey> refusedFields;
    };
    // Save: the checks in their order, the question, then sendConfiguration of what the panel
    // shows once the question is answered. summary goes into the question's details: the
    // element's name and MAC, then one line per changed field (none: no details).
    SaveResult saveConfiguration(const QStringList &summary = {});
    // Sends the write to the stored address of its element, with the Response timer started.
    // False, after telling the operator, when nothing could be sent.
    bool sendConfiguration(const ConfigurationWrite &write);
    // Sends the attenuation datagram [position, 0] to the selected element and stores the position
    // as its "att". Positions outside the control's range are not sent.
    void sendAttenuation(int position);
    // The level request to the selected element; no message on failure.
    SendResult requestLevel();
    // The level request to an address (the silence watch's background poll of a watched encoder).
    SendResult sendLevelRequest(const QHostAddress &address);
    // On: levelReplyReceived carries only replies from the address the last requestLevel() went to,
    // so that the shown encoder's meter ignores the watched ones. Off (the default): every reply.
    void setLevelAttribution(bool bySource) { m_levelAttribution = bySource; }
    bool levelAttribution() const { return m_levelAttribution; }
    // Datagrams the receive queue dropped because it was full, since the link was made.
    quint64 droppedDatagrams() const;

    // A discovery's wait: while it runs, every report is stored as a discovered element. begin sends
    // the paging request (false with the reason when it could not leave anywhere: the wait is over).
    bool beginDiscovery(QString *failure);
    void endDiscovery();
    bool isDiscovering() const { return m_discovering; }
    // The Element keys the reports of the last discovery stored.
    QSet<QString> discoveredKeys() const;

    // An addition by address: the paging request goes by unicast to the address's paging port, and
    // the report from that address is stored as its element's section (added or replaced). Its MAC
    // comes from ARP on a local network, otherwise (or when ARP finds none) typedMac (colon form)
    // when it is not empty. False with the reason when nothing could be sent.
    bool beginAddition(Ipv4Address address, const QString &typedMac, QString *failure);
    void endAddition();
    bool isAdding() const { return m_addition.has_value(); }
    bool isOnLocalNetwork(Ipv4Address address) const;

    // A drift page: the paging request by unicast to one listed element's address. Its answer (from
    // that address, or giving it) is only compared: driftAnswered, no message, nothing stored, no
    // confirmation, until endDriftPage. A configuration write to the element ends its page. False
    // with the reason when nothing could be sent.
    bool pageForDrift(Ipv4Address address, QString *failure = nullptr);
    void endDriftPage(Ipv4Address address);
    // A configuration write waits for its answer.
    bool awaitsConfirmation() const { return m_responseTimer.isActive(); }

    // Asks the console to show the database again; afterReport when a report's handling ends.
    // Elements a discovery has handled are stored first.
    void requestTreeReload(bool afterReport = false);

    // The element the panel shows (its MAC as the operator reads it), empty when none.
    QString shownMac() const;

    const LinkSettings &settings() const { return m_settings; }
    ElementDatabase &database() const { return m_database; }
    Notifier &notifier() const { return m_notifier; }

Q_SIGNALS:
    // The element list should be loaded again (after a report outside a discovery, and when a
    // discovery ends).
    void reloadTreeRequested(bool afterReport);
    // A 1440-byte datagram arrived.
    void levelReplyReceived(const QByteArray &reply);
    // A report confirmed a configuration write; its state goes into the panel. asSent: every field
    // came back as it was sent.
    void elementConfirmed(const ondalink::ConfirmedState &state, bool asSent);
    // The element being added has answered; its report is being handled.
    void additionAnswered();
    // Its report has been handled: the Element key stored, or "" when it was refused.
    void additionHandled(const QString &key);
    // An element answered a drift page with this report (mac in colon form).
    void driftAnswered(const QString &mac, const ondalink::ElementRecord &record,
                       ondalink::OptionalFields carried);

    // Every level reply with where it came from, whatever the attribution.
    void levelReplyFrom(const QByteArray &reply, const QHostAddress &sender);
    // A report or a level reply arrived from the address.
    void elementHeard(ondalink::Ipv4Address address);
    // A configuration write left for the element; its answer did not come in time.
    void configurationSent(const QString &mac);
    void configurationTimedOut(const QString &mac);
    void attenuationSent(const QString &mac, int position);
    // A report's element was stored (by a discovery, or by a confirmed write), or refused with the
    // message the operator is shown (mac empty while it is not known).
    void elementStored(const QString &mac, const QString &name, bool discovered);
    void elementRefused(const QString &address, const QString &mac, const QString &message,
                        ondalink::Ipv4Address sender);
    // nms.ini was replaced with this many elements' keys, or could not be (the message shown).
    void databaseWritten(int elements);
    void databaseWriteFailed(const QString &message);
    // These sections' keys were stored from reports (Discovery: by any discovery, Addition, or
    // ConfirmedWrite).
    void configurationsStored(const ondalink::SectionKeys &sections, ondalink::ConfigurationOrigin origin);
    // A discovery's wait ended: where the request left, answers, elements stored and refused.
    void discoveryEnded(const QStringList &pagedOn, int answers, int stored, int refused);

private:
    // The address stored under "ip" for an element, when it can take a unicast datagram. Otherwise
    // nullopt, and failure says what is wrong.
    std::optional<QHostAddress> storedDestination(const QString &mac, QString *failure) const;
    SendResult sendToElement(const QString &mac, quint16 port, const QByteArray &payload);
    SendResult sendTo(const QHostAddress &destination, quint16 port, const QByteArray &payload);
    void responseTimedOut();
    void levelReplyArrived(const QByteArray &reply, Ipv4Address sender);
    // Datagrams, or reports whose MAC has been found, wait to be handled.
    bool hasQueued() const;
    void reloadAfterReport();
    void queueDrained();
    bool isAdditionTarget(const QString &address) const;
    QString macWithoutArp(const QString &address, bool arpTried) const;
    // The MAC of the element stored with that address: the selected one when it is, otherwise the only
    // one; "" when none is, or several are and none of them is selected.
    QString storedMacFor(Ipv4Address address) const;

    struct Addition {
        Ipv4Address address;
        QString typedMac;
    };

    ElementDatabase &m_database;
    Notifier &m_notifier;
    std::function<ConfigurationWrite()> m_shown;
    LinkSettings m_settings;
    bool m_discovering = false;
    bool m_levelAttribution = false;
    std::optional<QHostAddress> m_levelDestination; // where the last requestLevel() went
    QString m_sentMac;                              // the element of the write that waits for its answer
    bool m_reloadDeferred = false;                  // a report asked for a reload while others still waited
    QList<quint32> m_arrivedAddresses;              // reported by a discovery's answers since the last read
    int m_discoveryAnswers = 0;                     // reports that arrived during the discovery
    QStringList m_pagedOn;                          // where the discovery's paging request left
    std::optional<Addition> m_addition;
    QSet<quint32> m_driftPages; // addresses a drift page waits for
    MacResolver &m_resolver;
    QTimer m_responseTimer;
    std::unique_ptr<EndpointClaim> m_claim;
    QString m_endpointHolder;
    std::unique_ptr<UdpEndpoint> m_endpoint;
    std::unique_ptr<ElementReportHandler> m_reportHandler;
    std::unique_ptr<ReceiveDispatch> m_dispatch;
    friend class ElementLinkTestPeer;
};

} // namespace ondalink

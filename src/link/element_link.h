// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/udp_endpoint.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

namespace ondalink {

class ElementDatabase;
class ElementReportHandler;
class MacResolver;
class Notifier;
class PanelView;
class ReceiveDispatch;

// Shown by start-up when open() fails; the program then ends.
inline constexpr char16_t kPortOccupiedText[] = u"Unable to use UDP port 2976: occupied.";

// Ports, destinations and intervals of the link. The defaults are the system's constants; tests
// pass loopback addresses, ephemeral ports and short timers.
struct LinkSettings {
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 localPort = 2976;
    quint16 elementPort = 2976; // configuration writes
    quint16 controlPort = 2977; // attenuation datagrams and level requests
    quint16 pagingPort = 1901;
    QString pagingHost = QStringLiteral("255.255.255.255");
    int responseTimeoutMs = 3000;   // timerRemoteSent
    int macLookupMs = 5000;         // timerGetMAC
    int pagingWaitMs = 3000;        // Timer1 of the paging window
    int levelIntervalMs = 50;       // tmrVolume until Slider1 is moved
    qsizetype fifoCapacity = 16384; // datagrams; a discovery of 10,000 elements fits
    int receiveBufferBytes = 4 * 1024 * 1024;
    qsizetype fifoBytes = 4 * 1024 * 1024; // datagram bytes the queue holds at most
};

// The element link: the endpoint, the receive dispatch, the report handler, AutoDiscoverAwaiting,
// the Response timer and the send sequence to the selected element. The console owns one.
class ElementLink : public QObject {
    Q_OBJECT
public:
    ElementLink(ElementDatabase &database, Notifier &notifier, MacResolver &resolver, PanelView &panel,
                LinkSettings settings = {}, QObject *parent = nullptr);
    ~ElementLink() override;

    // Binds the endpoint once for the program's life. False when the port is taken.
    bool open();
    void close();

    bool AutoDiscoverAwaiting() const { return m_autoDiscoverAwaiting; }
    void setAutoDiscoverAwaiting(bool waiting) { m_autoDiscoverAwaiting = waiting; }

    // The address stored under "ip" for the selected element, when it can take a unicast datagram.
    // Otherwise nullopt, and failure says what is wrong.
    std::optional<QHostAddress> storedDestination(QString *failure = nullptr) const;

    // The send sequence without its message: the remote port and the stored host are set on the
    // endpoint, then the payload leaves from the bound local port.
    SendResult trySendToElement(quint16 remotePort, const QByteArray &payload);
    // The same; a failure is told to the operator and the program keeps running.
    bool SendToElement(quint16 remotePort, const QByteArray &payload);

    // The attenuation datagram [position, 0] to the control port.
    bool SendAttenuation(quint8 position);
    // What a change of scrlAtten does beyond its label: on a DECODER whose scroll bar holds the
    // focus, send the position and store it as "att".
    void applyAttenuationChange(int position, const QString &elementType, bool hasFocus);

    // Asks the console to run Load_Config; afterReport when a report's handling ends. Elements a
    // discovery has handled are stored first.
    void requestTreeReload(bool afterReport = false);

    QTimer &timerRemoteSent() { return m_timerRemoteSent; }
    QTimer &timerGetMAC();
    UdpEndpoint &endpoint() { return *m_endpoint; }
    ReceiveDispatch &dispatch() { return *m_dispatch; }
    ElementReportHandler &reportHandler() { return *m_reportHandler; }
    const LinkSettings &settings() const { return m_settings; }
    ElementDatabase &database() const { return m_database; }
    Notifier &notifier() const { return m_notifier; }
    PanelView &panel() const { return m_panel; }

Q_SIGNALS:
    // Load_Config should run (after a report outside a discovery, and when a discovery ends).
    void reloadTreeRequested(bool afterReport);
    // A 1440-byte datagram arrived; the level monitor shows it.
    void levelReplyReceived(const QByteArray &reply);

private:
    void timerRemoteSent_Timer();
    void reloadAfterReport();
    void queueDrained();

    ElementDatabase &m_database;
    Notifier &m_notifier;
    PanelView &m_panel;
    LinkSettings m_settings;
    bool m_autoDiscoverAwaiting = false;
    bool m_reloadDeferred = false;     // a report asked for a reload while others still waited
    QList<quint32> m_arrivedAddresses; // reported by a discovery's answers since the last read
    QTimer m_timerRemoteSent;
    std::unique_ptr<UdpEndpoint> m_endpoint;
    std::unique_ptr<ElementReportHandler> m_reportHandler;
    std::unique_ptr<ReceiveDispatch> m_dispatch;
};

// Two lines of a send failure as the operator reads them.
QString sendFailureText(const SendResult &result, const QString &generalLine);

} // namespace ondalink

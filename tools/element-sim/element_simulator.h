// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_config.h"
#include "sim_control.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>

namespace ondalink::sim {

class InterfaceMover;

enum class DatagramKind { Paging, ConfigWrite, Attenuation, LevelRequest, Ignored };

// Plays one Network Element on three UDP sockets: paging, configuration, and attenuation/level.
// Several simulators in one process play several elements, each bound to its own address.
class ElementSimulator : public QObject {
    Q_OBJECT
public:
    explicit ElementSimulator(SimConfig config, QObject *parent = nullptr);
    ~ElementSimulator() override;

    // Binds the sockets. False, with errorString(), when one of them cannot be bound.
    bool start();
    QString errorString() const { return m_error; }

    quint16 pagingPort() const { return m_paging.localPort(); }
    quint16 configPort() const { return m_config.localPort(); }
    quint16 levelPort() const { return m_level.localPort(); }

    const ElementSettings &settings() const { return m_state.settings; }
    const ElementIdentity &identity() const { return m_state.identity; }
    // The report as it would leave now, faults included.
    QByteArray currentReport() const;

    // Faults and the signal can change while the element runs.
    void setFaults(const Faults &faults) { m_state.faults = faults; }
    void setLevelSignal(const LevelSignal &signal) { m_state.level = signal; }

    // Applies a command of the control channel (raw is the datagram as it came, from its sender),
    // logs it and returns the reply line: "ok: ..." or "refused: ...".
    QString control(const ControlParse &parsed, const QByteArray &raw, const QString &from);
    // A setting changed as at the element's own panel; the reason when refused, empty when done.
    QString changeSetting(const QString &key, const QString &value);
    bool isDown() const { return m_down; }
    bool isSilent() const { return m_silent; }
    // The signal level replies carry now: silent makes it a zero one.
    LevelSignal levelSignal() const;

Q_SIGNALS:
    // After each datagram: what it was taken for and whether an answer is on its way.
    void datagramHandled(ondalink::sim::DatagramKind kind, bool answering);
    // One line per datagram received, and one per address change.
    void logLine(const QString &line);

private:
    struct Outcome {
        DatagramKind kind = DatagramKind::Ignored;
        bool answering = false;
        QString action;
    };
    void readPending(QUdpSocket &socket);
    Outcome onPaging(const QNetworkDatagram &datagram);
    bool addressedToMe(const QHostAddress &destination) const;
    Outcome onConfig(const QNetworkDatagram &datagram);
    Outcome onLevelPort(const QNetworkDatagram &datagram);
    // Sends after the configured delay, unless the element is set not to answer.
    Outcome answer(DatagramKind kind, QUdpSocket &from, const QByteArray &payload, const QNetworkDatagram &to,
                   const QString &done) const;
    void moveInterface(const ElementSettings &before, const QNetworkDatagram &request);
    bool bindUnicastSockets();
    void log(const QString &text);

    SimConfig m_state;
    QUdpSocket m_paging;
    QUdpSocket m_pagingOwn; // on a lab host, for pages sent to this element's own address
    QUdpSocket m_config;
    QUdpSocket m_level;
    QHostAddress m_unicastAddress; // where the configuration and level sockets are bound
    InterfaceMover *m_mover = nullptr;
    QElapsedTimer m_clock;
    bool m_down = false;   // told to behave as if off: every datagram dropped
    bool m_silent = false; // told to send silence; the signal comes back on "loud"
    QString m_error;
};

QString kindText(DatagramKind kind);

} // namespace ondalink::sim

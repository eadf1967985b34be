// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_simulator.h"

#include "element_wire.h"
#include "interface_mover.h"
#include "level_signal.h"
#include "model/ipv4.h"

#include <QDateTime>
#include <QTimer>

#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace ondalink::sim {

namespace {

constexpr auto kShared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
constexpr int kHexUpTo = 64; // longer datagrams are logged by length only

// Receive only what arrives on this interface, so that elements on several interfaces of one host
// each hear their own broadcasts.
QString bindToDevice(QUdpSocket &socket, const QString &interfaceName) {
    const QByteArray name = interfaceName.toLocal8Bit();
    if (::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_BINDTODEVICE,
                     name.constData(), static_cast<socklen_t>(name.size())) != 0)
        return u"cannot tie the paging socket to "_s + interfaceName + u": "_s +
               QString::fromLocal8Bit(strerror(errno));
    return {};
}

QString describe(const QByteArray &data) {
    QString text = u"len "_s + QString::number(data.size());
    if (data.size() <= kHexUpTo)
        text += u" ["_s + QString::fromLatin1(data.toHex()) + u']';
    return text;
}

} // namespace

QString kindText(DatagramKind kind) {
    switch (kind) {
    case DatagramKind::Paging:
        return u"paging request"_s;
    case DatagramKind::ConfigWrite:
        return u"configuration write"_s;
    case DatagramKind::Attenuation:
        return u"attenuation"_s;
    case DatagramKind::LevelRequest:
        return u"level request"_s;
    case DatagramKind::Ignored:
        break;
    }
    return u"unknown"_s;
}

ElementSimulator::ElementSimulator(SimConfig config, QObject *parent)
    : QObject(parent), m_state(std::move(config)) {
    for (QUdpSocket *socket : {&m_paging, &m_pagingOwn, &m_config, &m_level})
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readPending(*socket); });
    if (!m_state.endpoint.interfaceName.isEmpty())
        m_mover = new InterfaceMover(m_state.endpoint.ipCommand, m_state.endpoint.interfaceName, this);
}

ElementSimulator::~ElementSimulator() = default;

bool ElementSimulator::start() {
    const Endpoint &endpoint = m_state.endpoint;
    const bool onInterface = !endpoint.interfaceName.isEmpty();
    // A socket bound to a unicast address never sees a broadcast: on a lab host listen on any.
    const QHostAddress pagingAddress =
        onInterface ? QHostAddress(QHostAddress::AnyIPv4) : endpoint.bindAddress;
    if (!m_paging.bind(pagingAddress, endpoint.pagingPort, kShared)) {
        m_error = u"paging port "_s + QString::number(endpoint.pagingPort) + u": "_s + m_paging.errorString();
        return false;
    }
    if (onInterface) {
        const QString problem = bindToDevice(m_paging, endpoint.interfaceName);
        if (!problem.isEmpty())
            log(problem);
    }
    // On a lab host the element answers from its own address even where the host has several.
    m_unicastAddress = onInterface ? QHostAddress(m_state.settings.ip) : endpoint.bindAddress;
    if (!bindUnicastSockets())
        return false;
    m_clock.start();
    log(u"playing "_s + (m_state.identity.role == kDecoder ? u"DECODER"_s : u"ENCODER"_s) + u" at "_s +
        dotted(m_state.settings.ip) + u", ports "_s + QString::number(pagingPort()) + u'/' +
        QString::number(configPort()) + u'/' + QString::number(levelPort()));
    return true;
}

bool ElementSimulator::bindUnicastSockets() {
    const auto portOf = [](const QUdpSocket &socket, quint16 configured) {
        return socket.state() == QAbstractSocket::BoundState ? socket.localPort() : configured;
    };
    const quint16 configPort = portOf(m_config, m_state.endpoint.configPort);
    const quint16 levelPort = portOf(m_level, m_state.endpoint.levelPort);
    m_config.close();
    m_level.close();
    m_pagingOwn.close();
    if (!m_config.bind(m_unicastAddress, configPort, kShared)) {
        m_error = u"configuration port "_s + QString::number(configPort) + u": "_s + m_config.errorString();
        return false;
    }
    if (!m_level.bind(m_unicastAddress, levelPort, kShared)) {
        m_error = u"level port "_s + QString::number(levelPort) + u": "_s + m_level.errorString();
        return false;
    }
    // Elements of one host share the paging port on any address, where a page sent to one of them
    // reaches only one socket: a socket on the element's own address takes those.
    if (!m_state.endpoint.interfaceName.isEmpty() &&
        !m_pagingOwn.bind(m_unicastAddress, m_paging.localPort(), kShared)) {
        m_error = u"paging port on "_s + m_unicastAddress.toString() + u": "_s + m_pagingOwn.errorString();
        return false;
    }
    return true;
}

QByteArray ElementSimulator::currentReport() const {
    return applyFaults(encodeReport(m_state.identity, m_state.settings), m_state.faults);
}

void ElementSimulator::readPending(QUdpSocket &socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram();
        Outcome outcome;
        if (m_down)
            outcome = {DatagramKind::Ignored, false, u"element down, dropped"_s};
        else if (&socket == &m_paging || &socket == &m_pagingOwn)
            outcome = onPaging(datagram);
        else if (&socket == &m_config)
            outcome = onConfig(datagram);
        else
            outcome = onLevelPort(datagram);
        const QString what = outcome.kind == DatagramKind::Ignored ? u"ignored"_s : kindText(outcome.kind);
        log(datagram.senderAddress().toString() + u':' + QString::number(datagram.senderPort()) + u" -> :"_s +
            QString::number(socket.localPort()) + u' ' + describe(datagram.data()) + u' ' + what + u": "_s +
            outcome.action);
        Q_EMIT datagramHandled(outcome.kind, outcome.answering);
    }
}

ElementSimulator::Outcome ElementSimulator::onPaging(const QNetworkDatagram &datagram) {
    if (datagram.data() != kPagingRequest)
        return {DatagramKind::Ignored, false, u"not the paging text"_s};
    if (!addressedToMe(datagram.destinationAddress()))
        return {DatagramKind::Ignored, false, u"addressed to "_s + datagram.destinationAddress().toString()};
    return answer(DatagramKind::Paging, m_config, currentReport(), datagram, u"report"_s);
}

bool ElementSimulator::addressedToMe(const QHostAddress &destination) const {
    // Only a socket on any address of a lab host can see pages meant for a neighbour element.
    if (m_state.endpoint.interfaceName.isEmpty() || destination.isNull() || destination.isBroadcast())
        return true;
    const quint32 to = destination.toIPv4Address();
    const ElementSettings &s = m_state.settings;
    return to == s.ip || to == (s.ip | ~s.mask);
}

ElementSimulator::Outcome ElementSimulator::onConfig(const QNetworkDatagram &datagram) {
    const ElementSettings before = m_state.settings;
    const WriteResult result = applyConfigWrite(before, datagram.data(), m_state.identity.role);
    if (!result.accepted)
        return {DatagramKind::Ignored, false, result.note};
    m_state.settings = result.settings;
    const bool moved = result.settings.ip != before.ip || result.settings.mask != before.mask;
    if (m_mover && moved) {
        moveInterface(before, datagram);
        return {DatagramKind::ConfigWrite, !m_state.faults.noReply,
                result.note + u", moving to "_s + dotted(result.settings.ip) + u" before answering"_s};
    }
    Outcome outcome = answer(DatagramKind::ConfigWrite, m_config, currentReport(), datagram, u"report"_s);
    outcome.action = result.note + u", "_s + outcome.action;
    return outcome;
}

ElementSimulator::Outcome ElementSimulator::onLevelPort(const QNetworkDatagram &datagram) {
    const QByteArray data = datagram.data();
    if (data == kLevelRequest) {
        const qint64 now = m_clock.elapsed();
        const LevelSignal signal = levelSignal();
        const qint32 peak = signal.shape == LevelShape::Zero ? 0 : peakAt(signal, now);
        return answer(DatagramKind::LevelRequest, m_level, levelBlock(signal, now), datagram,
                      u"level block, peak "_s + QString::number(peak));
    }
    const std::optional<quint8> position = attenuationFrom(data);
    if (!position)
        return {DatagramKind::Ignored, false, u"neither a level request nor an attenuation"_s};
    if (m_state.identity.role != kDecoder)
        return {DatagramKind::Attenuation, false, u"an encoder has no attenuation, ignored"_s};
    m_state.settings.att = *position;
    return {DatagramKind::Attenuation, false, u"att set to "_s + QString::number(*position)};
}

ElementSimulator::Outcome ElementSimulator::answer(DatagramKind kind, QUdpSocket &from,
                                                   const QByteArray &payload, const QNetworkDatagram &to,
                                                   const QString &done) const {
    const QString sent = done + u" ("_s + QString::number(payload.size()) + u" bytes)"_s;
    if (m_state.faults.noReply)
        return {kind, false, u"not answered: "_s + sent};
    const QHostAddress address = to.senderAddress();
    const auto port = static_cast<quint16>(to.senderPort());
    const int delay = m_state.faults.replyDelayMs;
    if (delay <= 0) {
        from.writeDatagram(payload, address, port);
        return {kind, true, u"answered "_s + sent};
    }
    QTimer::singleShot(delay, &from,
                       [&from, payload, address, port] { from.writeDatagram(payload, address, port); });
    return {kind, true, u"answering after "_s + QString::number(delay) + u" ms: "_s + sent};
}

void ElementSimulator::moveInterface(const ElementSettings &before, const QNetworkDatagram &request) {
    const std::optional<int> oldPrefix = prefixLength(before.mask);
    const std::optional<int> newPrefix = prefixLength(m_state.settings.mask);
    const QHostAddress target(m_state.settings.ip);
    const bool usable = newPrefix && *newPrefix > 0 && *newPrefix < 32 && !target.isMulticast() &&
                        !target.isBroadcast() && m_state.settings.ip != 0;
    if (!usable || !oldPrefix || m_mover->busy()) {
        log(u"interface left as it is: "_s + dotted(m_state.settings.ip) + u" with mask "_s +
            dotted(m_state.settings.mask) +
            (m_mover->busy() ? u" not set while an earlier change runs"_s : u" cannot be set"_s));
        const Outcome sent =
            answer(DatagramKind::ConfigWrite, m_config, currentReport(), request, u"report"_s);
        log(sent.action);
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_mover, &InterfaceMover::finished, this,
                          [this, connection, request](bool ok, const QString &detail) {
                              disconnect(*connection);
                              log(detail);
                              if (ok) {
                                  m_unicastAddress = QHostAddress(m_state.settings.ip);
                                  if (!bindUnicastSockets())
                                      log(u"rebinding failed: "_s + m_error);
                              }
                              const Outcome sent = answer(DatagramKind::ConfigWrite, m_config,
                                                          currentReport(), request, u"report"_s);
                              log(sent.action);
                          });
    m_mover->move(before.ip, *oldPrefix, m_state.settings.ip, *newPrefix, m_state.settings.gw);
}

LevelSignal ElementSimulator::levelSignal() const {
    LevelSignal signal = m_state.level;
    if (m_silent)
        signal.shape = LevelShape::Zero;
    return signal;
}

QString ElementSimulator::control(const ControlParse &parsed, const QByteArray &raw, const QString &from) {
    QString reply;
    if (!parsed.command) {
        reply = u"refused: "_s + parsed.error;
    } else {
        QString done;
        switch (parsed.command->action) {
        case ControlAction::Level:
            m_state.level.peak = parsed.command->peak;
            done = u"peak set to "_s + QString::number(parsed.command->peak);
            break;
        case ControlAction::Silent:
            m_silent = true;
            done = u"silent"_s;
            break;
        case ControlAction::Loud:
            m_silent = false;
            // An element started silent has no signal of its own to come back to.
            if (m_state.level.shape == LevelShape::Zero)
                m_state.level.shape = LevelShape::Sine;
            done = u"loud"_s;
            break;
        case ControlAction::Down:
            m_down = true;
            done = u"down, answering nothing"_s;
            break;
        case ControlAction::Up:
            m_down = false;
            done = u"up, answering"_s;
            break;
        case ControlAction::Status:
            done = u"status"_s;
            break;
        case ControlAction::Set:
            if (QString why = changeSetting(parsed.command->key, parsed.command->value); !why.isEmpty()) {
                reply = u"refused: "_s + why;
                log(from + u" -> control "_s + describe(raw) + u": "_s + reply);
                return reply;
            }
            done = parsed.command->key + u" set to "_s + parsed.command->value;
            break;
        }
        const LevelSignal signal = levelSignal();
        reply = u"ok: "_s + done + u"; peak "_s +
                QString::number(signal.shape == LevelShape::Zero ? 0 : signal.peak) +
                (m_silent ? u", silent"_s : u", loud"_s) + (m_down ? u", down"_s : u", up"_s);
    }
    log(from + u" -> control "_s + describe(raw) + u": "_s + reply);
    return reply;
}

QString ElementSimulator::changeSetting(const QString &key, const QString &value) {
    ElementSettings &s = m_state.settings;
    if (key == u"name") {
        s.name = value.toLatin1().leftJustified(16, ' ', true);
        return {};
    }
    if (key == u"mask" || key == u"gw" || key == u"remote") {
        const quint32 address = ondalink::parseDottedAddress(value)->value;
        (key == u"mask" ? s.mask : key == u"gw" ? s.gw : s.remote) = address;
        return {};
    }
    const auto byte = static_cast<quint8>(value.toUInt());
    const bool decoderOnly = key == u"att" || key == u"sdm" || key == u"sdl" || key == u"sdt";
    if (decoderOnly && m_state.identity.role != kDecoder)
        return key + u" is a decoder's setting; this element is an encoder"_s;
    const std::pair<const char *, quint8 ElementSettings::*> bytes[] = {
        {"input", &ElementSettings::input}, {"type", &ElementSettings::type}, {"tx", &ElementSettings::tx},
        {"sfn", &ElementSettings::sfn},     {"buf", &ElementSettings::buf},   {"att", &ElementSettings::att},
        {"sdm", &ElementSettings::sdm},     {"sdl", &ElementSettings::sdl},   {"sdt", &ElementSettings::sdt}};
    for (const auto &[name, member] : bytes) {
        if (key == QLatin1StringView(name)) {
            s.*member = byte;
            return {};
        }
    }
    return u"unknown setting "_s + key;
}

void ElementSimulator::log(const QString &text) {
    const QString when = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    const QString who = QString::fromLatin1(m_state.settings.name).trimmed();
    Q_EMIT logLine(when + u' ' + who + u" sn "_s + QString::number(m_state.identity.serial) + u": "_s + text);
}

} // namespace ondalink::sim

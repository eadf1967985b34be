// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_control.h"

#include "element_simulator.h"
#include "level_signal.h"
#include "model/ipv4.h"

#include <QNetworkDatagram>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace ondalink::sim {

namespace {

constexpr qsizetype kLongestCommand = 64;

struct Word {
    const char *text;
    ControlAction action;
};
constexpr Word kBareWords[] = {
    {"silent", ControlAction::Silent}, {"loud", ControlAction::Loud},     {"down", ControlAction::Down},
    {"up", ControlAction::Up},         {"status", ControlAction::Status},
};

ControlParse refuse(const QString &why) {
    return {std::nullopt, why};
}

} // namespace

ControlParse parseControl(QByteArrayView text) {
    if (text.size() > kLongestCommand)
        return refuse(u"longer than "_s + QString::number(kLongestCommand) + u" bytes"_s);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x7E || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r'))
            return refuse(u"not plain text"_s);
    }
    static const QRegularExpression blanks(u"\\s+"_s);
    const QStringList parts = QString::fromLatin1(text).toLower().split(blanks, Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return refuse(u"empty"_s);
    const QString &verb = parts.constFirst();
    if (verb == u"level") {
        if (parts.size() != 2)
            return refuse(u"level needs one number, 0.."_s + QString::number(kLargestSample));
        bool ok = false;
        const qint64 peak = parts[1].toLongLong(&ok);
        if (!ok || peak < 0 || peak > kLargestSample || parts[1].startsWith(u'+'))
            return refuse(u"level needs one number, 0.."_s + QString::number(kLargestSample));
        return {ControlCommand{ControlAction::Level, static_cast<qint32>(peak), {}, {}}, {}};
    }
    if (verb == u"set") {
        static const QStringList keys{u"name"_s, u"mask"_s, u"gw"_s,  u"remote"_s, u"input"_s,
                                      u"type"_s, u"tx"_s,   u"sfn"_s, u"buf"_s,    u"att"_s,
                                      u"sdm"_s,  u"sdl"_s,  u"sdt"_s};
        if (parts.size() < 3 || !keys.contains(parts[1]))
            return refuse(u"set needs a key ("_s + keys.join(u", "_s) + u") and a value"_s);
        // The value as typed: a name keeps its letter case and its inner blanks.
        const QString original = QString::fromLatin1(text).trimmed();
        const QString value = original.section(blanks, 2).trimmed();
        const QString &key = parts[1];
        if (key == u"name") {
            if (value.size() > 16)
                return refuse(u"a name has at most 16 characters"_s);
        } else if (key == u"mask" || key == u"gw" || key == u"remote") {
            if (!ondalink::parseDottedAddress(value))
                return refuse(key + u" needs a dotted IPv4 address"_s);
        } else {
            bool ok = false;
            const int number = value.toInt(&ok);
            if (!ok || number < 0 || number > 255 || value.startsWith(u'+'))
                return refuse(key + u" needs a number 0..255"_s);
        }
        return {ControlCommand{ControlAction::Set, 0, key, value}, {}};
    }
    for (const Word &word : kBareWords) {
        if (verb != QLatin1StringView(word.text))
            continue;
        if (parts.size() != 1)
            return refuse(verb + u" takes no argument"_s);
        return {ControlCommand{word.action, 0, {}, {}}, {}};
    }
    return refuse(u"unknown command \""_s + verb +
                  u"\" (level N, silent, loud, down, up, status, set KEY VALUE)"_s);
}

ControlChannel::ControlChannel(std::vector<ElementSimulator *> elements, QObject *parent)
    : QObject(parent), m_elements(std::move(elements)) {
    connect(&m_socket, &QUdpSocket::readyRead, this, &ControlChannel::readPending);
}

bool ControlChannel::start(quint16 port) {
    if (!m_socket.bind(QHostAddress(QHostAddress::LocalHost), port)) {
        m_error = u"control port "_s + QString::number(port) + u": "_s + m_socket.errorString();
        return false;
    }
    return true;
}

void ControlChannel::readPending() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        const ControlParse parsed = parseControl(datagram.data());
        const QString from =
            datagram.senderAddress().toString() + u':' + QString::number(datagram.senderPort());
        QStringList replies;
        for (ElementSimulator *element : m_elements) {
            const QString reply = element->control(parsed, datagram.data(), from);
            // Several elements in one process: say whose line is whose.
            replies += m_elements.size() == 1
                           ? reply
                           : u"sn "_s + QString::number(element->identity().serial) + u' ' + reply;
        }
        m_socket.writeDatagram(replies.join(u'\n').toUtf8(), datagram.senderAddress(),
                               static_cast<quint16>(datagram.senderPort()));
    }
}

std::optional<QString> tellSimulator(quint16 port, const QString &command, int waitMs, QString &error) {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), 0)) {
        error = socket.errorString();
        return std::nullopt;
    }
    const QByteArray text = command.toUtf8();
    if (socket.writeDatagram(text, QHostAddress(QHostAddress::LocalHost), port) != text.size()) {
        error = socket.errorString();
        return std::nullopt;
    }
    if (!socket.waitForReadyRead(waitMs)) {
        error = u"no reply on control port "_s + QString::number(port) + u" within "_s +
                QString::number(waitMs) + u" ms"_s;
        return std::nullopt;
    }
    return QString::fromUtf8(socket.receiveDatagram().data());
}

} // namespace ondalink::sim

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

#include <optional>
#include <vector>

namespace ondalink::sim {

class ElementSimulator;

// What a running simulator can be told, one command per control datagram:
//   level N   the level signal's positive peak becomes N (0..8388607)
//   silent    level replies carry digital silence (a zero peak)
//   loud      the signal as before silent (a sine where it started silent)
//   down      nothing is answered or applied, as if the element were off
//   up        back to answering
//   status    only the reply: what the element does now
//   set KEY VALUE  a setting changed as at the element's own front panel, behind the program's back:
//             name (the rest of the line, up to 16 characters), mask, gw, remote (dotted), input,
//             type, tx, sfn, buf, and on a decoder att, sdm, sdl, sdt (0..255); its next report says it
enum class ControlAction { Level, Silent, Loud, Down, Up, Status, Set };

struct ControlCommand {
    ControlAction action = ControlAction::Status;
    qint32 peak = 0; // for Level
    QString key;     // for Set: lower case
    QString value;   // for Set: as typed
};

struct ControlParse {
    std::optional<ControlCommand> command;
    QString error; // why the text was refused, when command is empty
};

// Words separated by blanks, case ignored, a trailing newline allowed. Anything else is refused.
ControlParse parseControl(QByteArrayView text);

// The control datagram socket of one simulator process, on the loopback address of its host, so
// that only the host itself (the lab, inside the element's namespace) can reach it. Each datagram
// is one command for every element the process plays; the sender gets one reply line per element,
// "ok: ..." or "refused: ...".
class ControlChannel : public QObject {
    Q_OBJECT
public:
    explicit ControlChannel(std::vector<ElementSimulator *> elements, QObject *parent = nullptr);

    // Port 0 picks one. False with errorString() when it cannot be bound.
    bool start(quint16 port);
    quint16 port() const { return m_socket.localPort(); }
    QString errorString() const { return m_error; }

private:
    void readPending();

    std::vector<ElementSimulator *> m_elements;
    QUdpSocket m_socket;
    QString m_error;
};

// Client side: sends one command to the control port on this host and returns the reply, or
// nullopt with error set when nothing came back in time.
std::optional<QString> tellSimulator(quint16 port, const QString &command, int waitMs, QString &error);

} // namespace ondalink::sim

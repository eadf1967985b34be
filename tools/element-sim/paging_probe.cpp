// SPDX-License-Identifier: GPL-3.0-or-later
#include "paging_probe.h"

#include "level_signal.h"

#include <QNetworkDatagram>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink::sim {

PagingProbe::PagingProbe(QObject *parent) : QObject(parent) {
    m_window.setSingleShot(true);
    connect(&m_window, &QTimer::timeout, this, [this] { Q_EMIT finished(m_answers); });
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket.receiveDatagram();
            ++m_answers;
            Q_EMIT answered(datagram.senderAddress(), datagram.data());
        }
    });
}

bool PagingProbe::start(const QHostAddress &target, quint16 port, int waitMs, const QByteArray &payload) {
    if (!m_socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0)) {
        m_error = m_socket.errorString();
        return false;
    }
    if (m_socket.writeDatagram(payload, target, port) != payload.size()) {
        m_error = m_socket.errorString();
        return false;
    }
    m_window.start(waitMs);
    return true;
}

QString describeReport(const QHostAddress &from, const QByteArray &datagram) {
    QString line = u"REPORT from "_s + from.toString() + u" len "_s + QString::number(datagram.size());
    const auto byte = [&](qsizetype i) { return static_cast<quint32>(static_cast<quint8>(datagram[i])); };
    if (datagram.size() >= 40 && datagram.size() <= 48) {
        const quint32 serial = (byte(36) << 24) | (byte(37) << 16) | (byte(38) << 8) | byte(39);
        line += u" ip "_s +
                QHostAddress((byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3)).toString() +
                u" role "_s + QString::number(byte(35)) + u" sn "_s + QString::number(serial) +
                u" name \""_s + QString::fromLatin1(datagram.sliced(19, 16)) + u'"';
    } else if (datagram.size() == kLevelReplyLength) {
        quint32 peak = 0; // the largest sample of zero or above, as a meter reads it
        for (qsizetype i = 0; i < datagram.size(); i += 3)
            if (byte(i) < 0x80)
                peak = std::max(peak, (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2));
        line += u" peak "_s + QString::number(peak);
    }
    return line;
}

} // namespace ondalink::sim

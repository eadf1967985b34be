// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_config.h"

namespace ondalink::sim {

SimConfig nthElement(const SimConfig &first, int index) {
    SimConfig config = first;
    const auto step = static_cast<quint32>(index);
    config.settings.ip += step;
    config.identity.serial += step;
    const QHostAddress &bind = first.endpoint.bindAddress;
    if (bind.protocol() == QAbstractSocket::IPv4Protocol && bind != QHostAddress(QHostAddress::AnyIPv4))
        config.endpoint.bindAddress = QHostAddress(bind.toIPv4Address() + step);
    // Keep the names apart in the last characters, where a 16-character name has room.
    const QByteArray number = QByteArray::number(index + 1);
    QByteArray name = first.settings.name.left(16);
    while (name.size() < 16)
        name.append(' ');
    name = name.trimmed().left(16 - number.size() - 1) + ' ' + number;
    config.settings.name = name;
    return config;
}

QString dotted(quint32 address) {
    return QHostAddress(address).toString();
}

} // namespace ondalink::sim

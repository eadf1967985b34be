// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mac_resolver.h"

#include <QByteArray>
#include <QString>

namespace ondalink::ARP {

// inet_addr of the text: the address in network byte order, 0xFFFFFFFF for text that is no address.
// Accepts what inet_addr accepts: one to four parts, each decimal, octal (leading 0) or hex (0x).
quint32 AddressValue(const QString &address);

// One lookup attempt; on success mac holds the formatted address (empty when its length is not 6).
// On failure mac is left as it was.
bool LookupMac(const QString &address, QString &mac, const QString &separator, MacResolver &resolver);

// Six bytes as two upper-case hex digits each, joined by separator; any other length gives "".
QString MacBytesToText(const QByteArray &bytes, const QString &separator);

} // namespace ondalink::ARP

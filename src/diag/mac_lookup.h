// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/mac_resolver.h"
#include "model/ipv4.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace ondalink {

// The address as the system's inet_addr reads it: one to four parts, each decimal, octal (leading 0)
// or hex (0x); the last part fills the bytes the others leave; reading stops at the first blank.
// The lookup reads this wider form, not the panel's grammar, because the system call it stands for did.
std::optional<Ipv4Address> parseInetAddress(QStringView text);

// One lookup attempt; on success mac holds the formatted address (empty when its length is not 6).
// On failure mac is left as it was.
bool lookupMac(const QString &address, QString &mac, const QString &separator, MacResolver &resolver);

// Six bytes as two upper-case hex digits each, joined by separator; any other length gives "".
QString macTextFromBytes(const QByteArray &bytes, const QString &separator);

} // namespace ondalink

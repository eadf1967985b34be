// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_role.h"
#include "status/element_status.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What ONDALINK-NMS-MIB publishes of a board row, one function per column's encoding.
namespace ondalink::mib {

// The columns of onlElementEntry.
enum Column : unsigned long {
    ColumnMac = 2,
    ColumnName = 3,
    ColumnAddressType = 4,
    ColumnAddress = 5,
    ColumnRole = 6,
    ColumnStatus = 7,
    ColumnLastSeen = 8,
    ColumnRoundTrip = 9,
    ColumnSilence = 10,
};

// The six octets of a colon-form MAC; empty when it is not one.
QByteArray macOctets(const QString &mac);
// UTF-8, at most 32 octets, never cutting a character.
QByteArray nameOctets(const QString &name);

// InetAddressType and InetAddress: ipv4(1) and four octets, or unknown(0) and none.
struct InetValue {
    int type = 0;
    QByteArray octets;
};
InetValue inetAddress(const QString &ip);

// DateAndTime: eleven octets in UTC (offset +0:0), or eight zero octets when never.
QByteArray dateAndTime(const QDateTime &when);

int roleValue(ElementRole role);           // unknown(0) encoder(1) decoder(2)
int statusValue(ElementStatus status);     // unknown(1) online(2) offline(3)
int silenceValue(SilenceState state);      // notWatched(1) waiting(2) sounding(3) silent(4)
int roundTripValue(std::optional<int> ms); // -1 when none

} // namespace ondalink::mib

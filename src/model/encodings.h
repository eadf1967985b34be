// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_record.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace ondalink {

// Element name: exactly 16 characters, blank-filled or cut, upper case.
QString padName(const QString &name);
// The 16 name bytes of a datagram: the low 8 bits of each character of padName(name).
QByteArray nameToBytes(const QString &name);
// One character per byte, code = byte value (Latin-1), taken as it stands.
QString nameFromBytes(QByteArrayView bytes);

// Dotted address from four bytes in text order; never leading zeros.
QString addressFromBytes(QByteArrayView fourBytes);
// The parts of a text between "." characters; empty parts kept; an empty text has no parts.
QStringList splitAddress(const QString &text);
// True when parseDottedAddress accepts the text.
bool isValidAddress(const QString &text);
// Four octets of a valid address in text order; nullopt when isValidAddress rejects it.
std::optional<std::array<quint8, 4>> addressToBytes(const QString &text);

// Firmware version from its two bytes: decimal(a) followed by decimal(b), divided by 10.
// A joined integer above 32767 is not representable and gives nullopt.
std::optional<double> versionFromBytes(quint8 a, quint8 b);
// Serial number, big-endian; 0 or a top byte of 128 or more gives nullopt.
std::optional<qint32> serialFromBytes(QByteArrayView fourBytes);

// Round to the given number of decimals, ties to the even neighbour.
double roundHalfEven(double value, int decimals);
// Shortest decimal text: no exponent, no trailing ".0", no group separators, the locale's decimal separator.
QString shortestDecimal(double value, const QLocale &locale = QLocale());
// Version with a fixed number of decimals, always "." as separator (3.40, 2.0).
QString versionText(double version, int decimals);
// Reads a stored version written with either "." or ",": nullopt when it is no number.
std::optional<double> parseVersion(const QString &text);

// "ENCODER", "DECODER", "UNKNOWN".
QString roleText(ElementRole role);
inline QString roleText(int role) {
    return roleText(roleFromValue(role));
}

// Value labels of the panel.
QString bufferText(int position, const QLocale &locale = QLocale());      // 7.5mS
QString attenuationText(int position, const QLocale &locale = QLocale()); // Mute, -0.5 dB
QString silDetLevelText(int position, const QLocale &locale = QLocale()); // -18.4dBu
QString silDetTimeText(int position, const QLocale &locale = QLocale());  // 19.6Sec

} // namespace ondalink

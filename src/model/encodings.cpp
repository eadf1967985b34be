// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/encodings.h"

#include <QCoreApplication>

#include "model/element_fields.h"
#include "model/ipv4.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink {

QString padName(const QString &name) {
    QString padded = name.left(kNameLength);
    padded.resize(kNameLength, QChar(u' '));
    // One character at a time: QString::toUpper turns ß into SS (a 17-character name), and a
    // one-byte character keeps its byte when its capital has none (ÿ -> U+0178, µ -> U+039C).
    for (QChar &c : padded) {
        const QChar upper = c.toUpper();
        if (c.unicode() > 0xFF || upper.unicode() <= 0xFF)
            c = upper;
    }
    return padded;
}

QByteArray nameToBytes(const QString &name) {
    const QString padded = padName(name);
    QByteArray bytes(kNameLength, '\0');
    for (int i = 0; i < kNameLength; ++i)
        bytes[i] = static_cast<char>(padded.at(i).unicode() & 0xFF);
    return bytes;
}

QString nameFromBytes(QByteArrayView bytes) {
    return QString::fromLatin1(bytes);
}

QString addressFromBytes(QByteArrayView fourBytes) {
    QString text;
    for (qsizetype i = 0; i < 4 && i < fourBytes.size(); ++i) {
        if (i > 0)
            text += QChar(u'.');
        text += QString::number(static_cast<quint8>(fourBytes[i]));
    }
    return text;
}

QStringList splitAddress(const QString &text) {
    if (text.isEmpty())
        return {};
    return text.split(QChar(u'.'), Qt::KeepEmptyParts);
}

bool isValidAddress(const QString &text) {
    return parseDottedAddress(text).has_value();
}

std::optional<std::array<quint8, 4>> addressToBytes(const QString &text) {
    if (const auto address = parseDottedAddress(text))
        return address->octets();
    return std::nullopt;
}

std::optional<double> versionFromBytes(quint8 a, quint8 b) {
    const int joined = (QString::number(a) + QString::number(b)).toInt();
    if (joined > 32767)
        return std::nullopt;
    return joined / 10.0;
}

std::optional<qint32> serialFromBytes(QByteArrayView fourBytes) {
    if (fourBytes.size() < 4)
        return std::nullopt;
    const auto byte = [&](int i) { return static_cast<quint32>(static_cast<quint8>(fourBytes[i])); };
    const quint32 value = (byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3);
    if (value == 0 || value > 0x7FFFFFFFu)
        return std::nullopt;
    return static_cast<qint32>(value);
}

double roundHalfEven(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // nearbyint honours the default rounding mode, which is to-nearest with ties to even.
    return std::nearbyint(value * scale) / scale;
}

QString shortestDecimal(double value, const QLocale &locale) {
    if (value == 0.0)
        value = 0.0; // no "-0"
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    const QString point = locale.decimalPoint();
    if (point != u".")
        text.replace(QChar(u'.'), point);
    return text;
}

QString versionText(double version, int decimals) {
    return QString::number(version, 'f', decimals);
}

std::optional<double> parseVersion(const QString &text) {
    QString normal = text.trimmed();
    normal.replace(QChar(u','), QChar(u'.'));
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString roleText(ElementRole role) {
    switch (role) {
    case ElementRole::Encoder:
        return QCoreApplication::translate("Role", "ENCODER");
    case ElementRole::Decoder:
        return QCoreApplication::translate("Role", "DECODER");
    case ElementRole::Unknown:
        break;
    }
    return QCoreApplication::translate("Role", "UNKNOWN");
}

QString bufferText(int position, const QLocale &locale) {
    return QCoreApplication::translate("Units", "%1mS").arg(shortestDecimal(position * 2.5 + 5, locale));
}

QString attenuationText(int position, const QLocale &locale) {
    if (position == kAttenMin)
        return QCoreApplication::translate("Units", "Mute", "the attenuation at its lowest position");
    return QCoreApplication::translate("Units", "%1 dB").arg(shortestDecimal((position - 255) * 0.5, locale));
}

QString silDetLevelText(int position, const QLocale &locale) {
    const double dbu = 20.0 * std::log10(position * 2.04870129870129) - 56.0;
    return QCoreApplication::translate("Units", "%1dBu").arg(shortestDecimal(roundHalfEven(dbu, 1), locale));
}

QString silDetTimeText(int position, const QLocale &locale) {
    return QCoreApplication::translate("Units", "%1Sec")
        .arg(shortestDecimal(roundHalfEven(position * 0.455104166666667, 1), locale));
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_wire.h"

#include <QRegularExpression>

#include <bit>

using namespace Qt::StringLiterals;

namespace ondalink::sim {

namespace {

void putAddress(QByteArray &out, quint32 address) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((address >> shift) & 0xFF));
}

quint32 takeAddress(QByteArrayView in, int offset) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<quint8>(in[offset + i]);
    return value;
}

QByteArray sixteen(QByteArray name) {
    name.truncate(16);
    while (name.size() < 16)
        name.append(' ');
    return name;
}

// A byte's decimal text as it would be written: no leading zeros.
bool isByteText(const QString &text) {
    if (text.isEmpty() || text.size() > 3 || (text.size() > 1 && text.front() == u'0'))
        return false;
    return text.toInt() <= 255;
}

} // namespace

QByteArray encodeReport(const ElementIdentity &identity, const ElementSettings &settings) {
    const ElementSettings &s = settings;
    QByteArray out;
    out.reserve(kDecoderReportLength);
    putAddress(out, s.ip);
    putAddress(out, s.mask);
    putAddress(out, s.gw);
    putAddress(out, s.remote);
    out.append(static_cast<char>(s.input));
    out.append(static_cast<char>(s.type));
    out.append(static_cast<char>(s.tx));
    out.append(sixteen(s.name));
    out.append(static_cast<char>(identity.role));
    putAddress(out, identity.serial); // same big-endian layout
    const auto put = [&out](quint8 byte) { out.append(static_cast<char>(byte)); };
    if (identity.role == kDecoder) {
        put(s.att);
        put(identity.versionHigh);
        put(identity.versionLow);
        put(s.sfn);
        put(s.buf);
        put(s.sdm);
        put(s.sdl);
        put(s.sdt);
    } else {
        put(identity.versionHigh);
        put(identity.versionLow);
        put(s.sfn);
        put(s.buf);
    }
    return out;
}

QByteArray applyFaults(QByteArray report, const Faults &faults) {
    for (const BytePatch &patch : faults.patches) {
        for (int i = 0; i < patch.bytes.size(); ++i) {
            const qsizetype at = patch.offset + i;
            if (at >= 0 && at < report.size())
                report[at] = patch.bytes[i];
        }
    }
    if (faults.reportLength >= 0) {
        if (faults.reportLength < report.size())
            report.truncate(faults.reportLength);
        else
            report.append(QByteArray(faults.reportLength - report.size(), '\0'));
    }
    return report;
}

WriteResult applyConfigWrite(const ElementSettings &current, QByteArrayView datagram, quint8 role) {
    WriteResult result{false, current, {}};
    const qsizetype length = datagram.size();
    if (length != kEncoderWriteLength && length != kDecoderWriteLength) {
        result.note = u"not a configuration write"_s;
        return result;
    }
    ElementSettings &s = result.settings;
    s.ip = takeAddress(datagram, 0);
    s.mask = takeAddress(datagram, 4);
    s.gw = takeAddress(datagram, 8);
    s.remote = takeAddress(datagram, 12);
    s.input = static_cast<quint8>(datagram[16]);
    s.type = static_cast<quint8>(datagram[17]);
    s.tx = static_cast<quint8>(datagram[18]);
    s.name = datagram.sliced(19, 16).toByteArray();
    result.accepted = true;
    if (length == kDecoderWriteLength && role == kDecoder) {
        s.sfn = static_cast<quint8>(datagram[35]);
        s.buf = static_cast<quint8>(datagram[36]);
        s.sdm = static_cast<quint8>(datagram[37]);
        s.sdl = static_cast<quint8>(datagram[38]);
        s.sdt = static_cast<quint8>(datagram[39]);
        result.note = u"applied"_s;
    } else if (length == kDecoderWriteLength) {
        result.note = u"applied common fields, decoder fields ignored by an encoder"_s;
    } else if (role == kDecoder) {
        result.note = u"applied common fields, decoder fields kept"_s;
    } else {
        result.note = u"applied"_s;
    }
    return result;
}

std::optional<quint8> attenuationFrom(QByteArrayView datagram) {
    if (datagram.size() != kAttenuationLength || datagram[1] != '\0')
        return std::nullopt;
    const auto position = static_cast<quint8>(datagram[0]);
    if (position < kMuteAttenuation)
        return std::nullopt;
    return position;
}

std::optional<std::pair<quint8, quint8>> versionBytes(const QString &text) {
    static const QRegularExpression form(u"^(\\d+)(?:\\.(\\d))?$"_s);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QString whole = match.captured(1);
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    const QString tenths = match.hasCaptured(2) ? match.captured(2) : u"0"_s;
    // "0.5" is carried as 0 and 5; otherwise the joined digits are split into two byte texts.
    const QString joined = whole == u"0" ? tenths : whole + tenths;
    if (joined.size() == 1)
        return std::pair<quint8, quint8>(0, static_cast<quint8>(joined.toInt()));
    for (int cut = 1; cut < joined.size(); ++cut) {
        const QString high = joined.left(cut);
        const QString low = joined.mid(cut);
        if (isByteText(high) && isByteText(low))
            return std::pair<quint8, quint8>(static_cast<quint8>(high.toInt()),
                                             static_cast<quint8>(low.toInt()));
    }
    return std::nullopt;
}

std::optional<int> prefixLength(quint32 mask) {
    const quint32 hostBits = ~mask;
    if ((hostBits & (hostBits + 1)) != 0)
        return std::nullopt;
    return std::popcount(mask);
}

} // namespace ondalink::sim

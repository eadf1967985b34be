// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_report.h"

#include "model/element_fields.h"
#include "model/encodings.h"

#include <QtEndian>

#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Offsets of the common part.
constexpr int kInputAt = 16;
constexpr int kTypeAt = 17;
constexpr int kTxAt = 18;
constexpr int kNameAt = 19;
constexpr int kRoleAt = 35;
constexpr int kSerialAt = 36;

// Offsets of the tails.
constexpr int kEncoderVersionAt = 40;
constexpr int kEncoderSfnAt = 42;
constexpr int kEncoderBufAt = 43;
constexpr int kDecoderAttAt = 40;
constexpr int kDecoderVersionAt = 41;
constexpr int kDecoderSfnAt = 43;
constexpr int kDecoderBufAt = 44;
constexpr int kDecoderSdmAt = 45;
constexpr int kDecoderSdlAt = 46;
constexpr int kDecoderSdtAt = 47;

// What a report that ends before a field implies for it.
constexpr double kShortReportVersion = 2.0;
constexpr quint8 kShortReportSfn = 0;
constexpr quint8 kShortEncoderBuf = 0;
constexpr quint8 kShortDecoderBuf = 1;
constexpr quint8 kShortDecoderAtt = 255;

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    std::optional<quint8> byte(int at) const {
        if (at >= m_bytes.size())
            return std::nullopt;
        return static_cast<quint8>(m_bytes[at]);
    }
    quint8 byteOr(int at, quint8 otherwise) const { return byte(at).value_or(otherwise); }
    QByteArrayView slice(int at, int length) const { return m_bytes.sliced(at, length); }

private:
    QByteArrayView m_bytes;
};

// The version's two bytes when both are there; false when they are there but cannot be represented.
bool readVersion(const Reader &in, int at, double &version) {
    const auto high = in.byte(at);
    const auto low = in.byte(at + 1);
    if (!high || !low)
        return true;
    const auto value = versionFromBytes(*high, *low);
    if (!value)
        return false;
    version = *value;
    return true;
}

// Reads a decoder's tail; returns whether its version is representable.
bool readDecoderTail(const Reader &in, ElementReport &report) {
    ElementRecord &r = report.record;
    r.att = in.byteOr(kDecoderAttAt, kShortDecoderAtt);
    report.carried |= OptionalField::Att;
    r.ver = kShortReportVersion;
    const bool versionOk = readVersion(in, kDecoderVersionAt, r.ver);
    r.sfn = in.byteOr(kDecoderSfnAt, kShortReportSfn);
    r.buf = in.byteOr(kDecoderBufAt, kShortDecoderBuf);
    if (const auto sdm = in.byte(kDecoderSdmAt); sdm && kSilDetModeRange.contains(*sdm)) {
        r.sdm = *sdm;
        report.carried |= OptionalField::Sdm;
    }
    if (const auto sdl = in.byte(kDecoderSdlAt)) {
        r.sdl = *sdl;
        report.carried |= OptionalField::Sdl;
    }
    if (const auto sdt = in.byte(kDecoderSdtAt)) {
        r.sdt = *sdt;
        report.carried |= OptionalField::Sdt;
    }
    return versionOk;
}

bool readEncoderTail(const Reader &in, ElementReport &report) {
    ElementRecord &r = report.record;
    r.ver = kShortReportVersion;
    const bool versionOk = readVersion(in, kEncoderVersionAt, r.ver);
    r.sfn = in.byteOr(kEncoderSfnAt, kShortReportSfn);
    r.buf = in.byteOr(kEncoderBufAt, kShortEncoderBuf);
    return versionOk;
}

QString trimBlanks(const QString &text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.sliced(first, last - first);
}

} // namespace

std::optional<quint32> reportedAddress(QByteArrayView datagram) {
    if (datagram.size() < kReportCommonLength)
        return std::nullopt;
    return qFromUnaligned<quint32>(datagram.data()); // memory order is network order
}

ReportCheck decodeReport(QByteArrayView datagram, ElementReport &report) {
    report = ElementReport{};
    if (datagram.size() < kReportCommonLength)
        return ReportCheck::TooShort;

    const Reader in(datagram);
    ElementRecord &r = report.record;
    r.ip = addressFromBytes(in.slice(0, 4));
    r.mask = addressFromBytes(in.slice(4, 4));
    r.gw = addressFromBytes(in.slice(8, 4));
    r.remote = addressFromBytes(in.slice(12, 4));
    r.input = in.byteOr(kInputAt, 0);
    r.type = in.byteOr(kTypeAt, 0);
    r.tx = in.byteOr(kTxAt, 0);
    r.name = reportedName(in.slice(kNameAt, kNameLength));
    r.role = in.byteOr(kRoleAt, 0);
    // A serial that is 0 or does not fit a signed 32-bit number is kept as 0, which the check refuses.
    r.sn = serialFromBytes(in.slice(kSerialAt, 4)).value_or(0);

    const bool versionOk =
        r.kind() == ElementRole::Decoder ? readDecoderTail(in, report) : readEncoderTail(in, report);

    const auto holds = [](ElementKey key, int value) { return schemaOf(key).stored->contains(value); };
    if (!holds(ElementKey::Input, r.input))
        return ReportCheck::AudioInput;
    if (!holds(ElementKey::Type, r.type))
        return ReportCheck::AudioType;
    if (!holds(ElementKey::Tx, r.tx))
        return ReportCheck::TxType;
    if (!holds(ElementKey::Role, r.role))
        return ReportCheck::ElementType;
    if (!holds(ElementKey::Sn, r.sn))
        return ReportCheck::SerialNumber;
    if (!versionOk)
        return ReportCheck::Version;
    return ReportCheck::Ok;
}

Message reportCheckMessage(ReportCheck check) {
    const auto field = [](PhraseId caption) {
        return Message{MessageId::ReportFieldCorrupted, {phrase(caption)}};
    };
    switch (check) {
    case ReportCheck::Ok:
    case ReportCheck::TooShort:
        break;
    case ReportCheck::AudioInput:
        return field(PhraseId::AudioInput);
    case ReportCheck::AudioType:
        return field(PhraseId::AudioType);
    case ReportCheck::TxType:
        return field(PhraseId::TxType);
    case ReportCheck::ElementType:
        return field(PhraseId::ElementType);
    case ReportCheck::SerialNumber:
        return field(PhraseId::SerialNumber);
    case ReportCheck::Version:
        return field(PhraseId::Version);
    }
    return {};
}

QString reportedName(QByteArrayView nameBytes) {
    QString name = nameFromBytes(nameBytes);
    for (QChar &c : name) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            c = QChar(u'?');
    }
    return name;
}

bool sameName(const QString &reported, const QString &typed) {
    return trimBlanks(reported).toUpper() == trimBlanks(typed).toUpper();
}

} // namespace ondalink

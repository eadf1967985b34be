// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_report.h"

#include "model/element_fields.h"
#include "model/encodings.h"

#include <QtEndian>

#include <bitset>
#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Takes the field from its bytes; false when they hold no value it can have, which leaves it as it was.
bool take(const ElementKeySchema &k, QByteArrayView bytes, ElementRecord &r) {
    const RecordMember &m = k.member;
    switch (wireFormOf(k)) {
    case WireForm::Address:
        r.*m.text = addressFromBytes(bytes);
        return true;
    case WireForm::Name:
        r.*m.text = reportedName(bytes);
        return true;
    case WireForm::Byte: {
        const auto value = static_cast<quint8>(bytes.front());
        // A decoder setting the panel shows as a list is taken only when it is one of its entries.
        if (k.report.carried && k.control == FieldControl::List && !k.range->contains(value))
            return false;
        r.*m.byte = value;
        return true;
    }
    case WireForm::Serial:
        // A serial that is 0 or does not fit a signed 32-bit number stays 0, which the check refuses.
        if (const auto serial = serialFromBytes(bytes)) {
            r.*m.number = *serial;
            return true;
        }
        return false;
    case WireForm::Version:
        if (const auto version =
                versionFromBytes(static_cast<quint8>(bytes[0]), static_cast<quint8>(bytes[1]))) {
            r.*m.tenths = *version;
            return true;
        }
        return false;
    }
    return false;
}

void setImplied(const ElementKeySchema &k, int value, ElementRecord &r) {
    const RecordMember &m = k.member;
    if (m.byte)
        r.*m.byte = static_cast<quint8>(value);
    else if (m.number)
        r.*m.number = value;
    else if (m.tenths)
        r.*m.tenths = value;
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

    ElementRecord &r = report.record;
    const int roleAt = schemaOf(ElementKey::Role).report.encoder.at; // the common part's
    const ElementRole role = roleFromValue(static_cast<quint8>(datagram[roleAt]));
    std::bitset<kElementKeyCount> unreadable;
    for (const ElementKeySchema &k : schema_rows::kSchema) {
        const ReportPlace &place = reportPlace(k, role);
        if (place.at < 0)
            continue;
        const int width = wireWidth(wireFormOf(k));
        bool taken = false;
        if (place.at + width <= datagram.size()) {
            taken = take(k, datagram.sliced(place.at, width), r);
            unreadable[static_cast<std::size_t>(k.key)] = !taken;
        }
        if (!taken && place.implied) {
            setImplied(k, *place.implied, r);
            taken = true;
        }
        if (taken && k.report.carried)
            report.carried |= *k.report.carried;
    }

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
    if (unreadable[static_cast<std::size_t>(ElementKey::Ver)])
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

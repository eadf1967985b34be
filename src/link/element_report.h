// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_fields.h"
#include "model/element_record.h"
#include "model/messages.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace ondalink {

inline constexpr int kReportCommonLength = 40; // ip .. sn, the same for every role

namespace report_layout {
// Every field of the common part is at one place for every role, and the common part is filled.
constexpr bool commonPartAgrees() {
    for (const ElementKeySchema &k : schema_rows::kSchema) {
        const ReportPlace &encoder = k.report.encoder;
        const bool inCommon = encoder.at >= 0 && encoder.at < kReportCommonLength;
        if (inCommon != (k.report.decoder.at >= 0 && k.report.decoder.at < kReportCommonLength))
            return false;
        if (inCommon && (k.report.decoder.at != encoder.at || encoder.implied || k.report.decoder.implied ||
                         encoder.at + wireWidth(wireFormOf(k)) > kReportCommonLength))
            return false;
    }
    return schema_rows::filledLength([](const ElementKeySchema &k) {
               return k.report.encoder.at < kReportCommonLength ? k.report.encoder.at : -1;
           }) == kReportCommonLength;
}
static_assert(commonPartAgrees(), "the common part differs between roles or is not filled");
static_assert(schema_rows::reportLength(ElementRole::Encoder) == 44 &&
                  schema_rows::reportLength(ElementRole::Decoder) == 48,
              "an encoder's full report is 44 bytes, a decoder's 48");
} // namespace report_layout

// Outcome of decoding, in the order the checks are made: the first failing one wins.
enum class ReportCheck {
    Ok,
    TooShort, // under 40 bytes: not a report at all
    AudioInput,
    AudioType,
    TxType,
    ElementType,
    SerialNumber,
    Version, // the joined version digits exceed 32767
};

// One decoded report. Fields it does not carry stay at zero and are never stored or shown.
struct ElementReport {
    ElementRecord record; // mac is empty until the ARP lookup fills it
    // Which decoder settings it carries: Att is a decoder's byte 40 (255 when its report ends at 40
    // bytes), Sdm its byte 45 when it is a mode the list has (0..2), Sdl and Sdt its bytes 46 and 47.
    // Every other field always has a value, from its bytes or, for ver, sfn and buf of a short
    // report, from the value such a report implies.
    OptionalFields carried;

    bool carries(OptionalField field) const { return carried.testFlag(field); }
};

// Decodes as far as the datagram reaches (bytes past the role's full length are ignored) and makes
// the checks. A multi-byte field is taken only when all of its bytes are there.
ReportCheck decodeReport(QByteArrayView datagram, ElementReport &report);

// The element's address as a report gives it (its first four bytes, in network order), readable as
// soon as the datagram arrives; nullopt when the datagram is too short to be decoded at all.
std::optional<quint32> reportedAddress(QByteArrayView datagram);

// The message for a failed check (meaningless for Ok and TooShort).
Message reportCheckMessage(ReportCheck check);

// The 16 name bytes as characters (Latin-1). Control characters (C0, DEL, C1) become '?', so that a
// name can never break a line of nms.ini or the panel; the length stays 16.
QString reportedName(QByteArrayView nameBytes);

// Two names are the same when equal after trimming blanks and upper-casing.
bool sameName(const QString &reported, const QString &typed);

} // namespace ondalink

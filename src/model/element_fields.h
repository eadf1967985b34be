// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/configuration_write.h"
#include "model/element_record.h"
#include "model/encodings.h"
#include "model/messages.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace ondalink {

// The fields of an element, one identity for nms.ini, reports, the panel and its writes. The order is
// the order a discovery writes the keys; bound comes last and is written by no one.
enum class ElementKey : quint8 {
    Name,
    Ip,
    Mask,
    Gw,
    Remote,
    Input,
    Type,
    Tx,
    Role,
    Sn,
    Ver,
    Sfn,
    Buf,
    Att,
    Sdm,
    Sdl,
    Sdt,
    Bound,
};
inline constexpr int kElementKeyCount = static_cast<int>(ElementKey::Bound) + 1;

// Which elements have a key written for them in nms.ini.
enum class KeyCarriers : quint8 {
    Every,   // written for every element a discovery stores
    Decoder, // written only for a decoder, and only when its report carried the value
    Nobody,  // read when present, never written
};

// Which elements a configuration write carries the field for.
enum class WriteCarriers : quint8 {
    Nobody,
    Every,
    Decoder,
};

// The control the panel shows a field with, which also says how loading reads a stored value for it.
enum class FieldControl : quint8 {
    Label, // shown as it is: a text as stored, a number 0 (a byte's 0 beyond a byte) when it is none
    Text,  // a text box: as stored
    List,  // an entry of a list: the stored number when it is one, otherwise the first
    Bar,   // a bar's position: the number (its default when none) brought into the range
    Check, // a check box: checked for any number but 0 (its default when none)
};

// The member of ElementRecord that holds the field: one of them is set.
struct RecordMember {
    QString ElementRecord::*text = nullptr;
    quint8 ElementRecord::*byte = nullptr;
    qint32 ElementRecord::*number = nullptr;
    double ElementRecord::*tenths = nullptr;
};

// The member of ConfigurationWrite a configuration write sends the field from: one of them is set.
struct PanelMember {
    QString ConfigurationWrite::*text = nullptr;
    int ConfigurationWrite::*number = nullptr;
    bool ConfigurationWrite::*flag = nullptr;
};

// Where a report of one role holds the field, and what a report that ends before it implies.
struct ReportPlace {
    int at = -1; // byte offset; -1 when such a report has no place for the field
    // None: a report that ends before the field leaves it at 0, and uncarried.
    std::optional<int> implied = std::nullopt;
};

struct ReportLayout {
    ReportPlace encoder = {}; // any role but a decoder
    ReportPlace decoder = {};
    // The flag that says a report carried the field: only a decoder's settings may be missing.
    std::optional<OptionalField> carried = std::nullopt;
};

// Where a configuration write holds the field, and the panel's value it sends.
struct WritePlace {
    int at = -1; // byte offset in the datagram; -1 when no write carries it
    PanelMember member = {};
};

struct ValueRange {
    int min;
    int max;

    constexpr bool contains(int value) const { return value >= min && value <= max; }
};

struct ElementKeySchema {
    ElementKey key;
    QLatin1StringView name;          // lower case; the file holds it upper case
    QLatin1StringView loadDefault;   // what panel loading reads when the section lacks the key
    std::optional<ValueRange> range; // the values the panel can show; none for texts and bound
    // The whole numbers a stored section may hold (what an element can report); none for the texts and
    // ver. Imports are checked against it.
    std::optional<ValueRange> stored;
    KeyCarriers carriers;
    WriteCarriers written;           // by a configuration write; the panel shows them in key order
    std::optional<PhraseId> caption; // how a confirmation names the field when it differs
    FieldControl control;
    RecordMember member;
    ReportLayout report;
    WritePlace write;
    // How a bar's position reads beside it and in the list of changed fields ("7.5mS"); none elsewhere.
    QString (*positionText)(int position, const QLocale &locale) = nullptr;
};

namespace schema_rows {

using Qt::StringLiterals::operator""_L1;
using K = ElementKey;
using C = KeyCarriers;
using W = WriteCarriers;
using P = PhraseId;

inline constexpr ValueRange kByte{0, 255};
inline constexpr ValueRange kFlag{0, 1};
inline constexpr ValueRange kAnyInt{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
inline constexpr auto kNone = std::nullopt;
using F = FieldControl;
constexpr RecordMember textMember(QString ElementRecord::*text) {
    return {.text = text};
}
constexpr RecordMember byteMember(quint8 ElementRecord::*byte) {
    return {.byte = byte};
}
using R = ReportLayout;
using O = OptionalField;
// A field of the part every report has, at the same place whatever the role.
constexpr ReportLayout common(int at) {
    return {.encoder = {at}, .decoder = {at}};
}
constexpr WritePlace writeText(int at, QString ConfigurationWrite::*text) {
    return {at, {.text = text}};
}
constexpr WritePlace writeNumber(int at, int ConfigurationWrite::*number) {
    return {at, {.number = number}};
}
constexpr WritePlace writeFlag(int at, bool ConfigurationWrite::*flag) {
    return {at, {.flag = flag}};
}
inline constexpr WritePlace kNotWritten{};
using CW = ConfigurationWrite;

// Adding a key or changing a range is one row here.
inline constexpr std::array kSchema{
    ElementKeySchema{K::Name, "name"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementName, F::Text,
                     textMember(&ElementRecord::name), common(19), writeText(19, &CW::name)},
    ElementKeySchema{K::Ip, "ip"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementIp, F::Text,
                     textMember(&ElementRecord::ip), common(0), writeText(0, &CW::ip)},
    ElementKeySchema{K::Mask, "mask"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementMask, F::Text,
                     textMember(&ElementRecord::mask), common(4), writeText(4, &CW::mask)},
    ElementKeySchema{K::Gw, "gw"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementGw, F::Text,
                     textMember(&ElementRecord::gw), common(8), writeText(8, &CW::gw)},
    ElementKeySchema{K::Remote, "remote"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::RemoteIp, F::Text,
                     textMember(&ElementRecord::remote), common(12), writeText(12, &CW::remote)},
    ElementKeySchema{K::Input, "input"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioInput, F::List,
                     byteMember(&ElementRecord::input), common(16), writeNumber(16, &CW::input)},
    ElementKeySchema{K::Type, "type"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioType, F::List,
                     byteMember(&ElementRecord::type), common(17), writeNumber(17, &CW::type)},
    ElementKeySchema{K::Tx, "tx"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioTx, F::List,
                     byteMember(&ElementRecord::tx), common(18), writeNumber(18, &CW::tx)},
    ElementKeySchema{K::Role, "role"_L1, ""_L1, kNone, ValueRange{0, kRoleDecoder}, C::Every, W::Nobody,
                     kNone, F::Label, byteMember(&ElementRecord::role), common(35), kNotWritten},
    ElementKeySchema{K::Sn, "sn"_L1, ""_L1, kNone, ValueRange{1, kAnyInt.max}, C::Every, W::Nobody, kNone,
                     F::Label, RecordMember{.number = &ElementRecord::sn}, common(36), kNotWritten},
    ElementKeySchema{K::Ver, "ver"_L1, "2"_L1, kNone, kNone, C::Every, W::Nobody, kNone, F::Label,
                     RecordMember{.tenths = &ElementRecord::ver}, R{.encoder = {40, 2}, .decoder = {41, 2}},
                     kNotWritten},
    ElementKeySchema{K::Sfn, "sfn"_L1, "0"_L1, kFlag, kByte, C::Every, W::Decoder, kNone, F::Check,
                     byteMember(&ElementRecord::sfn), R{.encoder = {42, 0}, .decoder = {43, 0}},
                     writeFlag(35, &CW::sfn)},
    ElementKeySchema{K::Buf, "buf"_L1, "1"_L1, ValueRange{0, 8}, kByte, C::Every, W::Decoder, kNone, F::Bar,
                     byteMember(&ElementRecord::buf), R{.encoder = {43, 0}, .decoder = {44, 1}},
                     writeNumber(36, &CW::buf), bufferText},
    ElementKeySchema{K::Att, "att"_L1, "0"_L1, ValueRange{14, 255}, kByte, C::Decoder, W::Nobody, kNone,
                     F::Bar, byteMember(&ElementRecord::att), R{.decoder = {40, 255}, .carried = O::Att},
                     kNotWritten, attenuationText},
    ElementKeySchema{K::Sdm, "sdm"_L1, "0"_L1, ValueRange{0, 2}, kByte, C::Decoder, W::Decoder, kNone,
                     F::List, byteMember(&ElementRecord::sdm), R{.decoder = {45}, .carried = O::Sdm},
                     writeNumber(37, &CW::sdm)},
    ElementKeySchema{K::Sdl, "sdl"_L1, "37"_L1, ValueRange{1, 154}, kByte, C::Decoder, W::Decoder, kNone,
                     F::Bar, byteMember(&ElementRecord::sdl), R{.decoder = {46}, .carried = O::Sdl},
                     writeNumber(38, &CW::sdl), silDetLevelText},
    ElementKeySchema{K::Sdt, "sdt"_L1, "43"_L1, ValueRange{1, 220}, kByte, C::Decoder, W::Decoder, kNone,
                     F::Bar, byteMember(&ElementRecord::sdt), R{.decoder = {47}, .carried = O::Sdt},
                     writeNumber(39, &CW::sdt), silDetTimeText},
    ElementKeySchema{K::Bound, "bound"_L1, "0"_L1, kNone, kAnyInt, C::Nobody, W::Nobody, kNone, F::Label,
                     textMember(&ElementRecord::bound), R{}, kNotWritten},
};

constexpr bool inKeyOrder() {
    for (std::size_t i = 0; i < kSchema.size(); ++i) {
        if (static_cast<std::size_t>(kSchema[i].key) != i)
            return false;
    }
    return true;
}
static_assert(inKeyOrder() && kSchema.size() == kElementKeyCount, "the table is indexed by ElementKey");

} // namespace schema_rows

constexpr const ElementKeySchema &schemaOf(ElementKey key) {
    return schema_rows::kSchema[static_cast<std::size_t>(key)];
}

// How a report and a configuration write hold a field, from its record member: a text is an
// address's four bytes (the name its 16 characters), the whole number the serial's four big-endian
// bytes, the tenths the version's two, a byte one. Meaningless for a field neither holds (bound).
enum class WireForm : quint8 {
    Address,
    Name,
    Byte,
    Serial,
    Version,
};

constexpr WireForm wireFormOf(const ElementKeySchema &k) {
    const RecordMember &m = k.member;
    if (m.text)
        return k.key == ElementKey::Name ? WireForm::Name : WireForm::Address;
    if (m.byte)
        return WireForm::Byte;
    return m.number ? WireForm::Serial : WireForm::Version;
}

constexpr int wireWidth(WireForm form) {
    switch (form) {
    case WireForm::Address:
        return 4;
    case WireForm::Name:
        return kNameLength;
    case WireForm::Byte:
        return 1;
    case WireForm::Serial:
        return sizeof(qint32);
    case WireForm::Version:
        return 2;
    }
    return 0;
}

constexpr const ReportPlace &reportPlace(const ElementKeySchema &k, ElementRole role) {
    return role == ElementRole::Decoder ? k.report.decoder : k.report.encoder;
}

constexpr bool isEditable(ElementKey key) {
    return schemaOf(key).written != WriteCarriers::Nobody;
}

// The fields a configuration write carries, in the order the panel shows them (key order).
inline constexpr auto kEditableKeys = [] {
    constexpr auto kCount = std::count_if(schema_rows::kSchema.begin(), schema_rows::kSchema.end(),
                                          [](const ElementKeySchema &k) { return isEditable(k.key); });
    std::array<ElementKey, kCount> keys{};
    std::size_t next = 0;
    for (const ElementKeySchema &k : schema_rows::kSchema) {
        if (isEditable(k.key))
            keys[next++] = k.key;
    }
    return keys;
}();

// Whether a configuration write to an element of that role carries the field.
constexpr bool isWrittenFor(ElementKey key, ElementRole role) {
    const WriteCarriers written = schemaOf(key).written;
    return written == WriteCarriers::Every ||
           (written == WriteCarriers::Decoder && role == ElementRole::Decoder);
}

namespace schema_rows {

// The length of the bytes the fields at place(k) fill when every byte is exactly one field's; 0 when
// two fields overlap or a byte is left out. place(k) is -1 for a field not there.
template <typename Place> constexpr int filledLength(Place place) {
    std::array<bool, 256> taken{};
    int end = 0;
    for (const ElementKeySchema &k : kSchema) {
        const int at = place(k);
        const int width = wireWidth(wireFormOf(k));
        if (at < 0)
            continue;
        if (at + width > int(taken.size()))
            return 0;
        for (auto i = std::size_t(at); i < std::size_t(at) + std::size_t(width); ++i) {
            if (taken[i])
                return 0;
            taken[i] = true;
        }
        end = std::max(end, at + width);
    }
    return std::all_of(taken.begin(), taken.begin() + end, [](bool t) { return t; }) ? end : 0;
}

constexpr int reportLength(ElementRole role) {
    return filledLength([role](const ElementKeySchema &k) { return reportPlace(k, role).at; });
}

// A field has a place in a write exactly when the write carries it, and a panel member that suits
// its form; a report's carried flag belongs to exactly the settings only a decoder's keys hold.
constexpr bool writeAndFlagAgree(const ElementKeySchema &k) {
    const PanelMember &m = k.write.member;
    const bool suits = wireFormOf(k) == WireForm::Byte
                           ? (m.number != nullptr) != (m.flag != nullptr) && !m.text
                           : m.text && !m.number && !m.flag;
    const bool written = k.written != WriteCarriers::Nobody;
    return (k.write.at >= 0) == written && (!written || suits) &&
           k.report.carried.has_value() == (k.carriers == KeyCarriers::Decoder) &&
           (!k.report.carried || k.report.encoder.at < 0);
}
static_assert(std::ranges::all_of(kSchema, writeAndFlagAgree),
              "a write's place, its member and a report's carried flag disagree");
static_assert(reportLength(ElementRole::Encoder) > 0 && reportLength(ElementRole::Decoder) > 0,
              "the fields of a report overlap or leave a gap");
static_assert(std::ranges::all_of(kSchema,
                                  [](const ElementKeySchema &k) {
                                      return (k.control == FieldControl::Bar) == (k.positionText != nullptr);
                                  }),
              "a bar without the text of its position, or a text for what is no bar");

} // namespace schema_rows

// The length of a configuration write for an element of that role; 0 when its fields overlap or
// leave a gap.
constexpr int configurationWriteLength(ElementRole role) {
    return schema_rows::filledLength(
        [role](const ElementKeySchema &k) { return isWrittenFor(k.key, role) ? k.write.at : -1; });
}

// Whether a confirming report is compared with the panel for the field: the fields every write
// carries. A decoder's settings are taken as the report gives them.
constexpr bool isConfirmedByReport(ElementKey key) {
    return schemaOf(key).written == WriteCarriers::Every;
}

// The number a write sends for a byte field: a check box's 1 or 0, a list's index, a bar's position.
inline int panelNumber(const PanelMember &m, const ConfigurationWrite &write) {
    return m.flag ? int(write.*m.flag) : write.*m.number;
}

// The ranges of the panel's scroll bars; the report handler and panel loading clamp to them.
inline constexpr ValueRange kAttenRange = *schemaOf(ElementKey::Att).range;
inline constexpr ValueRange kBufferRange = *schemaOf(ElementKey::Buf).range;
inline constexpr ValueRange kSilDetModeRange = *schemaOf(ElementKey::Sdm).range;
inline constexpr ValueRange kSilDetLevelRange = *schemaOf(ElementKey::Sdl).range;
inline constexpr ValueRange kSilDetTimeRange = *schemaOf(ElementKey::Sdt).range;
inline constexpr int kAttenMin = kAttenRange.min;
inline constexpr int kAttenMax = kAttenRange.max;
inline constexpr int kBufferMin = kBufferRange.min;
inline constexpr int kBufferMax = kBufferRange.max;
inline constexpr int kSilDetLevelMin = kSilDetLevelRange.min;
inline constexpr int kSilDetLevelMax = kSilDetLevelRange.max;
inline constexpr int kSilDetTimeMin = kSilDetTimeRange.min;
inline constexpr int kSilDetTimeMax = kSilDetTimeRange.max;

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_record.h"
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
    WriteCarriers written;           // by a configuration write, in key order
    std::optional<PhraseId> caption; // how a confirmation names the field when it differs
    FieldControl control;
    RecordMember member;
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

// Adding a key or changing a range is one row here.
inline constexpr std::array kSchema{
    ElementKeySchema{K::Name, "name"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementName, F::Text,
                     textMember(&ElementRecord::name)},
    ElementKeySchema{K::Ip, "ip"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementIp, F::Text,
                     textMember(&ElementRecord::ip)},
    ElementKeySchema{K::Mask, "mask"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementMask, F::Text,
                     textMember(&ElementRecord::mask)},
    ElementKeySchema{K::Gw, "gw"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::ElementGw, F::Text,
                     textMember(&ElementRecord::gw)},
    ElementKeySchema{K::Remote, "remote"_L1, ""_L1, kNone, kNone, C::Every, W::Every, P::RemoteIp, F::Text,
                     textMember(&ElementRecord::remote)},
    ElementKeySchema{K::Input, "input"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioInput, F::List,
                     byteMember(&ElementRecord::input)},
    ElementKeySchema{K::Type, "type"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioType, F::List,
                     byteMember(&ElementRecord::type)},
    ElementKeySchema{K::Tx, "tx"_L1, ""_L1, kFlag, kFlag, C::Every, W::Every, P::AudioTx, F::List,
                     byteMember(&ElementRecord::tx)},
    ElementKeySchema{K::Role, "role"_L1, ""_L1, kNone, ValueRange{0, kRoleDecoder}, C::Every, W::Nobody,
                     kNone, F::Label, byteMember(&ElementRecord::role)},
    ElementKeySchema{K::Sn, "sn"_L1, ""_L1, kNone, ValueRange{1, kAnyInt.max}, C::Every, W::Nobody, kNone,
                     F::Label, RecordMember{.number = &ElementRecord::sn}},
    ElementKeySchema{K::Ver, "ver"_L1, "2"_L1, kNone, kNone, C::Every, W::Nobody, kNone, F::Label,
                     RecordMember{.tenths = &ElementRecord::ver}},
    ElementKeySchema{K::Sfn, "sfn"_L1, "0"_L1, kFlag, kByte, C::Every, W::Decoder, kNone, F::Check,
                     byteMember(&ElementRecord::sfn)},
    ElementKeySchema{K::Buf, "buf"_L1, "1"_L1, ValueRange{0, 8}, kByte, C::Every, W::Decoder, kNone, F::Bar,
                     byteMember(&ElementRecord::buf)},
    ElementKeySchema{K::Att, "att"_L1, "0"_L1, ValueRange{14, 255}, kByte, C::Decoder, W::Nobody, kNone,
                     F::Bar, byteMember(&ElementRecord::att)},
    ElementKeySchema{K::Sdm, "sdm"_L1, "0"_L1, ValueRange{0, 2}, kByte, C::Decoder, W::Decoder, kNone,
                     F::List, byteMember(&ElementRecord::sdm)},
    ElementKeySchema{K::Sdl, "sdl"_L1, "37"_L1, ValueRange{1, 154}, kByte, C::Decoder, W::Decoder, kNone,
                     F::Bar, byteMember(&ElementRecord::sdl)},
    ElementKeySchema{K::Sdt, "sdt"_L1, "43"_L1, ValueRange{1, 220}, kByte, C::Decoder, W::Decoder, kNone,
                     F::Bar, byteMember(&ElementRecord::sdt)},
    ElementKeySchema{K::Bound, "bound"_L1, "0"_L1, kNone, kAnyInt, C::Nobody, W::Nobody, kNone, F::Label,
                     textMember(&ElementRecord::bound)},
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

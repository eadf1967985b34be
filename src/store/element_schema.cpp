// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/element_schema.h"

#include "model/encodings.h"
#include "model/mac_text.h"
#include "store/ini_text.h"
#include "store/profile_file.h"

#include <algorithm>
#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

using K = ElementKey;
using C = KeyCarriers;

// What QString::trimmed() takes away from a Latin-1 text: stored numbers have always been read that way.
bool isSpace(uchar c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x85 || c == 0xA0;
}

// The key's value as a discovery stores it: the name padded to its 16 characters.
QString discoveryValue(const ElementRecord &r, const ElementKeySchema &k, const QLocale &locale) {
    const RecordMember &m = k.member;
    if (m.text)
        return k.key == K::Name ? padName(r.*m.text) : r.*m.text;
    if (m.byte)
        return QString::number(r.*m.byte);
    if (m.number)
        return QString::number(r.*m.number);
    return shortestDecimal(r.*m.tenths, locale);
}

} // namespace

std::span<const ElementKeySchema> elementKeySchema() {
    return schema_rows::kSchema;
}

std::optional<ElementKey> elementKeyNamed(QByteArrayView name) {
    name = ini::trimmedBlanks(name);
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (ini::equalsIgnoringAsciiCase(name, QByteArrayView(k.name.data(), k.name.size())))
            return k.key;
    }
    return std::nullopt;
}

QString keyName(ElementKey key) {
    return {schemaOf(key).name};
}

int clampedToRange(ElementKey key, int value) {
    const auto range = schemaOf(key).range;
    return range ? std::clamp(value, range->min, range->max) : value;
}

std::optional<int> wholeNumber(QByteArrayView text) {
    while (!text.isEmpty() && isSpace(uchar(text.front())))
        text = text.sliced(1);
    while (!text.isEmpty() && isSpace(uchar(text.back())))
        text.chop(1);
    const bool negative = text.startsWith('-');
    if (negative || text.startsWith('+'))
        text = text.sliced(1);
    if (text.isEmpty())
        return std::nullopt;
    constexpr qint64 kLimit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit)
            return std::nullopt;
    }
    if (!negative && magnitude == kLimit)
        return std::nullopt;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

KeyValues discoveryKeys(const ElementRecord &record, OptionalFields carried, const QLocale &locale) {
    KeyValues keys;
    for (const ElementKeySchema &k : elementKeySchema()) {
        const auto field = k.report.carried;
        const bool written =
            k.carriers == C::Every || (k.carriers == C::Decoder && field &&
                                       record.kind() == ElementRole::Decoder && carried.testFlag(*field));
        if (written)
            keys.append({keyName(k.key), discoveryValue(record, k, locale)});
    }
    return keys;
}

StoredElement::StoredElement(QString sectionKey) : m_sectionKey(std::move(sectionKey)) {}

void StoredElement::addKeyLine(QByteArrayView key, QByteArrayView value) {
    ++m_keyCount;
    const auto known = elementKeyNamed(key);
    if (!known)
        return;
    std::optional<QString> &slot = m_values[static_cast<std::size_t>(*known)];
    if (!slot)
        slot = QString::fromLatin1(value).left(kMaxValueLength);
}

bool StoredElement::has(ElementKey key) const {
    return m_values[static_cast<std::size_t>(key)].has_value();
}

OptionalFields StoredElement::present() const {
    OptionalFields fields;
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (k.report.carried && has(k.key))
            fields |= *k.report.carried;
    }
    return fields;
}

QString StoredElement::text(ElementKey key) const {
    return m_values[static_cast<std::size_t>(key)].value_or(QString(schemaOf(key).loadDefault));
}

std::optional<int> StoredElement::number(ElementKey key) const {
    return wholeNumber(QByteArrayView(text(key).toLatin1()));
}

// A stored value that is no whole number counts as missing: the default applies.
int StoredElement::numberOrDefault(ElementKey key) const {
    const QLatin1StringView fallback = schemaOf(key).loadDefault;
    return number(key).value_or(wholeNumber(QByteArrayView(fallback.data(), fallback.size())).value_or(0));
}

std::optional<int> StoredElement::listIndex(ElementKey key) const {
    const auto value = number(key);
    const auto range = schemaOf(key).range;
    if (!value || (range && (*value < range->min || *value > range->max)))
        return std::nullopt;
    return value;
}

ElementRole StoredElement::role() const {
    return roleFromValue(number(K::Role).value_or(0));
}

// By the key's control: a bar's number that is none reads as its default and one beyond the range at
// its nearest end, a list's value that is no entry as the first entry; a label's byte beyond a byte
// as 0.
int StoredElement::shownNumber(const ElementKeySchema &k) const {
    switch (k.control) {
    case FieldControl::List:
        return listIndex(k.key).value_or(0);
    case FieldControl::Bar:
        return clampedToRange(k.key, numberOrDefault(k.key));
    case FieldControl::Check:
        return numberOrDefault(k.key) != 0 ? 1 : 0;
    case FieldControl::Label:
    case FieldControl::Text:
        break;
    }
    const int value = number(k.key).value_or(0);
    return k.member.byte && (value < 0 || value > 0xFF) ? 0 : value;
}

ElementRecord StoredElement::record() const {
    ElementRecord r;
    r.mac = elementKeyToMac(m_sectionKey);
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (k.carriers == C::Decoder && r.kind() != ElementRole::Decoder)
            continue; // a decoder's settings stay 0 for any other role; role comes before them
        const RecordMember &m = k.member;
        if (m.text)
            r.*m.text = text(k.key);
        else if (m.byte)
            r.*m.byte = quint8(shownNumber(k));
        else if (m.number)
            r.*m.number = shownNumber(k);
        else
            r.*m.tenths =
                parseVersion(text(k.key)).value_or(parseVersion(QString(k.loadDefault)).value_or(0.0));
    }
    return r;
}

KeyValues StoredElement::corrections() const {
    if (role() != ElementRole::Decoder || !isPlausible())
        return {};
    KeyValues writes;
    const auto correct = [&](ElementKey key, bool needed, int value) {
        if (needed)
            writes.append({keyName(key), QString::number(value)});
    };
    const ValueRange att = *schemaOf(K::Att).range;
    const ValueRange sdl = *schemaOf(K::Sdl).range;
    const ValueRange sdt = *schemaOf(K::Sdt).range;
    correct(K::Att, numberOrDefault(K::Att) <= att.min, att.min);
    correct(K::Sdl, numberOrDefault(K::Sdl) > sdl.max, sdl.max);
    correct(K::Sdt, numberOrDefault(K::Sdt) > sdt.max, sdt.max);
    return writes;
}

} // namespace ondalink

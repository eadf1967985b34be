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

std::optional<OptionalField> optionalFieldOf(ElementKey key) {
    switch (key) {
    case K::Att:
        return OptionalField::Att;
    case K::Sdm:
        return OptionalField::Sdm;
    case K::Sdl:
        return OptionalField::Sdl;
    case K::Sdt:
        return OptionalField::Sdt;
    default:
        return std::nullopt;
    }
}

QString discoveryValue(const ElementRecord &r, ElementKey key, const QLocale &locale) {
    switch (key) {
    case K::Name:
        return padName(r.name);
    case K::Ip:
        return r.ip;
    case K::Mask:
        return r.mask;
    case K::Gw:
        return r.gw;
    case K::Remote:
        return r.remote;
    case K::Input:
        return QString::number(r.input);
    case K::Type:
        return QString::number(r.type);
    case K::Tx:
        return QString::number(r.tx);
    case K::Role:
        return QString::number(r.role);
    case K::Sn:
        return QString::number(r.sn);
    case K::Ver:
        return shortestDecimal(r.ver, locale);
    case K::Sfn:
        return QString::number(r.sfn);
    case K::Buf:
        return QString::number(r.buf);
    case K::Att:
        return QString::number(r.att);
    case K::Sdm:
        return QString::number(r.sdm);
    case K::Sdl:
        return QString::number(r.sdl);
    case K::Sdt:
        return QString::number(r.sdt);
    case K::Bound:
        return r.bound;
    }
    return {};
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
        const auto field = optionalFieldOf(k.key);
        const bool written =
            k.carriers == C::Every || (k.carriers == C::Decoder && field &&
                                       record.kind() == ElementRole::Decoder && carried.testFlag(*field));
        if (written)
            keys.append({keyName(k.key), discoveryValue(record, k.key, locale)});
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
    for (const ElementKey key : {K::Att, K::Sdm, K::Sdl, K::Sdt}) {
        if (has(key))
            fields |= *optionalFieldOf(key);
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

// A number that is none reads as the key's default; a stored value beyond the range is shown at its
// nearest end, and a mode that is no entry of its list as the first entry.
int StoredElement::level(ElementKey key) const {
    if (key == K::Sdm)
        return listIndex(key).value_or(0);
    return clampedToRange(key, numberOrDefault(key));
}

ElementRecord StoredElement::record() const {
    ElementRecord r;
    r.mac = elementKeyToMac(m_sectionKey);
    r.name = text(K::Name);
    r.ip = text(K::Ip);
    r.mask = text(K::Mask);
    r.gw = text(K::Gw);
    r.remote = text(K::Remote);
    r.input = quint8(listIndex(K::Input).value_or(0));
    r.type = quint8(listIndex(K::Type).value_or(0));
    r.tx = quint8(listIndex(K::Tx).value_or(0));
    const int role = number(K::Role).value_or(0);
    r.role = role >= 0 && role <= 0xFF ? quint8(role) : 0;
    r.sn = number(K::Sn).value_or(0);
    r.ver = parseVersion(text(K::Ver)).value_or(2.0);
    r.sfn = numberOrDefault(K::Sfn) != 0 ? 1 : 0;
    r.buf = quint8(level(K::Buf));
    if (r.kind() == ElementRole::Decoder) {
        r.att = quint8(level(K::Att));
        r.sdm = quint8(level(K::Sdm));
        r.sdl = quint8(level(K::Sdl));
        r.sdt = quint8(level(K::Sdt));
    }
    r.bound = text(K::Bound);
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

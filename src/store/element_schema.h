// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_fields.h"

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QList>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>

namespace ondalink {

// Every key, in the order of ElementKey.
std::span<const ElementKeySchema> elementKeySchema();
// The key of that name (any letter case, blanks around it ignored); nullopt for a name not ours.
std::optional<ElementKey> elementKeyNamed(QByteArrayView name);
// The name to read or write the key by.
QString keyName(ElementKey key);
// The value brought to the nearest end of the key's range; unchanged for a key without one.
int clampedToRange(ElementKey key, int value);

// A section with this many key lines or more was not written by us: it is neither loaded into the
// panel nor stored into.
inline constexpr int kImplausibleKeyCount = kElementKeyCount;
// What a discovery writes for one section, the most any of our writes holds, stays below it.
static_assert(std::count_if(schema_rows::kSchema.begin(), schema_rows::kSchema.end(),
                            [](const ElementKeySchema &k) { return k.carriers != KeyCarriers::Nobody; }) <
                  kImplausibleKeyCount,
              "a section we wrote would read as corrupted");
constexpr bool isPlausibleKeyCount(int keyLines) {
    return keyLines < kImplausibleKeyCount;
}

// A stored whole number: an optional sign and decimal digits, with white space around them (blank,
// tab, the other ASCII spacing controls, NEL and no-break space); nullopt for anything else and for a
// number out of the int range.
std::optional<int> wholeNumber(QByteArrayView text);

using KeyValues = QList<std::pair<QString, QString>>;
// Element key -> the keys stored in its section.
using SectionKeys = QList<std::pair<QString, KeyValues>>;

// An element's section as panel loading reads it. Every key's first line counts; a key the section
// lacks reads as its load default.
class StoredElement {
public:
    explicit StoredElement(QString sectionKey);
    // The section's key lines in file order, each taken as it stands after "=".
    void addKeyLine(QByteArrayView key, QByteArrayView value);

    const QString &sectionKey() const { return m_sectionKey; }
    // Every key line, duplicates and keys not ours included: what the plausibility limit counts.
    int keyCount() const { return m_keyCount; }
    bool isPlausible() const { return isPlausibleKeyCount(m_keyCount); }
    bool has(ElementKey key) const;
    // Which of att, sdm, sdl, sdt the section holds.
    OptionalFields present() const;

    // The stored text, cut as every read of a value is; the load default when the key is missing.
    QString text(ElementKey key) const;
    // text() as a whole number; nullopt when it is none.
    std::optional<int> number(ElementKey key) const;
    // number(), or the default's number when the stored text is none.
    int numberOrDefault(ElementKey key) const;
    // number() when it lies in the key's range (an entry of its list); nullopt otherwise.
    std::optional<int> listIndex(ElementKey key) const;
    ElementRole role() const;

    // The record as the panel shows it: texts as stored; ver, sfn and buf for every role, the decoder
    // settings for a decoder only (0 otherwise), each a number (its default when it is none) brought
    // into its range; input, type and tx 0 where listIndex() has none; role 0 when out of a byte.
    ElementRecord record() const;
    // What loading a decoder writes back: an attenuation at or below its minimum, a silence level or
    // time above its maximum, in this order. Empty for any other section.
    KeyValues corrections() const;

private:
    // A number field's value as the panel shows it.
    int shownNumber(const ElementKeySchema &k) const;

    QString m_sectionKey;
    int m_keyCount = 0;
    std::array<std::optional<QString>, kElementKeyCount> m_values;
};

// The keys a discovery stores for an element, in their order: 13 for an encoder, up to 17 for a
// decoder (att, sdm, sdl, sdt only when its report carried them).
KeyValues discoveryKeys(const ElementRecord &record, OptionalFields carried,
                        const QLocale &locale = QLocale());

} // namespace ondalink

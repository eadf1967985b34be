// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/profile_file.h"

#include "store/atomic_file.h"
#include "store/ini_edit.h"
#include "store/ini_text.h"

#include <QSet>

#include <limits>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// One byte per character; a character past U+00FF has no place in the file.
std::optional<QByteArray> latin1(const QString &text) {
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
    }
    return text.toLatin1();
}

bool breaksLines(QByteArrayView text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

// Names and values that could change the file's structure are refused rather than stored.
std::optional<QByteArray> writableSection(const QString &section) {
    auto bytes = latin1(section);
    if (!bytes || ini::trimmedBlanks(*bytes).isEmpty() || bytes->contains(']') || breaksLines(*bytes))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> writableKey(const QString &key) {
    const auto bytes = latin1(key);
    if (!bytes)
        return std::nullopt;
    const QByteArrayView trimmed = ini::trimmedBlanks(*bytes);
    if (trimmed.isEmpty() || trimmed.contains('=') || breaksLines(trimmed) || trimmed.front() == '[' ||
        trimmed.front() == ';' || trimmed.front() == '#')
        return std::nullopt;
    return ini::asciiUpper(trimmed);
}

std::optional<QByteArray> writableValue(const QString &value) {
    auto bytes = latin1(value);
    if (!bytes || breaksLines(*bytes))
        return std::nullopt;
    return bytes;
}

QByteArray snapshot(const QString &path) {
    return readWholeFile(path).bytes;
}

// Reads, changes and replaces the file. A file that is there but cannot be read is never overwritten.
template <typename Edit> bool update(const QString &path, Edit edit) {
    const FileContents contents = readWholeFile(path);
    if (contents.status == FileContents::Status::Failed)
        return false;
    const std::optional<QByteArray> changed = edit(QByteArrayView(contents.bytes));
    return !changed || replaceFileAtomically(path, *changed);
}

std::optional<ini::Section> findSection(const ini::Text &text, const QString &section) {
    const auto name = latin1(section);
    return name ? text.findSection(*name) : std::nullopt;
}

std::optional<QByteArrayView> findValue(const ini::Text &text, const QString &section, const QString &key) {
    const auto s = findSection(text, section);
    const auto name = latin1(key);
    if (!s || !name)
        return std::nullopt;
    const auto line = text.findKey(*s, *name);
    return line ? std::optional(line->value) : std::nullopt;
}

QString readValue(const ini::Text &text, const QString &section, const QString &key,
                  const QString &fallback) {
    const auto value = findValue(text, section, key);
    return (value ? QString::fromLatin1(*value) : fallback).left(kMaxValueLength);
}

qsizetype keyLineCount(const QString &section, const QString &path) {
    const QByteArray bytes = snapshot(path);
    const ini::Text text(bytes);
    const auto s = findSection(text, section);
    qsizetype count = 0;
    if (s)
        text.forEachKeyLine(*s, [&](const ini::KeyLine &) { return ++count, true; });
    return count;
}

// Optional blanks and sign, then decimal digits or 0x and hex digits up to the first other character.
// No digits reads as 0; a number out of range saturates.
qint32 profileInt(QByteArrayView text) {
    text = ini::trimmedBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
    }
    constexpr qint64 kLimit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            break;
        magnitude = qMin(magnitude * base + digit, kLimit);
    }
    if (negative)
        return static_cast<qint32>(-magnitude);
    return static_cast<qint32>(qMin(magnitude, kLimit - 1));
}

} // namespace

QString ReadFromINI(const QString &strSection, const QString &strkey, const QString &strfullpath,
                    const QString &strDefault) {
    // Keys match without ASCII case, so the lookup needs no lower-cased copy of the key.
    const QByteArray bytes = snapshot(strfullpath);
    return readValue(ini::Text(bytes), strSection, strkey, strDefault);
}

bool WriteToINI(const QString &strSection, const QString &strkey, const QString &strkeyvalue,
                const QString &strfullpath) {
    return WriteSectionToINI(strSection, {{strkey, strkeyvalue}}, strfullpath);
}

bool WriteSectionToINI(const QString &strSection, const QList<std::pair<QString, QString>> &keyValues,
                       const QString &strfullpath) {
    return WriteSectionsToINI({{strSection, keyValues}}, strfullpath);
}

namespace {

// The sections as the file's bytes; nullopt when any name or value cannot be written.
std::optional<QList<std::pair<QByteArray, ini::KeyValues>>>
writableSections(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections) {
    QList<std::pair<QByteArray, ini::KeyValues>> bytes;
    bytes.reserve(sections.size());
    for (const auto &[name, keyValues] : sections) {
        const auto section = writableSection(name);
        if (!section)
            return std::nullopt;
        ini::KeyValues pairs;
        pairs.reserve(keyValues.size());
        for (const auto &[key, value] : keyValues) {
            const auto k = writableKey(key);
            const auto v = writableValue(value);
            if (!k || !v)
                return std::nullopt;
            pairs.append({*k, *v});
        }
        bytes.append({*section, std::move(pairs)});
    }
    return bytes;
}

} // namespace

bool WriteSectionsToINI(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections,
                        const QString &strfullpath) {
    const auto converted = writableSections(sections);
    if (!converted)
        return false;
    const auto &bytes = *converted;
    if (bytes.size() == 1)
        return update(strfullpath, [&](QByteArrayView file) {
            return ini::setKeys(file, bytes[0].first, bytes[0].second);
        });
    return update(strfullpath, [&](QByteArrayView file) { return ini::setSections(file, bytes); });
}

bool replaceSectionsInIni(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections,
                          const QString &strfullpath, bool wholeFile) {
    const auto bytes = writableSections(sections);
    if (!bytes)
        return false;
    if (wholeFile) {
        const QByteArray text = ini::replaceSections({}, *bytes).value_or(QByteArray());
        return replaceFileAtomically(strfullpath, text);
    }
    return update(strfullpath, [&](QByteArrayView file) { return ini::replaceSections(file, *bytes); });
}

bool DeleteIniSection(const QString &strSection, const QString &strfullpath) {
    const auto section = latin1(strSection);
    if (!section)
        return true; // cannot be in the file
    return update(strfullpath, [&](QByteArrayView file) { return ini::removeSection(file, *section); });
}

bool DeleteIniKey(const QString &strSection, const QString &strKeyname, const QString &strfullpath) {
    const auto section = latin1(strSection);
    const auto key = latin1(strKeyname);
    if (!section || !key)
        return true;
    return update(strfullpath, [&](QByteArrayView file) { return ini::removeKey(file, *section, *key); });
}

bool CheckIfIniKeyExists(const QString &strSection, const QString &strKeyname, const QString &strfullpath) {
    // Two defaults that differ: only a stored value makes both reads agree.
    const QByteArray bytes = snapshot(strfullpath);
    const ini::Text text(bytes);
    return readValue(text, strSection, strKeyname, u"A"_s) == readValue(text, strSection, strKeyname, u"B"_s);
}

bool CheckIfIniSectionExists(const QString &strSection, const QString &strfullpath) {
    return keyLineCount(strSection, strfullpath) > 0;
}

qint32 GetLongFromINI(const QString &strSection, const QString &strKeyname, const QString &strfullpath,
                      qint32 lngDefault) {
    const QByteArray bytes = snapshot(strfullpath);
    const auto value = findValue(ini::Text(bytes), strSection, strKeyname);
    return value ? profileInt(*value) : lngDefault;
}

bool RenameIniKey(const QString &strSection, const QString &strKeyname, const QString &strNewKeyname,
                  const QString &strfullpath) {
    const auto newKey = writableKey(strNewKeyname);
    if (!newKey)
        return false;
    const auto section = latin1(strSection);
    const auto key = latin1(strKeyname);
    if (!section || !key)
        return true;
    return update(strfullpath,
                  [&](QByteArrayView file) { return ini::renameKey(file, *section, *key, *newKey); });
}

bool RenameIniSection(const QString &strSection, const QString &strNewSection, const QString &strfullpath) {
    const auto newSection = writableSection(strNewSection);
    if (!newSection)
        return false;
    const auto section = latin1(strSection);
    if (!section)
        return true;
    return update(strfullpath,
                  [&](QByteArrayView file) { return ini::renameSection(file, *section, *newSection); });
}

void LoadIniSectionsLB(QStringList &lstB, const QString &strfullpath) {
    lstB.append(LoadIniSectionsArray(strfullpath));
}

QStringList LoadIniSectionsArray(const QString &strfullpath) {
    const QByteArray bytes = snapshot(strfullpath);
    QStringList names;
    QSet<QByteArray> seen;
    ini::Text(bytes).forEachSection([&](const ini::Section &section) {
        if (section.name.isEmpty())
            return true;
        const QByteArray folded = ini::asciiLower(section.name);
        if (!seen.contains(folded)) {
            seen.insert(folded);
            names.append(QString::fromLatin1(section.name));
        }
        return true;
    });
    return names;
}

void LoadIniSectionKeysLB(const QString &strSection, QStringList &lstB, const QString &strfullpath) {
    const QByteArray bytes = snapshot(strfullpath);
    const ini::Text text(bytes);
    const auto s = findSection(text, strSection);
    if (!s)
        return;
    text.forEachKeyLine(*s, [&](const ini::KeyLine &line) {
        lstB.append(QString::fromLatin1(line.key));
        return true;
    });
}

qint16 GetSectionKeyCount(const QString &strSection, const QString &strfullpath) {
    return static_cast<qint16>(
        qMin<qsizetype>(keyLineCount(strSection, strfullpath), std::numeric_limits<qint16>::max()));
}

} // namespace ondalink

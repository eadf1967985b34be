// SPDX-License-Identifier: GPL-3.0-or-later
// The INI scanner against a plain line-by-line reading of the same bytes, then one edit: only the
// sections it names change, the bytes around them stay, and what was written reads back.
// Input: a file, then 6 bytes that choose the edit (the edit reuses names found in the file).
#include "fuzz_support.h"
#include "store/atomic_file.h"
#include "store/element_database.h"
#include "store/ini_edit.h"
#include "store/ini_text.h"
#include "store/profile_file.h"

#include <QByteArray>
#include <QList>

using namespace ondalink;
using namespace ondalink::ini;

namespace {

struct RefSection {
    QByteArray name;
    QList<std::pair<QByteArray, QByteArray>> keys;
    friend bool operator==(const RefSection &, const RefSection &) = default;
};
using Model = QList<RefSection>;

// The file read as documented: lines end at LF, CRLF or CR; a header's first non-blank is "[".
Model referenceParse(QByteArrayView bytes) {
    Model model;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
        const QByteArrayView body = trimmedBlanks(line);
        qsizetype lead = 0;
        while (lead < line.size() && isBlank(line[lead]))
            ++lead;
        if (lead < line.size() && line[lead] == '[') {
            const QByteArrayView rest = line.sliced(lead + 1);
            const qsizetype close = rest.indexOf(']');
            model.append({trimmedBlanks(close < 0 ? rest : rest.first(close)).toByteArray(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (model.isEmpty() || body.isEmpty() || body[0] == ';' || body[0] == '#' || eq < 0)
            continue;
        const QByteArrayView key = trimmedBlanks(line.first(eq));
        if (!key.isEmpty())
            model.last().keys.append({key.toByteArray(), line.sliced(eq + 1).toByteArray()});
    }
    return model;
}

Model scan(QByteArrayView bytes) {
    const Text text(bytes);
    Model model;
    text.forEachSection([&](const Section &s) {
        model.append({s.name.toByteArray(), {}});
        text.forEachKeyLine(s, [&](const KeyLine &k) {
            FUZZ_CHECK(k.value == bytes.sliced(k.valueBegin, k.valueEnd - k.valueBegin));
            model.last().keys.append({k.key.toByteArray(), k.value.toByteArray()});
            return true;
        });
        return true;
    });
    return model;
}

bool sameName(const QByteArray &a, QByteArrayView b) {
    return equalsIgnoringAsciiCase(a, trimmedBlanks(b));
}

// The sections not named by the edit, in order.
Model others(const Model &model, QByteArrayView a, QByteArrayView b = {}) {
    Model rest;
    for (const RefSection &s : model)
        if (!sameName(s.name, a) && (b.isEmpty() || !sameName(s.name, b)))
            rest.append(s);
    return rest;
}

const RefSection *first(const Model &model, QByteArrayView name) {
    for (const RefSection &s : model)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const QByteArray *firstValue(const RefSection &s, QByteArrayView key) {
    for (const auto &[k, v] : s.keys)
        if (sameName(k, key))
            return &v;
    return nullptr;
}

// A name usable for a write: what the file already holds or one made from the choice byte.
QByteArray pick(const Model &model, quint8 choice, bool key) {
    QList<QByteArray> names;
    for (const RefSection &s : model) {
        if (!key)
            names.append(s.name);
        for (const auto &k : s.keys)
            if (key)
                names.append(k.first);
    }
    if (!names.isEmpty() && choice < 200)
        return names.at(choice % names.size());
    return key ? QByteArray("K").append(char('A' + choice % 26))
               : QByteArray("00A0C90000").append(QByteArray::number(choice % 100));
}

bool writableName(QByteArrayView name, bool key) {
    const QByteArrayView t = trimmedBlanks(name);
    if (t.isEmpty() || name.contains('\r') || name.contains('\n') || name.contains('\0'))
        return false;
    return key ? !t.contains('=') && t[0] != '[' && t[0] != ';' && t[0] != '#' : !name.contains(']');
}

void checkEdit(QByteArrayView file, const Model &before, quint8 op, const QByteArray &section,
               const QByteArray &key, const QByteArray &value) {
    const auto found = Text(file).findSection(section);
    std::optional<QByteArray> after;
    switch (op % 6) {
    case 0: {
        after = setKeys(file, section, {{key, value}});
        if (!after) {
            FUZZ_CHECK(found && first(before, section) && firstValue(*first(before, section), key) &&
                       *firstValue(*first(before, section), key) == value);
            return;
        }
        const Model now = referenceParse(*after);
        FUZZ_CHECK(others(now, section) == others(before, section));
        const RefSection *s = first(now, section);
        FUZZ_CHECK(s && firstValue(*s, key) && *firstValue(*s, key) == value);
        if (found) { // only the section's own bytes changed
            FUZZ_CHECK(after->startsWith(file.first(found->begin)));
            FUZZ_CHECK(after->endsWith(file.sliced(found->end)));
        } else {
            FUZZ_CHECK(after->startsWith(file));
        }
        break;
    }
    case 1:
        after = removeSection(file, section);
        FUZZ_CHECK(after.has_value() == found.has_value());
        if (after)
            FUZZ_CHECK(referenceParse(*after) == others(before, section));
        break;
    case 2:
        after = removeKey(file, section, key);
        if (after) {
            const Model now = referenceParse(*after);
            FUZZ_CHECK(others(now, section) == others(before, section));
            FUZZ_CHECK(!firstValue(*first(now, section), key));
        }
        break;
    case 3:
        after = renameKey(file, section, key, "RENAMED");
        if (after) {
            const Model now = referenceParse(*after);
            FUZZ_CHECK(others(now, section) == others(before, section));
            FUZZ_CHECK(*firstValue(*first(now, section), "RENAMED") ==
                       *firstValue(*first(before, section), key));
        }
        break;
    case 5: { // several sections at once: the same bytes as one after the other
        const QList<std::pair<QByteArray, ini::KeyValues>> sections = {
            {section, {{key, value}}}, {"NEW SECTION", {{key, value}}}, {section, {{"SECOND", value}}}};
        QByteArray oneByOne = file.toByteArray();
        for (const auto &[name, keyValues] : sections)
            oneByOne = setKeys(oneByOne, name, keyValues).value_or(oneByOne);
        FUZZ_CHECK(setSections(file, sections).value_or(file.toByteArray()) == oneByOne);
        break;
    }
    case 4:
        after = renameSection(file, section, "RENAMED SECTION");
        if (after) {
            const Model now = referenceParse(*after);
            FUZZ_CHECK(others(now, section, "RENAMED SECTION") == others(before, section, "RENAMED SECTION"));
            // Key lines move; a first section without any leaves nothing to move.
            FUZZ_CHECK(first(now, "RENAMED SECTION") || first(before, section)->keys.isEmpty());
            FUZZ_CHECK(sameName(section, "RENAMED SECTION") || !first(now, section));
        }
        break;
    }
}

// The same through the file API: a write that reports success reads back; an unchanged value
// leaves every byte of the file as it was.
void checkProfile(QByteArrayView file, const QByteArray &section, const QByteArray &key,
                  const QByteArray &value) {
    const QString path = fuzzing::scratchFolder() + QStringLiteral("/nms.ini");
    FUZZ_CHECK(replaceFileAtomically(path, file));
    const QString s = QString::fromLatin1(section);
    const QString k = QString::fromLatin1(key);
    const QString old = ReadFromINI(s, k, path, QStringLiteral("\x01"));
    (void)ElementDatabase(path).listing();
    (void)GetLongFromINI(s, k, path);
    if (old.size() < kMaxValueLength && old != QStringLiteral("\x01") && WriteToINI(s, k, old, path))
        FUZZ_CHECK(readWholeFile(path).bytes == file);
    if (WriteToINI(s, k, QString::fromLatin1(value), path)) {
        FUZZ_CHECK(ReadFromINI(s, k, path) == QString::fromLatin1(value).left(kMaxValueLength));
        FUZZ_CHECK(CheckIfIniKeyExists(s, k, path) && GetSectionKeyCount(s, path) >= 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    constexpr size_t kControl = 6;
    if (size < kControl)
        return 0;
    const QByteArrayView file(reinterpret_cast<const char *>(data), qsizetype(size - kControl));
    const uint8_t *c = data + size - kControl;

    const Model before = referenceParse(file);
    FUZZ_CHECK(scan(file) == before);

    const QByteArray section = pick(before, c[1], false);
    const QByteArray key = pick(before, c[2], true);
    // The value is a stretch of the file itself, without line breaks or NULs.
    QByteArray value = file.sliced(qMin<qsizetype>(c[3] * 7, file.size())).toByteArray().left(c[4] * 4);
    value.replace('\r', ' ').replace('\n', ' ').replace('\0', ' ');
    if (!writableName(section, false) || !writableName(key, true))
        return 0;
    checkEdit(file, before, c[0], section, key, value);
    if (c[5] & 1)
        checkProfile(file, section, key, value);
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::startQt();
    return 0;
}

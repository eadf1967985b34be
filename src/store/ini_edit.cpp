// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ini_edit.h"

#include "store/ini_text.h"

#include <QSet>

namespace ondalink::ini {

namespace {

constexpr QByteArrayView kCrLf("\r\n");

struct Range {
    qsizetype begin;
    qsizetype end;
};

// The text without the given ranges (in ascending order, not overlapping).
QByteArray without(QByteArrayView text, const QList<Range> &ranges) {
    QByteArray out;
    out.reserve(text.size());
    qsizetype pos = 0;
    for (const Range &r : ranges) {
        out.append(text.sliced(pos, r.begin - pos));
        pos = r.end;
    }
    out.append(text.sliced(pos));
    return out;
}

QByteArray spliced(QByteArrayView file, const Section &section, QByteArrayView sectionText) {
    QByteArray out;
    out.reserve(file.size() - (section.end - section.begin) + sectionText.size());
    out.append(file.first(section.begin));
    out.append(sectionText);
    out.append(file.sliced(section.end));
    return out;
}

// Edits work on a copy of one section's bytes, so that a change to a big file costs one splice.
// The copy starts with the header line, which ini::Text finds at offset 0.
Section onlySection(const Text &text) {
    return *text.sectionFrom(0);
}

QList<Range> keyLines(const Text &text, const Section &section, QByteArrayView key, qsizetype skip) {
    QList<Range> lines;
    text.forEachKeyLine(section, [&](const KeyLine &line) {
        if (equalsIgnoringAsciiCase(line.key, trimmedBlanks(key)) && skip-- <= 0)
            lines.append({line.line.begin, line.line.next});
        return true;
    });
    return lines;
}

bool setKey(QByteArray &sectionText, QByteArrayView key, QByteArrayView value) {
    const Text text(sectionText);
    const Section section = onlySection(text);
    qsizetype insertAt = section.body;
    std::optional<KeyLine> hit;
    text.forEachKeyLine(section, [&](const KeyLine &line) {
        if (equalsIgnoringAsciiCase(line.key, trimmedBlanks(key))) {
            hit = line;
            return false;
        }
        insertAt = line.line.next;
        return true;
    });
    if (hit) {
        if (hit->value == value)
            return false;
        sectionText.replace(hit->valueBegin, hit->valueEnd - hit->valueBegin, value);
        return true;
    }
    QByteArray line;
    if (insertAt > 0 && !endsWithLineBreak(QByteArrayView(sectionText).first(insertAt)))
        line.append(kCrLf);
    line.append(key).append('=').append(value).append(kCrLf);
    sectionText.insert(insertAt, line);
    return true;
}

} // namespace

std::optional<QByteArray> setKeys(QByteArrayView file, QByteArrayView section, const KeyValues &keyValues) {
    if (keyValues.isEmpty())
        return std::nullopt;
    const Text text(file);
    const auto found = text.findSection(section);
    QByteArray sectionText = found ? file.sliced(found->begin, found->end - found->begin).toByteArray()
                                   : QByteArray("[").append(section).append("]").append(kCrLf);
    bool changed = !found;
    for (const auto &[key, value] : keyValues)
        changed = setKey(sectionText, key, value) || changed;
    if (!changed)
        return std::nullopt;
    if (found)
        return spliced(file, *found, sectionText);
    QByteArray out;
    out.reserve(file.size() + sectionText.size() + 2);
    out.append(file);
    if (!file.isEmpty() && !endsWithLineBreak(file))
        out.append(kCrLf);
    out.append(sectionText);
    return out;
}

std::optional<QByteArray> setSections(QByteArrayView file,
                                      const QList<std::pair<QByteArray, KeyValues>> &sections) {
    QSet<QByteArray> inFile;
    Text(file).forEachSection([&](const Section &s) {
        inFile.insert(asciiLower(s.name));
        return true;
    });
    QByteArray edited = file.toByteArray();
    QByteArray appended; // the new sections, edited on their own while they are small
    QSet<QByteArray> inAppended;
    bool changed = false;
    for (const auto &[name, keyValues] : sections) {
        const QByteArray folded = asciiLower(trimmedBlanks(name));
        if (!inFile.contains(folded) && !inAppended.contains(folded)) {
            // A section of its own: nothing to look up.
            if (const auto text = setKeys({}, name, keyValues)) {
                appended.append(*text);
                inAppended.insert(folded);
                changed = true;
            }
            continue;
        }
        QByteArray &text = inFile.contains(folded) ? edited : appended;
        if (auto next = setKeys(text, name, keyValues)) {
            text = std::move(*next);
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    if (!appended.isEmpty() && !edited.isEmpty() && !endsWithLineBreak(edited))
        edited.append(kCrLf);
    return edited.append(appended);
}

std::optional<QByteArray> replaceSections(QByteArrayView file,
                                          const QList<std::pair<QByteArray, KeyValues>> &sections) {
    QByteArray edited = file.toByteArray();
    for (const auto &[name, keyValues] : sections) {
        QByteArray sectionText = QByteArray("[").append(trimmedBlanks(name)).append("]").append(kCrLf);
        for (const auto &[key, value] : keyValues)
            sectionText.append(key).append('=').append(value).append(kCrLf);
        const Text text(edited);
        const auto first = text.findSection(name);
        if (!first) {
            if (!edited.isEmpty() && !endsWithLineBreak(edited))
                edited.append(kCrLf);
            edited.append(sectionText);
            continue;
        }
        QList<Range> later;
        for (auto s = text.sectionFrom(first->end); s; s = text.sectionFrom(s->end)) {
            if (equalsIgnoringAsciiCase(s->name, trimmedBlanks(name)))
                later.append({s->begin, s->end});
        }
        const QByteArray tail = edited.sliced(first->end);
        edited = edited.first(first->begin).append(sectionText).append(tail);
        if (!later.isEmpty()) {
            const qsizetype shift = sectionText.size() - (first->end - first->begin);
            for (Range &r : later)
                r = {r.begin + shift, r.end + shift};
            edited = without(edited, later);
        }
    }
    if (edited == file)
        return std::nullopt;
    return edited;
}

std::optional<QByteArray> removeSection(QByteArrayView file, QByteArrayView section) {
    const Text text(file);
    QList<Range> sections;
    text.forEachSection([&](const Section &s) {
        if (equalsIgnoringAsciiCase(s.name, trimmedBlanks(section)))
            sections.append({s.begin, s.end});
        return true;
    });
    if (sections.isEmpty())
        return std::nullopt;
    return without(file, sections);
}

std::optional<QByteArray> removeKey(QByteArrayView file, QByteArrayView section, QByteArrayView key) {
    const Text text(file);
    const auto found = text.findSection(section);
    if (!found)
        return std::nullopt;
    const QList<Range> lines = keyLines(text, *found, key, 0);
    if (lines.isEmpty())
        return std::nullopt;
    return without(file, lines);
}

std::optional<QByteArray> renameKey(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                                    QByteArrayView newKey) {
    const Text text(file);
    const auto found = text.findSection(section);
    if (!found)
        return std::nullopt;
    const auto old = text.findKey(*found, key);
    if (!old)
        return std::nullopt;
    const QByteArray value = old->value.toByteArray();
    const qsizetype base = found->begin;

    // First drop the old key's later duplicates, then either hand the value to an existing key of the
    // new name or rename the old line where it stands.
    QByteArray sectionText = without(file.sliced(base, found->end - base), [&] {
        QList<Range> lines = keyLines(text, *found, key, 1);
        for (Range &r : lines)
            r = {r.begin - base, r.end - base};
        return lines;
    }());
    const Text local(sectionText);
    const Section s = onlySection(local);
    const auto first = local.findKey(s, key);
    const auto other = equalsIgnoringAsciiCase(trimmedBlanks(key), trimmedBlanks(newKey))
                           ? std::nullopt
                           : local.findKey(s, newKey);
    if (other) {
        sectionText = without(sectionText, {{first->line.begin, first->line.next}});
        setKey(sectionText, newKey, value);
    } else {
        const qsizetype keyBegin = first->key.data() - sectionText.constData();
        sectionText.replace(keyBegin, first->key.size(), newKey);
    }
    return spliced(file, *found, sectionText);
}

std::optional<QByteArray> renameSection(QByteArrayView file, QByteArrayView section,
                                        QByteArrayView newSection) {
    const Text text(file);
    const auto found = text.findSection(section);
    if (!found)
        return std::nullopt;
    if (equalsIgnoringAsciiCase(trimmedBlanks(section), trimmedBlanks(newSection))) {
        const QByteArrayView wanted = trimmedBlanks(newSection);
        if (found->name == wanted)
            return std::nullopt;
        const qsizetype nameBegin = found->name.data() - file.data();
        QByteArray out = file.toByteArray();
        out.replace(nameBegin, found->name.size(), wanted);
        return out;
    }
    KeyValues keyValues;
    QSet<QByteArray> seen;
    text.forEachKeyLine(*found, [&](const KeyLine &line) {
        const QByteArray upper = asciiUpper(line.key);
        if (!seen.contains(upper)) {
            seen.insert(upper);
            keyValues.append({upper, line.value.toByteArray()});
        }
        return true;
    });
    const QByteArray rest = *removeSection(file, section);
    return setKeys(rest, newSection, keyValues).value_or(rest);
}

} // namespace ondalink::ini

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace ondalink::ini {

// Offsets into one snapshot of a profile file. A line ends at LF, CRLF or a lone CR.
struct Line {
    qsizetype begin = 0; // first byte of the line
    qsizetype end = 0;   // one past the last byte before the line break
    qsizetype next = 0;  // first byte of the following line (or the size of the text)
};

// A section runs from its header line up to the next header line or the end of the text.
struct Section {
    QByteArrayView name; // between "[" and the first "]", blanks trimmed
    qsizetype begin = 0; // start of the header line
    qsizetype body = 0;  // start of the line after the header
    qsizetype end = 0;
};

struct KeyLine {
    Line line;
    QByteArrayView key;       // before the first "=", blanks trimmed
    qsizetype valueBegin = 0; // the value is every byte after the "=" up to the line break
    qsizetype valueEnd = 0;
    QByteArrayView value;
};

bool isBlank(char c);
QByteArrayView trimmedBlanks(QByteArrayView text);
bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b);
bool endsWithLineBreak(QByteArrayView text);
QByteArray asciiUpper(QByteArrayView text);
QByteArray asciiLower(QByteArrayView text);

// Read-only view of a profile file's bytes. Scanning jumps from "[" to "[" with memchr, so a lookup
// touches the lines of one section only. Cheap to build: nothing is parsed up front.
class Text {
public:
    explicit Text(QByteArrayView bytes);

    QByteArrayView bytes() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }

    Line lineAt(qsizetype pos) const;
    // The first section whose header line starts at or after pos.
    std::optional<Section> sectionFrom(qsizetype pos) const;
    // The first section of that name, matched without ASCII case and blanks around it.
    std::optional<Section> findSection(QByteArrayView name) const;
    // A key line of the section: not a comment, has a non-empty key before its first "=".
    std::optional<KeyLine> keyLine(const Line &line) const;
    std::optional<KeyLine> findKey(const Section &section, QByteArrayView key) const;

    // f(const Section &) -> bool (false stops).
    template <typename F> void forEachSection(F f) const {
        for (auto s = sectionFrom(m_start); s; s = sectionFrom(s->end)) {
            if (!f(*s))
                return;
        }
    }
    // f(const KeyLine &) -> bool (false stops).
    template <typename F> void forEachKeyLine(const Section &section, F f) const {
        for (qsizetype pos = section.body; pos < section.end;) {
            const Line line = lineAt(pos);
            pos = line.next;
            if (const auto key = keyLine(line); key && !f(*key))
                return;
        }
    }

private:
    struct Header {
        Line line;
        QByteArrayView name;
    };
    std::optional<Header> headerFrom(qsizetype pos) const;
    Section sectionOf(const Header &header) const;
    bool isHeaderAt(qsizetype bracket, qsizetype *lineBegin) const;
    qsizetype nextNewline(qsizetype pos) const;

    QByteArrayView m_bytes;
    qsizetype m_start = 0; // past a UTF-8 byte order mark
    // The first LF at or after m_lfFrom (or the size); keeps files with lone-CR line ends linear to scan.
    mutable qsizetype m_lfFrom = -1;
    mutable qsizetype m_lf = -1;
};

} // namespace ondalink::ini

// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ini_text.h"

#include <cstring>

namespace ondalink::ini {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

char lowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

qsizetype find(QByteArrayView text, char c, qsizetype from, qsizetype to) {
    if (from >= to)
        return -1;
    const void *hit = std::memchr(text.data() + from, c, static_cast<size_t>(to - from));
    return hit ? static_cast<const char *>(hit) - text.data() : -1;
}

} // namespace

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBlanks(QByteArrayView text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.sliced(b, e - b);
}

bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    }
    return true;
}

bool endsWithLineBreak(QByteArrayView text) {
    return !text.isEmpty() && (text.back() == '\n' || text.back() == '\r');
}

QByteArray asciiUpper(QByteArrayView text) {
    QByteArray out = text.toByteArray();
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

QByteArray asciiLower(QByteArrayView text) {
    QByteArray out = text.toByteArray();
    for (char &c : out)
        c = lowerChar(c);
    return out;
}

Text::Text(QByteArrayView bytes) : m_bytes(bytes) {
    if (m_bytes.startsWith(QByteArrayView(kBom, 3)))
        m_start = 3;
}

qsizetype Text::nextNewline(qsizetype pos) const {
    if (m_lfFrom >= 0 && pos <= m_lf) {
        // Only the stretch before the cached range needs a look; scans stay linear even without LFs.
        if (pos < m_lfFrom) {
            const qsizetype lf = find(m_bytes, '\n', pos, m_lfFrom);
            if (lf >= 0)
                m_lf = lf;
            m_lfFrom = pos;
        }
        return m_lf;
    }
    const qsizetype lf = find(m_bytes, '\n', pos, size());
    m_lfFrom = pos;
    m_lf = lf < 0 ? size() : lf;
    return m_lf;
}

Line Text::lineAt(qsizetype pos) const {
    const qsizetype lf = nextNewline(pos);
    const qsizetype cr = find(m_bytes, '\r', pos, lf);
    if (cr >= 0) {
        const bool crlf = cr + 1 < size() && m_bytes[cr + 1] == '\n';
        return {pos, cr, cr + (crlf ? 2 : 1)};
    }
    return {pos, lf, lf < size() ? lf + 1 : lf};
}

bool Text::isHeaderAt(qsizetype bracket, qsizetype *lineBegin) const {
    qsizetype b = bracket;
    while (b > m_start && isBlank(m_bytes[b - 1]))
        --b;
    if (b != m_start && m_bytes[b - 1] != '\n' && m_bytes[b - 1] != '\r')
        return false;
    *lineBegin = b;
    return true;
}

auto Text::headerFrom(qsizetype pos) const -> std::optional<Header> {
    qsizetype begin = 0;
    qsizetype bracket = find(m_bytes, '[', qMax(pos, m_start), size());
    while (bracket >= 0 && !isHeaderAt(bracket, &begin))
        bracket = find(m_bytes, '[', bracket + 1, size());
    if (bracket < 0)
        return std::nullopt;
    Header header{lineAt(begin), {}};
    const qsizetype close = find(m_bytes, ']', bracket + 1, header.line.end);
    const qsizetype nameEnd = close >= 0 ? close : header.line.end;
    header.name = trimmedBlanks(m_bytes.sliced(bracket + 1, nameEnd - bracket - 1));
    return header;
}

Section Text::sectionOf(const Header &header) const {
    const auto next = headerFrom(header.line.next);
    return {header.name, header.line.begin, header.line.next, next ? next->line.begin : size()};
}

std::optional<Section> Text::sectionFrom(qsizetype pos) const {
    const auto header = headerFrom(pos);
    return header ? std::optional(sectionOf(*header)) : std::nullopt;
}

std::optional<Section> Text::findSection(QByteArrayView name) const {
    const QByteArrayView wanted = trimmedBlanks(name);
    for (auto header = headerFrom(m_start); header; header = headerFrom(header->line.next)) {
        if (equalsIgnoringAsciiCase(header->name, wanted))
            return sectionOf(*header);
    }
    return std::nullopt;
}

std::optional<KeyLine> Text::keyLine(const Line &line) const {
    qsizetype b = line.begin;
    while (b < line.end && isBlank(m_bytes[b]))
        ++b;
    if (b == line.end || m_bytes[b] == ';' || m_bytes[b] == '#')
        return std::nullopt;
    const qsizetype eq = find(m_bytes, '=', b, line.end);
    if (eq < 0)
        return std::nullopt;
    KeyLine key;
    key.key = trimmedBlanks(m_bytes.sliced(b, eq - b));
    if (key.key.isEmpty())
        return std::nullopt;
    key.line = line;
    key.valueBegin = eq + 1;
    key.valueEnd = line.end;
    key.value = m_bytes.sliced(key.valueBegin, key.valueEnd - key.valueBegin);
    return key;
}

std::optional<KeyLine> Text::findKey(const Section &section, QByteArrayView key) const {
    const QByteArrayView wanted = trimmedBlanks(key);
    std::optional<KeyLine> hit;
    forEachKeyLine(section, [&](const KeyLine &line) {
        if (!equalsIgnoringAsciiCase(line.key, wanted))
            return true;
        hit = line;
        return false;
    });
    return hit;
}

} // namespace ondalink::ini

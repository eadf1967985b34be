// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/element_exchange.h"

#include "model/encodings.h"
#include "model/ipv4.h"
#include "model/mac_text.h"
#include "store/atomic_file.h"
#include "store/element_database.h"
#include "store/ini_text.h"
#include "store/profile_file.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kMacColumn = u"mac"_s;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QLatin1StringView kJsonFormat("ondalink-nms elements");
// Past this many the file is not an element list; checking it all would only take time.
constexpr int kMaxRows = 100000;
constexpr double kMaxVersion = 3276.7;

// What an import says of a wrong file, in the context "ElementExchange".
class ExchangeTexts {
    Q_DECLARE_TR_FUNCTIONS(ElementExchange)
};

// A column: an ElementKey's value, or the MAC.
constexpr int kMacColumnId = -1;

struct Cell {
    int column = kMacColumnId;
    QString value;
};

struct Row {
    int line = 0;
    QList<Cell> cells;
};

bool isRequired(ElementKey key) {
    return key == ElementKey::Name || key == ElementKey::Ip || key == ElementKey::Role;
}

bool isAddress(ElementKey key) {
    return key == ElementKey::Ip || key == ElementKey::Mask || key == ElementKey::Gw ||
           key == ElementKey::Remote;
}

// One byte per character, and nothing that would end the key's line in nms.ini.
bool storable(QStringView value) {
    return std::none_of(value.begin(), value.end(),
                        [](QChar c) { return c.unicode() > 0xFF || c == u'\r' || c == u'\n' || c == u'\0'; });
}

// What a stored section holds for the value, or the reason it cannot.
std::optional<QString> storedValue(ElementKey key, const QString &value, QString *why) {
    const QString name = keyName(key);
    if (key == ElementKey::Name) {
        if (value.size() > kNameLength) {
            *why = ExchangeTexts::tr("the name \"%1\" is longer than 16 characters").arg(value);
            return std::nullopt;
        }
        QString padded = padName(value);
        if (!storable(padded)) {
            *why = ExchangeTexts::tr("the name \"%1\" holds a character that cannot be stored").arg(value);
            return std::nullopt;
        }
        return padded;
    }
    // A line break would end the key's line in nms.ini: refused, whatever the key's grammar allows.
    if (!storable(value)) {
        *why = ExchangeTexts::tr("%1 \"%2\" holds a character that cannot be stored").arg(name, value);
        return std::nullopt;
    }
    if (isAddress(key)) {
        if (!parseDottedAddress(value)) {
            *why = ExchangeTexts::tr("%1 \"%2\" is not a valid IPv4 address").arg(name, value);
            return std::nullopt;
        }
        return value.trimmed();
    }
    if (key == ElementKey::Ver) {
        const auto version = parseVersion(value);
        if (!version || *version < 0 || *version > kMaxVersion) {
            *why = ExchangeTexts::tr("ver \"%1\" is not a version number").arg(value);
            return std::nullopt;
        }
        return value.trimmed();
    }
    const auto range = schemaOf(key).stored;
    if (!range)
        return value;
    const QByteArray latin1 = value.toLatin1();
    const auto number = QString::fromLatin1(latin1) == value ? wholeNumber(latin1) : std::nullopt;
    if (!number || *number < range->min || *number > range->max) {
        *why = ExchangeTexts::tr("%1 \"%2\" is not a whole number from %3 to %4")
                   .arg(name, value)
                   .arg(range->min)
                   .arg(range->max);
        return std::nullopt;
    }
    return QString::number(*number);
}

// Checks one row and turns it into an element; problems go to the list.
std::optional<ExchangedElement> checkedElement(const Row &row, QHash<QString, int> &macLines,
                                               QList<ImportProblem> &problems) {
    const qsizetype before = problems.size();
    const auto problem = [&](const QString &why) { problems.append({row.line, why}); };
    std::array<std::optional<QString>, kElementKeyCount> values;
    QString key;
    bool macSeen = false;
    for (const Cell &cell : row.cells) {
        if (cell.column == kMacColumnId) {
            macSeen = true;
            key = macToElementKey(cell.value.trimmed());
            if (key.isEmpty())
                key = cell.value.trimmed();
            if (!isElementKey(key)) {
                problem(ExchangeTexts::tr("the MAC \"%1\" is not 12 hexadecimal digits").arg(cell.value));
                key.clear();
            } else {
                key = key.toUpper();
            }
            continue;
        }
        if (cell.value.isEmpty())
            continue; // the section lacks the key
        QString why;
        const auto column = static_cast<ElementKey>(cell.column);
        if (const auto stored = storedValue(column, cell.value, &why))
            values[static_cast<std::size_t>(cell.column)] = *stored;
        else
            problem(why);
    }
    if (!macSeen)
        problem(ExchangeTexts::tr("the MAC is missing"));
    for (const ElementKeySchema &k : elementKeySchema()) {
        // A bad value has been named already; only an empty cell is missing.
        if (isRequired(k.key) && !values[static_cast<std::size_t>(k.key)]) {
            const bool given = std::any_of(row.cells.cbegin(), row.cells.cend(), [&](const Cell &c) {
                return c.column == int(k.key) && !c.value.isEmpty();
            });
            if (!given)
                problem(ExchangeTexts::tr("%1 is missing").arg(keyName(k.key)));
        }
    }
    if (!key.isEmpty()) {
        if (const auto first = macLines.constFind(key); first != macLines.cend())
            problem(ExchangeTexts::tr("the MAC %1 is listed on line %2 already")
                        .arg(elementKeyToMac(key))
                        .arg(*first));
        else
            macLines.insert(key, row.line);
    }
    if (problems.size() != before)
        return std::nullopt;
    ExchangedElement element;
    element.key = key;
    element.line = row.line;
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (const auto &value = values[static_cast<std::size_t>(k.key)])
            element.keys.append({keyName(k.key), *value});
    }
    return element;
}

ImportResult checkedRows(const QList<Row> &rows, QList<ImportProblem> problems) {
    ImportResult result;
    result.problems = std::move(problems);
    QHash<QString, int> macLines;
    for (const Row &row : rows) {
        if (auto element = checkedElement(row, macLines, result.problems))
            result.elements.append(std::move(*element));
    }
    if (!result.ok())
        result.elements.clear();
    // In the file's order, whichever check found them; problems of the whole file first.
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const ImportProblem &a, const ImportProblem &b) { return a.line < b.line; });
    return result;
}

// The column a header cell names; nullopt when it names nothing of ours.
std::optional<int> columnNamed(const QString &name) {
    const QString trimmed = name.trimmed();
    if (trimmed.compare(kMacColumn, Qt::CaseInsensitive) == 0)
        return kMacColumnId;
    const QByteArray latin1 = trimmed.toLatin1();
    if (QString::fromLatin1(latin1) != trimmed)
        return std::nullopt;
    if (const auto key = elementKeyNamed(latin1))
        return int(*key);
    return std::nullopt;
}

QByteArrayView withoutBom(QByteArrayView bytes) {
    return bytes.startsWith(kUtf8Bom) ? bytes.sliced(kUtf8Bom.size()) : bytes;
}

std::optional<QString> decodedUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// CSV records: cells as bytes, with the line each record starts on. Quotes may hold separators and line
// breaks; "" in quotes is one quote. A line break is CRLF, LF or a lone CR.
struct CsvRecord {
    int line = 0;
    QList<QByteArray> cells;
};

QList<CsvRecord> csvRecords(QByteArrayView text, QList<ImportProblem> &problems) {
    QList<CsvRecord> records;
    CsvRecord record;
    QByteArray cell;
    int line = 1;
    record.line = 1;
    bool quoted = false;
    bool wasQuoted = false;
    const auto endRecord = [&] {
        record.cells.append(std::exchange(cell, {}));
        // A line with nothing on it is no record.
        if (record.cells.size() != 1 || !record.cells.front().isEmpty() || wasQuoted)
            records.append(std::move(record));
        record = {};
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    cell.append('"');
                    ++i;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == '\n' || (c == '\r' && !crlf))
                ++line;
            cell.append(c);
            continue;
        }
        if (c == '"' && cell.isEmpty()) {
            quoted = true;
            wasQuoted = true;
        } else if (c == ',') {
            record.cells.append(std::exchange(cell, {}));
        } else if (c == '\r' || c == '\n') {
            if (crlf)
                ++i;
            endRecord();
            if (records.size() > kMaxRows)
                break;
            record.line = ++line;
        } else {
            cell.append(c);
        }
    }
    if (quoted)
        problems.append({record.line, ExchangeTexts::tr("a quoted cell is not closed")});
    else if (!cell.isEmpty() || !record.cells.isEmpty() || wasQuoted)
        endRecord();
    return records;
}

QByteArray jsonString(const QString &value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.sliced(1, array.size() - 2);
}

// The line each element starts on: the values directly inside the outermost array, or inside the array
// one level down (the "elements" member).
QList<int> jsonElementLines(QByteArrayView text) {
    QList<int> lines;
    QList<char> open;
    int line = 1;
    bool inString = false;
    bool expectingElement = false;
    const auto inElementList = [&] {
        return !open.isEmpty() && open.back() == '[' &&
               (open.size() == 1 || (open.size() == 2 && open.front() == '{'));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (expectingElement && !ini::isBlank(c) && c != '\n' && c != '\r' && c != ']') {
            lines.append(line);
            expectingElement = false;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '{':
        case '[':
            open.append(c);
            expectingElement = inElementList();
            break;
        case '}':
        case ']':
            if (!open.isEmpty())
                open.removeLast();
            break;
        case ',':
            expectingElement = inElementList();
            break;
        default:
            break;
        }
    }
    return lines;
}

int lineAtOffset(QByteArrayView text, qsizetype offset) {
    return int(text.first(std::clamp<qsizetype>(offset, 0, text.size())).count('\n')) + 1;
}

} // namespace

QByteArray csvCell(const QString &value) {
    QByteArray bytes = value.toUtf8();
    const bool quote = bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
                       bytes.contains('\n') || bytes.startsWith(' ') || bytes.endsWith(' ');
    if (!quote)
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QList<ExchangedElement> exportableElements(const ElementDatabase &database) {
    const FileContents contents = readWholeFile(database.path());
    const ini::Text text(contents.bytes);
    QList<ExchangedElement> elements;
    for (const ElementListing &listed : database.listing()) {
        const auto section = text.findSection(listed.key.toLatin1());
        if (!section)
            continue;
        StoredElement stored(listed.key);
        text.forEachKeyLine(*section, [&](const ini::KeyLine &line) {
            stored.addKeyLine(line.key, line.value);
            return true;
        });
        ExchangedElement element;
        element.key = listed.key;
        for (const ElementKeySchema &k : elementKeySchema()) {
            if (stored.has(k.key))
                element.keys.append({keyName(k.key), stored.text(k.key)});
        }
        elements.append(std::move(element));
    }
    return elements;
}

QByteArray toCsv(const QList<ExchangedElement> &elements) {
    QByteArray out = kMacColumn.toUtf8();
    for (const ElementKeySchema &k : elementKeySchema())
        out.append(',').append(keyName(k.key).toUtf8());
    out.append("\r\n");
    for (const ExchangedElement &element : elements) {
        out.append(element.key.toUtf8());
        for (const ElementKeySchema &k : elementKeySchema()) {
            out.append(',');
            const QString name = keyName(k.key);
            for (const auto &[key, value] : element.keys) {
                if (key == name) {
                    out.append(csvCell(value));
                    break;
                }
            }
        }
        out.append("\r\n");
    }
    return out;
}

QByteArray toJson(const QList<ExchangedElement> &elements) {
    QByteArray out = R"({"format": )" + jsonString(kJsonFormat) + R"(, "version": 1, "elements": [)";
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const ExchangedElement &element = elements[i];
        out.append(i == 0 ? "\n  {" : ",\n  {");
        out.append("\"mac\": ").append(jsonString(element.key));
        for (const auto &[key, value] : element.keys)
            out.append(", ").append(jsonString(key)).append(": ").append(jsonString(value));
        out.append('}');
    }
    out.append(elements.isEmpty() ? "]}\n" : "\n]}\n");
    return out;
}

QByteArray exportElements(const QList<ExchangedElement> &elements, ExchangeFormat format) {
    return format == ExchangeFormat::Csv ? toCsv(elements) : toJson(elements);
}

ImportResult fromCsv(QByteArrayView bytes) {
    QList<ImportProblem> problems;
    const QList<CsvRecord> records = csvRecords(withoutBom(bytes), problems);
    if (records.isEmpty()) {
        if (problems.isEmpty())
            problems.append({1, ExchangeTexts::tr("there is no header row")});
        return checkedRows({}, problems);
    }
    if (records.size() > kMaxRows + 1)
        return checkedRows({}, {{0, ExchangeTexts::tr("the file holds more than %1 rows").arg(kMaxRows)}});

    const CsvRecord &header = records.front();
    QList<int> columns;
    QSet<int> seen;
    bool macColumn = false;
    for (const QByteArray &cell : header.cells) {
        const auto name = decodedUtf8(cell).value_or(QString());
        const auto column = columnNamed(name);
        if (!column) {
            problems.append(
                {header.line, ExchangeTexts::tr("the column \"%1\" is not a key of an element").arg(name)});
            continue;
        }
        if (seen.contains(*column))
            problems.append({header.line, ExchangeTexts::tr("the column \"%1\" is there twice").arg(name)});
        seen.insert(*column);
        macColumn = macColumn || *column == kMacColumnId;
        columns.append(*column);
    }
    if (!macColumn)
        problems.append({header.line, ExchangeTexts::tr("there is no mac column")});
    if (!problems.isEmpty())
        return checkedRows({}, problems);

    QList<Row> rows;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &record = records[r];
        if (record.cells.size() != columns.size()) {
            problems.append({record.line, ExchangeTexts::tr("%1 cells where the header has %2")
                                              .arg(record.cells.size())
                                              .arg(columns.size())});
            continue;
        }
        Row row;
        row.line = record.line;
        bool decoded = true;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const auto value = decodedUtf8(record.cells[c]);
            if (!value) {
                decoded = false;
                break;
            }
            row.cells.append({columns[c], *value});
        }
        if (!decoded) {
            problems.append({record.line, ExchangeTexts::tr("the row is not UTF-8 text")});
            continue;
        }
        rows.append(std::move(row));
    }
    return checkedRows(rows, problems);
}

ImportResult fromJson(QByteArrayView bytes) {
    const QByteArrayView text = withoutBom(bytes);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError)
        return checkedRows({}, {{lineAtOffset(text, error.offset), error.errorString()}});
    QJsonArray array;
    if (document.isArray()) {
        array = document.array();
    } else {
        const QJsonObject top = document.object();
        for (auto it = top.begin(); it != top.end(); ++it) {
            if (it.key() != u"format"_s && it.key() != u"version"_s && it.key() != u"elements"_s)
                return checkedRows(
                    {},
                    {{1,
                      ExchangeTexts::tr("the member \"%1\" is not part of an element list").arg(it.key())}});
        }
        if (!top.value(u"elements"_s).isArray())
            return checkedRows({}, {{1, ExchangeTexts::tr("there is no \"elements\" list")}});
        array = top.value(u"elements"_s).toArray();
    }
    if (array.size() > kMaxRows)
        return checkedRows({},
                           {{0, ExchangeTexts::tr("the file holds more than %1 elements").arg(kMaxRows)}});

    const QList<int> lines = jsonElementLines(text);
    QList<ImportProblem> problems;
    QList<Row> rows;
    for (qsizetype i = 0; i < array.size(); ++i) {
        Row row;
        row.line = i < lines.size() ? lines[i] : 0;
        if (!array[i].isObject()) {
            problems.append({row.line, ExchangeTexts::tr("element %1 is not an object").arg(i + 1)});
            continue;
        }
        const QJsonObject object = array[i].toObject();
        bool good = true;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const auto column = columnNamed(it.key());
            if (!column) {
                problems.append(
                    {row.line, ExchangeTexts::tr("\"%1\" is not a key of an element").arg(it.key())});
                good = false;
                continue;
            }
            QString value;
            if (it->isString()) {
                value = it->toString();
            } else if (it->isDouble() && *column != kMacColumnId &&
                       it->toDouble() == double(it->toInteger())) {
                value = QString::number(it->toInteger());
            } else {
                problems.append(
                    {row.line, ExchangeTexts::tr("the value of \"%1\" is not a text").arg(it.key())});
                good = false;
                continue;
            }
            row.cells.append({*column, value});
        }
        if (good)
            rows.append(std::move(row));
    }
    return checkedRows(rows, problems);
}

ImportResult importElements(QByteArrayView bytes, ExchangeFormat format) {
    return format == ExchangeFormat::Csv ? fromCsv(bytes) : fromJson(bytes);
}

QString problemList(const QList<ImportProblem> &problems, int maxLines) {
    QStringList lines;
    for (const ImportProblem &problem : problems) {
        if (lines.size() == maxLines) {
            lines.append(ExchangeTexts::tr("... and %1 more.").arg(problems.size() - maxLines));
            break;
        }
        lines.append(problem.line > 0 ? ExchangeTexts::tr("Line %1: %2").arg(problem.line).arg(problem.reason)
                                      : problem.reason);
    }
    return lines.join(u'\n');
}

} // namespace ondalink

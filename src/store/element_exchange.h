// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace ondalink {

class ElementDatabase;

// One element as a file of another program sees it: its Element key and the keys its section holds,
// in the schema's order, each value as nms.ini holds it.
struct ExchangedElement {
    QString key;    // 12 upper-case hexadecimal digits
    KeyValues keys; // names as keyName() gives them
    int line = 0;   // where the element starts in an imported file (from 1)

    friend bool operator==(const ExchangedElement &, const ExchangedElement &) = default;
};

struct ImportProblem {
    int line = 0; // 0 when the problem is the file as a whole
    QString reason;
};

// An import checked whole: either elements and no problems, or every problem found.
struct ImportResult {
    QList<ExchangedElement> elements;
    QList<ImportProblem> problems;
    bool ok() const { return problems.isEmpty(); }
};

enum class ExchangeFormat { Csv, Json };

// Every element of the database (sections named by an Element key, in file order), from one reading of
// the file. Keys the schema does not know are left out.
QList<ExchangedElement> exportableElements(const ElementDatabase &database);

// One CSV cell in UTF-8: quoted (a quote doubled) when it holds a separator, a quote, a line break or
// blanks at either end, which a spreadsheet would otherwise trim.
QByteArray csvCell(const QString &value);

// CSV: UTF-8, CRLF, a header row of the key names with mac first, one row per element; an empty cell is
// a key the section lacks.
QByteArray toCsv(const QList<ExchangedElement> &elements);
// JSON: {"format": ..., "version": 1, "elements": [{"mac": ..., "name": ..., ...}, ...]}, one element
// per line, values as texts, absent keys left out.
QByteArray toJson(const QList<ExchangedElement> &elements);
QByteArray exportElements(const QList<ExchangedElement> &elements, ExchangeFormat format);

// Reads and checks a whole file. A UTF-8 byte order mark, CRLF or LF line ends are accepted. Every row
// is checked (MAC, the coded fields in the ranges a stored section may hold, addresses, names of at
// most 16 Latin-1 characters, duplicate MACs, the number of cells); values come back as they are
// stored: names padded and upper-cased, numbers in plain decimal.
ImportResult fromCsv(QByteArrayView bytes);
ImportResult fromJson(QByteArrayView bytes);
ImportResult importElements(QByteArrayView bytes, ExchangeFormat format);

// The problems as lines for the operator ("Line 3: ..."), at most maxLines of them and a last line
// saying how many more there are.
QString problemList(const QList<ImportProblem> &problems, int maxLines = 20);

} // namespace ondalink

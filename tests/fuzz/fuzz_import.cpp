// SPDX-License-Identifier: GPL-3.0-or-later
// The element import parsers on any bytes: a file is either refused with its problems or gives
// elements that can be stored as they are, and exporting those elements and importing them again gives
// them back unchanged. Input: one byte choosing CSV (even) or JSON (odd), then the file.
#include "fuzz_support.h"
#include "model/mac_text.h"
#include "store/element_exchange.h"

#include <QSet>

using namespace ondalink;

namespace {

bool storable(const QString &value) {
    for (const QChar c : value) {
        if (c.unicode() > 0xFF || c == u'\r' || c == u'\n')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const ExchangeFormat format = data[0] % 2 == 0 ? ExchangeFormat::Csv : ExchangeFormat::Json;
    const QByteArrayView file(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const ImportResult result = importElements(file, format);
    const int lines = int(file.count('\n') + file.count('\r')) + 1;
    FUZZ_CHECK(result.ok() || result.elements.isEmpty());
    for (const ImportProblem &problem : result.problems)
        FUZZ_CHECK(problem.line >= 0 && problem.line <= lines && !problem.reason.isEmpty());
    if (!result.ok())
        return 0;

    QSet<QString> keys;
    for (const ExchangedElement &element : result.elements) {
        FUZZ_CHECK(isElementKey(element.key) && element.key == element.key.toUpper());
        FUZZ_CHECK(!keys.contains(element.key));
        keys.insert(element.key);
        for (const auto &[key, value] : element.keys)
            FUZZ_CHECK(storable(value));
    }
    for (const ExchangeFormat again : {ExchangeFormat::Csv, ExchangeFormat::Json}) {
        ImportResult back = importElements(exportElements(result.elements, again), again);
        FUZZ_CHECK(back.ok());
        FUZZ_CHECK(back.elements.size() == result.elements.size());
        for (qsizetype i = 0; i < back.elements.size(); ++i) {
            FUZZ_CHECK(back.elements[i].key == result.elements[i].key);
            FUZZ_CHECK(back.elements[i].keys == result.elements[i].keys);
        }
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/mac_text.h"

#include <algorithm>

namespace ondalink {

QString macToElementKey(const QString &colonForm) {
    if (colonForm.size() != 17)
        return {};
    QString key = colonForm;
    key.remove(QChar(u':'));
    return key.toUpper();
}

QString elementKeyToMac(const QString &key) {
    if (key.size() != 12)
        return {};
    QString colon;
    colon.reserve(18);
    for (int i = 0; i < 12; i += 2)
        colon += key.mid(i, 2).toUpper() + QChar(u':');
    return colon.left(17);
}

bool isElementKey(const QString &text) {
    if (text.size() != 12)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

} // namespace ondalink

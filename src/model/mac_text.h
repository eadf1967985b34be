// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// Colon form (17 characters) to Element key (12 upper-case hex digits); any other length gives "".
QString macToElementKey(const QString &colonForm);
// Element key (12 characters) to colon form; any other length gives "".
QString elementKeyToMac(const QString &key);
// True when the text is 12 hexadecimal digits.
bool isElementKey(const QString &text);

} // namespace ondalink

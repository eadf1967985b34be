// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/datagrams.h"

#include <QByteArray>

namespace ondalink::testing {

// A level reply: 480 groups of three bytes, each the same, and one group written over.
inline QByteArray levelReply(const char *group, int index = 0, const char *other = nullptr) {
    QByteArray data = QByteArray::fromHex(group).repeated(kLevelSampleCount);
    return other ? data.replace(index * 3, 3, QByteArray::fromHex(other)) : data;
}

} // namespace ondalink::testing

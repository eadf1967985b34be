// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/image_list.h"

#include <array>

using namespace Qt::StringLiterals;

namespace ondalink {

QString ImageList1Path(int index) {
    static const std::array<QString, 7> files = {
        u"discover"_s,     u"refresh"_s, u"save"_s,    u"monitor_start"_s,
        u"monitor_stop"_s, u"encoder"_s, u"decoder"_s,
    };
    if (index < 1 || index > static_cast<int>(files.size()))
        return {};
    return u":/icons/"_s + files[static_cast<size_t>(index - 1)] + u".svg"_s;
}

QIcon ImageList1(int index) {
    const QString path = ImageList1Path(index);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

} // namespace ondalink

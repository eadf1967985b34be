// SPDX-License-Identifier: GPL-3.0-or-later
// One logging category per layer. Quiet by default (warnings only); QT_LOGGING_RULES turns on more,
// e.g. "ondalink.*=true" or "ondalink.link.debug=true".
#pragma once

#include <QLoggingCategory>

namespace ondalink {

Q_DECLARE_LOGGING_CATEGORY(lcModel)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcDiag)
Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcConsole)
Q_DECLARE_LOGGING_CATEGORY(lcStatus)

} // namespace ondalink

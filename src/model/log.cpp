// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/log.h"

namespace ondalink {

Q_LOGGING_CATEGORY(lcModel, "ondalink.model", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "ondalink.store", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDiag, "ondalink.diag", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLink, "ondalink.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcConsole, "ondalink.console", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStatus, "ondalink.status", QtWarningMsg)

} // namespace ondalink

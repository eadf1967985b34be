// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/messages.h"

namespace ondalink {

// Every message box of the program goes through here; the app shows QMessageBox, tests record.
// show() may run a nested event loop: callers re-check the state they rely on afterwards.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual Answer show(const Message &message) = 0;
};

} // namespace ondalink

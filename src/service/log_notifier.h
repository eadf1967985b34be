// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/notifier.h"

namespace ondalink {

// The service has nobody to ask: a message goes to standard error (the journal, under systemd) as
// one line, and a question is answered with its safe answer (No, Cancel), so nothing is changed.
class LogNotifier : public Notifier {
public:
    Answer show(const Message &message) override;
    // The line a message is logged as.
    static QString line(const Message &message);
};

} // namespace ondalink

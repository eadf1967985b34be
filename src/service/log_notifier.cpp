// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/log_notifier.h"

#include <cstdio>

namespace ondalink {

QString LogNotifier::line(const Message &message) {
    const MessageText text = render(message);
    QString out = text.primary;
    if (!text.informative.isEmpty())
        out += u' ' + text.informative;
    return out.simplified();
}

Answer LogNotifier::show(const Message &message) {
    std::fprintf(stderr, "ondalink-nmsd: %s\n", line(message).toLocal8Bit().constData());
    switch (render(message).buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::YesNo:
        return Answer::No;
    case MessageButtons::SaveDiscardCancel:
        return Answer::Cancel;
    }
    return Answer::No;
}

} // namespace ondalink

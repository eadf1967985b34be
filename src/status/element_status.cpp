// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/element_status.h"

#include <QCoreApplication>

namespace ondalink {

QString statusText(ElementStatus status, SilenceState silence) {
    if (silence == SilenceState::Silent)
        return QCoreApplication::translate("ElementStatus", "Silent");
    switch (status) {
    case ElementStatus::Online:
        return QCoreApplication::translate("ElementStatus", "Online");
    case ElementStatus::Offline:
        return QCoreApplication::translate("ElementStatus", "Offline");
    case ElementStatus::Unknown:
        break;
    }
    return QCoreApplication::translate("ElementStatus", "Unknown");
}

QString statusIconName(ElementStatus status, SilenceState silence) {
    if (silence == SilenceState::Silent)
        return QStringLiteral("audio-volume-muted");
    switch (status) {
    case ElementStatus::Online:
        return QStringLiteral("network-transmit-receive");
    case ElementStatus::Offline:
        return QStringLiteral("network-offline");
    case ElementStatus::Unknown:
        break;
    }
    return QStringLiteral("dialog-question");
}

} // namespace ondalink

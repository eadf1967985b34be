// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// A desktop notification: the alarm (Offline, Silent) or its clearing. The app hands AlarmNotifier
// the D-Bus sink of the console (DesktopNotifications); tests hand a recorder.
struct DesktopNotification {
    QString summary;    // "Ondalink NMS: <element> is offline"
    QString body;       // name, MAC and address
    QString elementKey; // the element it is about
    bool alarm = true;  // false for a clearing
};

class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    // Shows it where the desktop can; silently nothing where it cannot (the event log has it).
    virtual void notify(const DesktopNotification &notification) = 0;
};

} // namespace ondalink

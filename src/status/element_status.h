// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ipv4.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace ondalink {

// The console shows these in the element list's "Status", "Last seen" and "Round trip" columns:
// statusText() gives the text (always shown with an icon, never colour alone), Silent wins over
// the reachability status for an encoder under a silence alarm.

// Whether an element answers. Unknown: not probed yet (or probing not permitted here); Online: the
// last probe was answered, or a report or level reply came from its address; Offline: three probes
// in a row were not answered.
enum class ElementStatus { Unknown, Online, Offline };

// The silence watch of one encoder.
enum class SilenceState {
    NotWatched,
    Waiting,  // watched, no level reply yet
    Sounding, // the level is above the threshold, or not below it for the hold time yet
    Silent,   // the alarm: below the threshold for the hold time
};

// What is known about one element's reachability.
struct ElementState {
    QString key;                        // the element key (12 upper-case hex digits)
    QString name;                       // as the database lists it
    std::optional<Ipv4Address> address; // nullopt when the stored "ip" is no usable address
    ElementStatus status = ElementStatus::Unknown;
    QDateTime lastSeen;             // UTC; invalid when never heard
    std::optional<int> roundTripMs; // of the last answered echo
    int missedProbes = 0;           // unanswered in a row
};

// "Online", "Offline", "Unknown"; "Silent" when silence is Silent. Translated.
QString statusText(ElementStatus status, SilenceState silence = SilenceState::NotWatched);
// The icon theme name the console may use beside the text.
QString statusIconName(ElementStatus status, SilenceState silence = SilenceState::NotWatched);

} // namespace ondalink

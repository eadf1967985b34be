// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>

class QSettings;

namespace ondalink {

// The Settings dialog edits this value; the console reads it at start-up with readStatusSettings
// from the program's per-user QSettings (never nms.ini), writes it back with writeStatusSettings
// and applies it with ReachabilityMonitor::setIntervalSeconds, SilenceWatch::setSettings /
// setWatched and AlarmNotifier::setEnabled. The "Watch audio" toggles change watchedElements.
inline constexpr int kProbeIntervalDefaultS = 10;
inline constexpr int kProbeIntervalMinS = 2;
inline constexpr int kProbeIntervalMaxS = 3600;
inline constexpr double kSilenceThresholdDefaultDbfs = -50.0;
inline constexpr double kSilenceThresholdMinDbfs = -138.5; // the smallest peak there is
inline constexpr double kSilenceThresholdMaxDbfs = 0.0;
inline constexpr int kSilenceHoldDefaultS = 10;
inline constexpr int kSilenceHoldMinS = 1;
inline constexpr int kSilenceHoldMaxS = 3600;
inline constexpr int kSilenceClearS = 2;
inline constexpr int kDriftCheckDefaultMin = 15;
inline constexpr int kDriftCheckMinMin = 1;
inline constexpr int kDriftCheckMaxMin = 24 * 60;

struct StatusSettings {
    bool probingEnabled = true; // off: no background echoes, every status stays as it is
    int probeIntervalS = kProbeIntervalDefaultS;
    double silenceThresholdDbfs = kSilenceThresholdDefaultDbfs;
    int silenceHoldS = kSilenceHoldDefaultS;
    int silenceClearS = kSilenceClearS;
    bool notificationsEnabled = true;
    bool driftCheckEnabled = true; // off: no element is paged to compare its settings
    int driftCheckMin = kDriftCheckDefaultMin;
    QSet<QString> watchedElements; // element keys

    // Every value brought into its range; keys that are not element keys left out.
    StatusSettings normalized() const;
    friend bool operator==(const StatusSettings &, const StatusSettings &) = default;
};

// The group "Status" of the given settings; missing or bad values read as their defaults.
StatusSettings readStatusSettings(const QSettings &settings);
void writeStatusSettings(QSettings &settings, const StatusSettings &value);

} // namespace ondalink

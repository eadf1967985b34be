// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/status_settings.h"

#include <QObject>

class QSettings;

namespace ondalink {

class AlarmNotifier;
class DriftWatch;
class ReachabilityMonitor;
class SilenceWatch;

// The status settings' round trip: read from the per-user settings at start, applied to the monitors,
// and stored again whenever Tools > Settings… or a "Watch audio" toggle changes them.
class StatusSettingsPresenter : public QObject {
    Q_OBJECT
public:
    // Reads and applies what is stored.
    StatusSettingsPresenter(QSettings &store, ReachabilityMonitor &reachability, SilenceWatch &silence,
                            AlarmNotifier &alarms, QObject *parent = nullptr);

    const StatusSettings &settings() const { return m_settings; }
    // The drift watch follows the settings from now on.
    void attachDriftWatch(DriftWatch &drift);
    // Brought into range, applied and stored.
    void apply(const StatusSettings &value);
    // The Settings dialog's OK: the encoders watched stay those of the toggles meanwhile.
    void accept(StatusSettings fromDialog);

Q_SIGNALS:
    // The monitors run with new settings.
    void applied();

private:
    void applyToMonitors(const StatusSettings &value);

    QSettings &m_store;
    ReachabilityMonitor &m_reachability;
    SilenceWatch &m_silence;
    AlarmNotifier &m_alarms;
    DriftWatch *m_drift = nullptr;
    StatusSettings m_settings;
};

} // namespace ondalink

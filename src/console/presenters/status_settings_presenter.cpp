// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/status_settings_presenter.h"

#include "status/alarm_notifier.h"
#include "status/drift_watch.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"

#include <QSettings>

namespace ondalink {

StatusSettingsPresenter::StatusSettingsPresenter(QSettings &store, ReachabilityMonitor &reachability,
                                                 SilenceWatch &silence, AlarmNotifier &alarms,
                                                 QObject *parent)
    : QObject(parent), m_store(store), m_reachability(reachability), m_silence(silence), m_alarms(alarms) {
    applyToMonitors(readStatusSettings(m_store).normalized());
    connect(&m_silence, &SilenceWatch::watchedChanged, this, [this](const QSet<QString> &keys) {
        m_settings.watchedElements = keys;
        writeStatusSettings(m_store, m_settings);
    });
}

void StatusSettingsPresenter::applyToMonitors(const StatusSettings &value) {
    m_settings = value;
    m_reachability.setIntervalSeconds(value.probeIntervalS);
    m_reachability.setEnabled(value.probingEnabled);
    SilenceOptions options = m_silence.options();
    options.thresholdDbfs = value.silenceThresholdDbfs;
    options.holdMs = value.silenceHoldS * 1000;
    options.clearMs = value.silenceClearS * 1000;
    m_silence.setOptions(options);
    m_silence.setWatched(value.watchedElements);
    m_alarms.setEnabled(value.notificationsEnabled);
    if (m_drift)
        m_drift->setIntervalSeconds(value.driftCheckEnabled ? value.driftCheckMin * 60 : 0);
    Q_EMIT applied();
}

void StatusSettingsPresenter::attachDriftWatch(DriftWatch &drift) {
    m_drift = &drift;
    applyToMonitors(m_settings);
}

void StatusSettingsPresenter::apply(const StatusSettings &value) {
    applyToMonitors(value.normalized());
    writeStatusSettings(m_store, m_settings);
}

void StatusSettingsPresenter::accept(StatusSettings fromDialog) {
    fromDialog.watchedElements = m_settings.watchedElements;
    apply(fromDialog);
}

} // namespace ondalink

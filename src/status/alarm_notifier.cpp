// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/alarm_notifier.h"

#include "model/mac_text.h"
#include "status/drift_watch.h"
#include "status/notification_sink.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"

namespace ondalink {

AlarmNotifier::AlarmNotifier(NotificationSink &sink, ReachabilityMonitor &reachability, SilenceWatch *silence,
                             QObject *parent)
    : QObject(parent), m_sink(sink), m_reachability(reachability) {
    connect(&reachability, &ReachabilityMonitor::statusChanged, this, &AlarmNotifier::statusChanged);
    if (silence)
        connect(silence, &SilenceWatch::silenceChanged, this, &AlarmNotifier::silenceChanged);
}

void AlarmNotifier::attachDriftWatch(DriftWatch &watch) {
    connect(&watch, &DriftWatch::driftFound, this,
            [this](const QString &key, const QList<FieldChange> &changes) {
                if (!m_enabled)
                    return;
                QStringList fields;
                for (const FieldChange &change : changes)
                    fields.append(settingLabel(change.key));
                m_sink.notify({tr("%1: settings changed on the element").arg(elementText(key)),
                               tr("Not as stored: %1.").arg(fields.join(tr(", "))), key, true});
            });
}

QString AlarmNotifier::elementText(const QString &key) const {
    const ElementState *state = m_reachability.state(key);
    const QString name = state ? state->name.trimmed() : QString();
    const QString mac = elementKeyToMac(key);
    return name.isEmpty() ? mac : tr("%1 (%2)").arg(name, mac);
}

void AlarmNotifier::statusChanged(const QString &key, ElementStatus status, ElementStatus previous) {
    if (!m_enabled)
        return;
    const ElementState *state = m_reachability.state(key);
    const QString address = state && state->address ? state->address->toString() : QString();
    if (status == ElementStatus::Offline)
        m_sink.notify(
            {tr("%1 is offline").arg(elementText(key)),
             tr("No answer from %1 to %2 probes in a row.").arg(address).arg(state ? state->missedProbes : 0),
             key, true});
    else if (previous == ElementStatus::Offline)
        m_sink.notify({tr("%1 is online again").arg(elementText(key)), tr("%1 answers again.").arg(address),
                       key, false});
}

void AlarmNotifier::silenceChanged(const QString &key, SilenceState state) {
    if (state == SilenceState::Silent) {
        m_silent.insert(key);
        if (m_enabled)
            m_sink.notify({tr("%1 is silent").arg(elementText(key)),
                           tr("Its audio level stayed below the silence threshold."), key, true});
    } else if (m_silent.remove(key) && m_enabled) {
        m_sink.notify({tr("%1 has audio again").arg(elementText(key)),
                       state == SilenceState::Sounding
                           ? tr("Its audio level is above the silence threshold again.")
                           : tr("Its audio is no longer watched."),
                       key, false});
    }
}

} // namespace ondalink

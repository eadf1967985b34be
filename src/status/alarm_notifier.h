// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/element_status.h"

#include <QObject>
#include <QSet>

namespace ondalink {

class DriftWatch;
class NotificationSink;
class ReachabilityMonitor;
class SilenceWatch;

// Turns alarms into desktop notifications: an element going Offline or an encoder going Silent, and
// either one clearing. Unknown → Online is no alarm. The console creates one over its sink, and
// setEnabled follows the "notifications" setting.
class AlarmNotifier : public QObject {
    Q_OBJECT
public:
    AlarmNotifier(NotificationSink &sink, ReachabilityMonitor &reachability, SilenceWatch *silence = nullptr,
                  QObject *parent = nullptr);

    void setEnabled(bool enabled) { m_enabled = enabled; }
    // Settings found changed on an element.
    void attachDriftWatch(DriftWatch &watch);
    bool isEnabled() const { return m_enabled; }

private:
    void statusChanged(const QString &key, ElementStatus status, ElementStatus previous);
    void silenceChanged(const QString &key, SilenceState state);
    QString elementText(const QString &key) const;

    NotificationSink &m_sink;
    ReachabilityMonitor &m_reachability;
    bool m_enabled = true;
    QSet<QString> m_silent; // a clearing only follows an alarm
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/status_settings.h"

#include "model/mac_text.h"

#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kGroup = u"Status"_s;

int intValue(const QSettings &settings, const QString &key, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? value : fallback;
}

bool boolValue(const QSettings &settings, const QString &key, bool fallback) {
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true"_s || text == u"1"_s)
        return true;
    if (text == u"false"_s || text == u"0"_s)
        return false;
    return fallback;
}

} // namespace

StatusSettings StatusSettings::normalized() const {
    StatusSettings value = *this;
    value.probeIntervalS = std::clamp(probeIntervalS, kProbeIntervalMinS, kProbeIntervalMaxS);
    value.silenceThresholdDbfs =
        std::isfinite(silenceThresholdDbfs)
            ? std::clamp(silenceThresholdDbfs, kSilenceThresholdMinDbfs, kSilenceThresholdMaxDbfs)
            : kSilenceThresholdDefaultDbfs;
    value.silenceHoldS = std::clamp(silenceHoldS, kSilenceHoldMinS, kSilenceHoldMaxS);
    value.silenceClearS = std::clamp(silenceClearS, 1, kSilenceHoldMaxS);
    value.driftCheckMin = std::clamp(driftCheckMin, kDriftCheckMinMin, kDriftCheckMaxMin);
    value.watchedElements.clear();
    for (const QString &key : watchedElements)
        if (isElementKey(key.toUpper()))
            value.watchedElements.insert(key.toUpper());
    return value;
}

StatusSettings readStatusSettings(const QSettings &settings) {
    const auto key = [](const char *name) { return kGroup + u'/' + QLatin1StringView(name); };
    StatusSettings value;
    value.probingEnabled = boolValue(settings, key("probing"), value.probingEnabled);
    value.probeIntervalS = intValue(settings, key("probeIntervalSeconds"), value.probeIntervalS);
    bool ok = false;
    const double threshold = settings.value(key("silenceThresholdDbfs")).toDouble(&ok);
    if (ok)
        value.silenceThresholdDbfs = threshold;
    value.silenceHoldS = intValue(settings, key("silenceHoldSeconds"), value.silenceHoldS);
    value.silenceClearS = intValue(settings, key("silenceClearSeconds"), value.silenceClearS);
    value.notificationsEnabled = boolValue(settings, key("notifications"), value.notificationsEnabled);
    value.driftCheckEnabled = boolValue(settings, key("driftCheck"), value.driftCheckEnabled);
    value.driftCheckMin = intValue(settings, key("driftCheckMinutes"), value.driftCheckMin);
    const QStringList watched = settings.value(key("watched")).toStringList();
    value.watchedElements = QSet<QString>(watched.cbegin(), watched.cend());
    return value.normalized();
}

void writeStatusSettings(QSettings &settings, const StatusSettings &value) {
    const StatusSettings clean = value.normalized();
    QStringList watched(clean.watchedElements.cbegin(), clean.watchedElements.cend());
    watched.sort();
    settings.beginGroup(kGroup);
    settings.setValue(u"probing"_s, clean.probingEnabled);
    settings.setValue(u"probeIntervalSeconds"_s, clean.probeIntervalS);
    settings.setValue(u"silenceThresholdDbfs"_s, clean.silenceThresholdDbfs);
    settings.setValue(u"silenceHoldSeconds"_s, clean.silenceHoldS);
    settings.setValue(u"silenceClearSeconds"_s, clean.silenceClearS);
    settings.setValue(u"notifications"_s, clean.notificationsEnabled);
    settings.setValue(u"driftCheck"_s, clean.driftCheckEnabled);
    settings.setValue(u"driftCheckMinutes"_s, clean.driftCheckMin);
    settings.setValue(u"watched"_s, watched);
    settings.endGroup();
}

} // namespace ondalink

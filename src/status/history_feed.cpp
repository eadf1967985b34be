// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/history_feed.h"

#include "link/discovery.h"
#include "link/element_link.h"
#include "status/drift_watch.h"

#include <QDateTime>

namespace ondalink {

HistoryFeed::HistoryFeed(HistoryRecorder &recorder, ElementLink &link, Discovery &replace, Discovery &update,
                         DriftWatch &drift, QObject *parent)
    : QObject(parent), m_recorder(recorder) {
    connect(&replace, &Discovery::starting, this,
            [this] { m_discoveryOrigin = ConfigurationOrigin::Discovery; });
    connect(&update, &Discovery::starting, this, [this] { m_discoveryOrigin = ConfigurationOrigin::Update; });
    connect(&link, &ElementLink::configurationsStored, this,
            [this](const SectionKeys &sections, ConfigurationOrigin origin) {
                record(sections, origin == ConfigurationOrigin::Discovery ? m_discoveryOrigin : origin);
            });
    connect(&drift, &DriftWatch::accepted, this, [this](const QString &key, const KeyValues &keys) {
        record({{key, keys}}, ConfigurationOrigin::AcceptedDrift);
    });
}

void HistoryFeed::record(const SectionKeys &sections, ConfigurationOrigin origin, const QString &note) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const auto &[key, keys] : sections)
        m_recorder.record(key, ConfigurationVersion{now, origin, note, keys});
}

} // namespace ondalink

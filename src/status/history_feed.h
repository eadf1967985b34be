// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/configuration_history.h"
#include "store/element_schema.h"

#include <QObject>

namespace ondalink {

class Discovery;
class DriftWatch;
class ElementLink;

// Every configuration the program stores for an element goes into that element's history: what the
// link stores from reports, what the operator accepts from a drift, and what an import writes.
class HistoryFeed : public QObject {
    Q_OBJECT
public:
    // replace and update are the two discoveries; a discovery's answers are recorded with the origin
    // of the one that started last.
    HistoryFeed(HistoryRecorder &recorder, ElementLink &link, Discovery &replace, Discovery &update,
                DriftWatch &drift, QObject *parent = nullptr);

    void record(const SectionKeys &sections, ConfigurationOrigin origin, const QString &note = {});

private:
    HistoryRecorder &m_recorder;
    ConfigurationOrigin m_discoveryOrigin = ConfigurationOrigin::Discovery;
};

} // namespace ondalink

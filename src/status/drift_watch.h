// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_record.h"
#include "model/ipv4.h"
#include "store/configuration_compare.h"
#include "store/element_schema.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <optional>

namespace ondalink {

class ElementDatabase;
class ElementLink;
struct ElementListing;

inline constexpr int kDriftIntervalDefaultS = 15 * 60;
inline constexpr int kDriftIntervalMinS = 60;
inline constexpr int kDriftIntervalMaxS = 24 * 60 * 60;

struct DriftOptions {
    int pageWaitMs = 3000; // an answer later than this frees its slot for the next page
    int lateMs = 10000;    // and until then still counts as the page's answer, not as a stray report
    int maxInFlight = 4;
    int shortestTickMs = 20; // the pages of a large list are spread no closer than this
};

// Whether each listed element still holds the settings its section records. Once per interval every
// element with a unicast address is paged through the link, the pages spread evenly over the
// interval, a few at a time; none while a discovery, an addition or a configuration write waits for
// its answers. An answer is compared with the section field by field; it is never stored. An element
// that does not answer keeps what it had: not answering is the reachability's business.
class DriftWatch : public QObject {
    Q_OBJECT
public:
    DriftWatch(ElementLink &link, ElementDatabase &database, DriftOptions options = {},
               QObject *parent = nullptr);
    ~DriftWatch() override;

    // 0: off. Otherwise brought into 1 minute .. 24 hours; a round starts over.
    void setIntervalSeconds(int seconds);
    int intervalSeconds() const { return (m_intervalMs + 999) / 1000; }
    // Tests and the benchmark: an interval below the operator's minimum.
    void setIntervalMs(int ms);

    // The listed elements (the tree's listing). Drift of an element no longer listed is forgotten.
    void reload(const QList<ElementListing> &listing);

    struct Drift {
        QList<FieldChange> changes; // stored → reported
        ElementRecord reported;
        OptionalFields carried;
    };
    // nullptr when the element's settings were found as stored (or were never compared).
    const Drift *drift(const QString &elementKey) const;
    QList<QString> driftedKeys() const { return m_drift.keys(); }

    // Stores the element's last report as a discovery would store its answer (the section's keys
    // changed in place) and clears its drift. False when it has none or nms.ini could not be written.
    bool accept(const QString &elementKey);

    quint64 pagesSent() const { return m_pagesSent; }
    quint64 answersCompared() const { return m_answers; }
    int inFlight() const { return static_cast<int>(m_inFlight.size()); }

Q_SIGNALS:
    // New drift, or another set of fields than before.
    void driftFound(const QString &elementKey, const QList<ondalink::FieldChange> &changes);
    // The element holds its stored settings again (an answer, a store of its section, acceptance).
    void driftCleared(const QString &elementKey);
    // accept() stored these keys for the element.
    void accepted(const QString &elementKey, const ondalink::KeyValues &stored);

private:
    void restart();
    void tick();
    void answered(const QString &mac, const ElementRecord &record, OptionalFields carried);
    void expired(quint32 address, quint64 serial, bool late);
    void clear(const QString &elementKey);
    bool paused() const;
    // The sections as the file holds them now: read again only when it has changed.
    const StoredElement *section(const QString &elementKey);

    struct Target {
        QString key;
        Ipv4Address address;
    };

    ElementLink &m_link;
    ElementDatabase &m_database;
    DriftOptions m_options;
    int m_intervalMs = kDriftIntervalDefaultS * 1000;
    QList<Target> m_targets;
    QHash<QString, qsizetype> m_indexOf; // by element key
    qsizetype m_next = 0;
    QTimer m_tick;
    QHash<quint32, quint64> m_inFlight; // address → its page's serial, until the answer or the wait ends
    QHash<quint32, quint64> m_open;     // address → the serial of the page the link still keeps
    quint64 m_serial = 0;
    QHash<QString, Drift> m_drift;
    QHash<QString, StoredElement> m_sections;
    bool m_sectionsRead = false;
    qint64 m_sectionsSize = -1;
    QDateTime m_sectionsTime;
    quint64 m_pagesSent = 0;
    quint64 m_answers = 0;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/element_status.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <optional>

namespace ondalink {

class Clock;
class ElementDatabase;
struct ElementListing;
class ElementLink;

struct SilenceOptions {
    double thresholdDbfs = -50.0;
    int holdMs = 10000; // below the threshold this long raises the alarm
    int clearMs = 2000; // above it this long clears it
    int requestIntervalMs = 1000;
};

// The alarm of one encoder's audio: fed with each level reply's peak and the time it came.
// Waiting → Sounding at the first reply; Silent once every reply for holdMs was below the
// threshold; back to Sounding once every reply for clearMs was at or above it.
class SilenceDetector {
public:
    explicit SilenceDetector(SilenceOptions options = {}) : m_options(options) {}
    void setOptions(const SilenceOptions &options) { m_options = options; }
    // The new state when this reply changed it.
    std::optional<SilenceState> feed(quint32 peak, qint64 nowMs);
    SilenceState state() const { return m_state; }
    // The last reply's level; nullopt for a peak of 0 (minus infinity) or none yet.
    std::optional<double> lastDbfs() const { return m_lastDbfs; }

private:
    SilenceOptions m_options;
    SilenceState m_state = SilenceState::Waiting;
    std::optional<qint64> m_runStartMs; // when the current run below (or above) began
    bool m_runBelow = false;
    std::optional<double> m_lastDbfs;
};

// The level of a peak in dBFS; nullopt for 0.
std::optional<double> peakDbfs(quint32 peak);

// Background silence watch of the encoders the operator chose ("Watch audio"). The console creates
// it with the link and the database, calls reload() when the tree reloads, setWatched() from the
// toggles and the stored settings, and shows silenceChanged ("Silent"). While anything is watched
// the link attributes level replies by their source, so the shown encoder's meter only shows its own.
class SilenceWatch : public QObject {
    Q_OBJECT
public:
    SilenceWatch(ElementLink &link, ElementDatabase &database, Clock &clock, SilenceOptions options = {},
                 QObject *parent = nullptr);
    ~SilenceWatch() override;

    void setOptions(const SilenceOptions &options);
    const SilenceOptions &options() const { return m_options; }

    void setWatched(const QSet<QString> &keys);
    void setWatched(const QString &key, bool watched);
    bool isWatched(const QString &key) const { return m_watched.contains(key); }
    QSet<QString> watched() const;
    // NotWatched for an element not watched.
    SilenceState state(const QString &key) const;
    // The last level reply of a watched encoder; nullopt for none, a peak of 0, or not watched.
    std::optional<double> levelDbfs(const QString &key) const;

    // The stored addresses again (one reading of nms.ini).
    void reload();
    // The same from a listing already read (the tree's), without reading nms.ini again.
    void reload(const QList<ElementListing> &listing);

    // One level request to every watched encoder; the timer calls it, tests call it directly.
    void poll();

Q_SIGNALS:
    void silenceChanged(const QString &key, ondalink::SilenceState state);
    // A level reply of the watched encoder came (levelDbfs() has it).
    void levelMeasured(const QString &key);
    // The watched set changed (the console stores it).
    void watchedChanged(const QSet<QString> &keys);

private:
    struct Watched {
        SilenceDetector detector;
        std::optional<QHostAddress> address;
    };

    void levelReply(const QByteArray &reply, const QHostAddress &sender);
    void updateActive();

    ElementLink &m_link;
    ElementDatabase &m_database;
    Clock &m_clock;
    SilenceOptions m_options;
    QHash<QString, Watched> m_watched;
    QHash<QString, QHostAddress> m_addresses; // every element's stored address, by key
    QTimer m_poll;
};

} // namespace ondalink

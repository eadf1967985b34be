// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <optional>
#include <utility>

namespace ondalink {

// Why a configuration was stored.
enum class ConfigurationOrigin {
    Discovery,
    Update,
    Addition,
    ConfirmedWrite,
    Import,
    AcceptedDrift,
    Replacement
};

// The token the history file holds; these never change, old files must stay readable.
QLatin1StringView originToken(ConfigurationOrigin origin);
std::optional<ConfigurationOrigin> originFromToken(QStringView token);

struct ConfigurationVersion {
    QDateTime time; // UTC, milliseconds
    ConfigurationOrigin origin = ConfigurationOrigin::Discovery;
    QString note;   // e.g. a replacement's "replaced by 00:11:22:33:44:55"
    KeyValues keys; // key name -> the text as stored
};

// Every configuration stored for an element, one file per element ("<ELEMENTKEY>.jsonl") in one
// folder, one JSON object per line, oldest first.
class ConfigurationHistory {
public:
    explicit ConfigurationHistory(QString folder, int limit = 1000);

    const QString &folder() const { return m_folder; }
    int limit() const { return m_limit; }
    // Empty for a key that is not 12 upper-case hexadecimal digits.
    QString pathFor(const QString &elementKey) const;

    struct Reading {
        QList<ConfigurationVersion> versions; // oldest first
        int damagedLines = 0;
        QString error; // the file is there but cannot be read, or the key is refused
    };
    Reading read(const QString &elementKey) const;

    // Appends unless the keys equal the newest version's (then nothing is written and it succeeds).
    // Keeps the newest limit() versions; damaged lines are dropped. The file is replaced atomically.
    // Creates the folder when missing. False with error when it cannot write.
    bool append(const QString &elementKey, const ConfigurationVersion &version, QString *error = nullptr);
    // The history of fromKey is appended after toKey's own (bounded), then the marker; fromKey's file
    // is removed. For a unit that replaces a failed one.
    bool transfer(const QString &fromKey, const QString &toKey, const ConfigurationVersion &marker,
                  QString *error = nullptr);

private:
    bool write(const QString &elementKey, QList<ConfigurationVersion> versions, QString *error) const;

    QString m_folder;
    int m_limit;
    mutable bool m_swept = false; // stale temporaries removed
};

// One line of the file, without its line break.
QByteArray historyLine(const ConfigurationVersion &version);
// nullopt for a damaged line.
std::optional<ConfigurationVersion> parseHistoryLine(QByteArrayView line);

// CSV of one element's history: "time,origin,note," and every key name in schema order (then any
// other key the versions hold), one row per version, CRLF.
QByteArray historyCsv(const QList<ConfigurationVersion> &versions);

// Queues versions and writes them from the event loop in slices of a few milliseconds, so that a
// discovery storing thousands of elements does not stall the window.
class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    explicit HistoryRecorder(ConfigurationHistory history, QObject *parent = nullptr);
    ~HistoryRecorder() override;

    void record(const QString &elementKey, ConfigurationVersion version);
    // Writes everything queued now.
    void flush();
    // What is written and queued for that element.
    ConfigurationHistory::Reading read(const QString &elementKey);
    int pending() const { return static_cast<int>(m_queue.size() - m_next); }
    const ConfigurationHistory &history() const { return m_history; }
    // What is queued written first, then ConfigurationHistory::transfer.
    bool transfer(const QString &fromKey, const QString &toKey, const ConfigurationVersion &marker,
                  QString *error = nullptr);

Q_SIGNALS:
    // Once until the next write succeeds.
    void failed(const QString &error);

private:
    void drain(qint64 budgetMs);
    void writeOne();

    ConfigurationHistory m_history;
    QList<std::pair<QString, ConfigurationVersion>> m_queue;
    qsizetype m_next = 0;
    QTimer m_timer;
    bool m_failing = false;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/configuration_history.h"

#include "model/log.h"
#include "store/atomic_file.h"
#include "store/element_exchange.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr std::array kOrigins{
    std::pair{ConfigurationOrigin::Discovery, "discovery"_L1},
    std::pair{ConfigurationOrigin::Update, "update"_L1},
    std::pair{ConfigurationOrigin::Addition, "addition"_L1},
    std::pair{ConfigurationOrigin::ConfirmedWrite, "write"_L1},
    std::pair{ConfigurationOrigin::Import, "import"_L1},
    std::pair{ConfigurationOrigin::AcceptedDrift, "drift"_L1},
    std::pair{ConfigurationOrigin::Replacement, "replacement"_L1},
};

// A slice of the recorder's queue; what a window can lose to it without the user noticing.
constexpr qint64 kSliceMs = 8;
// A temporary a killed write left is older than any write in progress.
constexpr int kStaleTemporarySeconds = 60;

bool isElementKey(const QString &key) {
    return key.size() == 12 && std::all_of(key.cbegin(), key.cend(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
           });
}

QByteArray jsonString(const QString &value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.sliced(1, array.size() - 2);
}

// Schema keys in schema order, then the others by name: the order a JSON object read back loses.
KeyValues normalised(KeyValues keys) {
    const auto rank = [](const QString &name) {
        const auto key = elementKeyNamed(name.toLatin1());
        return key ? static_cast<int>(*key) : kElementKeyCount;
    };
    std::stable_sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
        const int ra = rank(a.first);
        const int rb = rank(b.first);
        return ra != rb ? ra < rb : (ra == kElementKeyCount && a.first < b.first);
    });
    return keys;
}

// What writes killed before their rename left in the folder, one listing for all the files.
void sweepStaleTemporaries(const QString &folder) {
    const QDir dir(folder);
    QSet<QString> targets;
    const QStringList temporaries =
        dir.entryList({u".*.jsonl.*.tmp"_s}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : temporaries)
        targets.insert(name.mid(1, name.indexOf(".jsonl."_L1) + 5));
    for (const QString &target : std::as_const(targets))
        removeStaleTemporaries(dir.filePath(target), kStaleTemporarySeconds);
}

QString refusedKey(const QString &key) {
    return u"not an Element key: \"%1\""_s.arg(key);
}

} // namespace

QLatin1StringView originToken(ConfigurationOrigin origin) {
    for (const auto &[o, token] : kOrigins) {
        if (o == origin)
            return token;
    }
    return {};
}

std::optional<ConfigurationOrigin> originFromToken(QStringView token) {
    for (const auto &[o, t] : kOrigins) {
        if (token == t)
            return o;
    }
    return std::nullopt;
}

QByteArray historyLine(const ConfigurationVersion &version) {
    QByteArray line = "{\"time\":" + jsonString(version.time.toUTC().toString(Qt::ISODateWithMs)) +
                      ",\"origin\":" + jsonString(originToken(version.origin)) +
                      ",\"note\":" + jsonString(version.note) + ",\"keys\":{";
    bool first = true;
    for (const auto &[key, value] : version.keys) {
        if (!first)
            line.append(',');
        first = false;
        line.append(jsonString(key)).append(':').append(jsonString(value));
    }
    line.append("}}");
    return line;
}

std::optional<ConfigurationVersion> parseHistoryLine(QByteArrayView line) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue time = object.value("time"_L1);
    const QJsonValue origin = object.value("origin"_L1);
    const QJsonValue note = object.value("note"_L1);
    const QJsonValue keys = object.value("keys"_L1);
    if (!time.isString() || !origin.isString() || !note.isString() || !keys.isObject())
        return std::nullopt;
    ConfigurationVersion version;
    version.time = QDateTime::fromString(time.toString(), Qt::ISODateWithMs);
    if (!version.time.isValid())
        return std::nullopt;
    version.time = version.time.toUTC();
    const auto parsedOrigin = originFromToken(origin.toString());
    if (!parsedOrigin)
        return std::nullopt;
    version.origin = *parsedOrigin;
    version.note = note.toString();
    const QJsonObject keyObject = keys.toObject();
    for (auto it = keyObject.constBegin(); it != keyObject.constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        version.keys.append({it.key(), it.value().toString()});
    }
    version.keys = normalised(version.keys);
    return version;
}

ConfigurationHistory::ConfigurationHistory(QString folder, int limit)
    : m_folder(std::move(folder)), m_limit(std::max(1, limit)) {}

QString ConfigurationHistory::pathFor(const QString &elementKey) const {
    if (!isElementKey(elementKey))
        return {};
    return QDir(m_folder).filePath(elementKey + ".jsonl"_L1);
}

namespace {

void parseLines(QByteArrayView bytes, ConfigurationHistory::Reading &reading) {
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(start, end - start).trimmed();
        if (!line.isEmpty()) {
            if (auto version = parseHistoryLine(line))
                reading.versions.append(std::move(*version));
            else
                ++reading.damagedLines;
        }
        start = end + 1;
    }
}

// The file's last line that is not blank.
QByteArrayView lastLine(QByteArrayView bytes) {
    bytes = bytes.trimmed();
    const qsizetype start = bytes.lastIndexOf('\n') + 1;
    return bytes.sliced(start).trimmed();
}

} // namespace

ConfigurationHistory::Reading ConfigurationHistory::read(const QString &elementKey) const {
    Reading reading;
    const QString path = pathFor(elementKey);
    if (path.isEmpty()) {
        reading.error = refusedKey(elementKey);
        return reading;
    }
    const FileContents contents = readWholeFile(path);
    if (contents.status == FileContents::Status::Failed)
        reading.error = contents.error;
    if (contents.status == FileContents::Status::Read)
        parseLines(contents.bytes, reading);
    return reading;
}

bool ConfigurationHistory::write(const QString &elementKey, QList<ConfigurationVersion> versions,
                                 QString *error) const {
    if (versions.size() > m_limit)
        versions.remove(0, versions.size() - m_limit);
    QByteArray bytes;
    for (const auto &version : std::as_const(versions))
        bytes.append(historyLine(version)).append('\n');
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = u"cannot create the folder %1"_s.arg(m_folder);
        return false;
    }
    if (!m_swept) {
        // Once per folder: a listing per write would cost a first discovery a quadratic time.
        m_swept = true;
        sweepStaleTemporaries(m_folder);
    }
    return replaceFileAtomically(pathFor(elementKey), bytes, error);
}

bool ConfigurationHistory::append(const QString &elementKey, const ConfigurationVersion &version,
                                  QString *error) {
    const QString path = pathFor(elementKey);
    const FileContents contents = path.isEmpty() ? FileContents{} : readWholeFile(path);
    const QString why = path.isEmpty() ? refusedKey(elementKey) : contents.error;
    if (path.isEmpty() || contents.status == FileContents::Status::Failed) {
        if (error)
            *error = why;
        return false;
    }
    // Nothing changed: nothing to write (damaged lines go with the next change). Only the newest
    // line is parsed, so that a discovery that finds everything as it was stays cheap.
    if (contents.status == FileContents::Status::Read) {
        const auto newest = parseHistoryLine(lastLine(contents.bytes));
        if (newest && normalised(newest->keys) == normalised(version.keys))
            return true;
    }
    Reading reading;
    if (contents.status == FileContents::Status::Read)
        parseLines(contents.bytes, reading);
    if (!reading.versions.isEmpty() &&
        normalised(reading.versions.constLast().keys) == normalised(version.keys))
        return true; // behind a damaged last line
    reading.versions.append(version);
    return write(elementKey, std::move(reading.versions), error);
}

bool ConfigurationHistory::transfer(const QString &fromKey, const QString &toKey,
                                    const ConfigurationVersion &marker, QString *error) {
    for (const QString &key : {fromKey, toKey}) {
        if (!isElementKey(key)) {
            if (error)
                *error = refusedKey(key);
            return false;
        }
    }
    const Reading from = read(fromKey);
    Reading to = read(toKey);
    for (const QString &why : {from.error, to.error}) {
        if (!why.isEmpty()) {
            if (error)
                *error = why;
            return false;
        }
    }
    if (fromKey == toKey) {
        to.versions.append(marker);
        return write(toKey, std::move(to.versions), error);
    }
    to.versions.append(from.versions);
    to.versions.append(marker);
    if (!write(toKey, std::move(to.versions), error))
        return false;
    QFile::remove(pathFor(fromKey)); // what it held is in toKey's file now
    return true;
}

QByteArray historyCsv(const QList<ConfigurationVersion> &versions) {
    QStringList columns;
    for (const auto &k : elementKeySchema())
        columns.append(keyName(k.key));
    for (const auto &version : versions) {
        for (const auto &[key, value] : version.keys) {
            if (!elementKeyNamed(key.toLatin1()) && !columns.contains(key))
                columns.append(key);
        }
    }
    QByteArray out = "time,origin,note";
    for (const QString &column : std::as_const(columns))
        out.append(',').append(csvCell(column));
    out.append("\r\n");
    for (const auto &version : versions) {
        out.append(csvCell(version.time.toUTC().toString(Qt::ISODateWithMs)))
            .append(',')
            .append(csvCell(originToken(version.origin)))
            .append(',')
            .append(csvCell(version.note));
        for (const QString &column : std::as_const(columns)) {
            out.append(',');
            for (const auto &[key, value] : version.keys) {
                if (key.compare(column, Qt::CaseInsensitive) == 0) {
                    out.append(csvCell(value));
                    break;
                }
            }
        }
        out.append("\r\n");
    }
    return out;
}

HistoryRecorder::HistoryRecorder(ConfigurationHistory history, QObject *parent)
    : QObject(parent), m_history(std::move(history)) {
    m_timer.setInterval(0);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { drain(kSliceMs); });
}

HistoryRecorder::~HistoryRecorder() {
    flush();
}

void HistoryRecorder::record(const QString &elementKey, ConfigurationVersion version) {
    m_queue.append({elementKey, std::move(version)});
    if (!m_timer.isActive())
        m_timer.start();
}

void HistoryRecorder::flush() {
    m_timer.stop();
    drain(-1);
}

ConfigurationHistory::Reading HistoryRecorder::read(const QString &elementKey) {
    flush();
    return m_history.read(elementKey);
}

bool HistoryRecorder::transfer(const QString &fromKey, const QString &toKey,
                               const ConfigurationVersion &marker, QString *error) {
    flush();
    return m_history.transfer(fromKey, toKey, marker, error);
}

void HistoryRecorder::drain(qint64 budgetMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_next < m_queue.size()) {
        writeOne();
        if (budgetMs >= 0 && elapsed.elapsed() >= budgetMs)
            break;
    }
    if (m_next >= m_queue.size()) {
        m_queue.clear();
        m_next = 0;
    } else {
        m_timer.start(); // the rest on the next turn of the event loop
    }
}

void HistoryRecorder::writeOne() {
    const auto &[key, version] = m_queue.at(m_next);
    QString error;
    const bool written = m_history.append(key, version, &error);
    ++m_next;
    if (written) {
        m_failing = false;
        return;
    }
    qCWarning(lcStore).noquote() << "configuration history of" << key << "not written:" << error;
    if (!m_failing) {
        m_failing = true;
        Q_EMIT failed(error);
    }
}

} // namespace ondalink

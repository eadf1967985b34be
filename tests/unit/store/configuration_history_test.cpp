// SPDX-License-Identifier: GPL-3.0-or-later
// The history of an element's configurations: bounded, written whole, readable after damage or a crash.
#include "store/configuration_history.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

const QString kKey = u"0011223344AA"_s;
const QString kOther = u"00112233BB55"_s;

ConfigurationVersion version(int n, ConfigurationOrigin origin = ConfigurationOrigin::Discovery) {
    ConfigurationVersion v;
    v.time = QDateTime(QDate(2026, 12, 8), QTime(14, 3, 11, 123), Qt::UTC).addSecs(n);
    v.origin = origin;
    v.keys = {{u"name"_s, u"ENC %1"_s.arg(n).leftJustified(16)},
              {u"ip"_s, u"10.0.0.5"_s},
              {u"sfn"_s, QString::number(n)}};
    return v;
}

QStringList names(const QList<ConfigurationVersion> &versions) {
    QStringList out;
    for (const auto &v : versions)
        out.append(v.keys.front().second.trimmed());
    return out;
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class ConfigurationHistoryTest : public ::testing::Test {
protected:
    QString folder() const { return m_dir.path() + u"/history"_s; }
    QTemporaryDir m_dir;
};

TEST_F(ConfigurationHistoryTest, KeepsTheNewestVersionsInOrderWithEverythingTheyHeld) {
    ConfigurationHistory history(folder(), 5);
    EXPECT_TRUE(history.read(kKey).versions.isEmpty());
    for (int n = 1; n <= 8; ++n)
        ASSERT_TRUE(history.append(
            kKey, version(n, n == 8 ? ConfigurationOrigin::ConfirmedWrite : ConfigurationOrigin::Discovery)));
    EXPECT_EQ(history.pathFor(kKey), folder() + u"/0011223344AA.jsonl"_s);
    const auto reading = history.read(kKey);
    EXPECT_EQ(reading.damagedLines, 0);
    EXPECT_EQ(names(reading.versions),
              (QStringList{u"ENC 4"_s, u"ENC 5"_s, u"ENC 6"_s, u"ENC 7"_s, u"ENC 8"_s}));
    const ConfigurationVersion &last = reading.versions.constLast();
    EXPECT_EQ(last.time, version(8).time);
    EXPECT_EQ(last.time.toString(Qt::ISODateWithMs), u"2026-12-08T14:03:19.123Z"_s);
    EXPECT_EQ(last.origin, ConfigurationOrigin::ConfirmedWrite);
    EXPECT_EQ(last.keys, version(8).keys);
    EXPECT_EQ(fileBytes(history.pathFor(kKey)).count('\n'), 5);
    EXPECT_TRUE(fileBytes(history.pathFor(kKey))
                    .endsWith(R"({"time":"2026-12-08T14:03:19.123Z","origin":"write","note":"",)"
                              R"("keys":{"name":"ENC 8           ","ip":"10.0.0.5","sfn":"8"}})"
                              "\n"));
}

TEST_F(ConfigurationHistoryTest, TheSameKeysAgainWriteNothing) {
    ConfigurationHistory history(folder());
    ASSERT_TRUE(history.append(kKey, version(1)));
    const QByteArray before = fileBytes(history.pathFor(kKey));
    ConfigurationVersion again = version(1, ConfigurationOrigin::Update);
    again.time = again.time.addDays(1);
    EXPECT_TRUE(history.append(kKey, again));
    EXPECT_EQ(fileBytes(history.pathFor(kKey)), before);
    // One key's text differing by a blank is a change.
    again.keys[0].second.chop(1);
    EXPECT_TRUE(history.append(kKey, again));
    EXPECT_EQ(history.read(kKey).versions.size(), 2);
    // Behind a cut last line the newest version that reads is the one compared.
    putBytes(history.pathFor(kKey), fileBytes(history.pathFor(kKey)) + R"({"time":"2026-12-08T14:0)");
    const QByteArray damaged = fileBytes(history.pathFor(kKey));
    EXPECT_TRUE(history.append(kKey, again));
    EXPECT_EQ(fileBytes(history.pathFor(kKey)), damaged);
}

TEST_F(ConfigurationHistoryTest, DamagedLinesAreSkippedCountedAndDroppedByTheNextWrite) {
    ConfigurationHistory history(folder());
    ASSERT_TRUE(history.append(kKey, version(1)));
    ASSERT_TRUE(history.append(kKey, version(2)));
    const QByteArray good = fileBytes(history.pathFor(kKey));
    const qsizetype firstEnd = good.indexOf('\n') + 1;
    const QByteArray damage =
        "not json\n"
        R"({"time":"2026-12-08T14:03:11.123Z","origin":"write","note":""})"
        "\n"
        R"({"time":"2026-12-08T14:03:11.123Z","origin":"guess","note":"","keys":{}})"
        "\n"
        R"({"time":"yesterday","origin":"write","note":"","keys":{}})"
        "\n"
        R"({"time":"2026-12-08T14:03:11.123Z","origin":"write","note":"","keys":{"sfn":3}})"
        "\n";
    putBytes(history.pathFor(kKey), good.first(firstEnd) + damage + good.sliced(firstEnd));
    const auto reading = history.read(kKey);
    EXPECT_EQ(reading.damagedLines, 5);
    EXPECT_EQ(names(reading.versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s}));

    ASSERT_TRUE(history.append(kKey, version(3)));
    const auto after = history.read(kKey);
    EXPECT_EQ(after.damagedLines, 0);
    EXPECT_EQ(names(after.versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s, u"ENC 3"_s}));
}

TEST_F(ConfigurationHistoryTest, AWriteKilledHalfwayLeavesTheOldVersionsReadable) {
    ConfigurationHistory history(folder());
    ASSERT_TRUE(history.append(kKey, version(1)));
    ASSERT_TRUE(history.append(kKey, version(2)));
    const QString path = history.pathFor(kKey);
    // A temporary as a killed replacement leaves it beside the file, and a last line cut short.
    const QString stale = folder() + u"/.0011223344AA.jsonl.00000000deadbeef.tmp"_s;
    putBytes(stale, historyLine(version(3)).first(20));
    const QByteArray good = fileBytes(path);
    putBytes(path, good + historyLine(version(3)).chopped(7));

    const auto reading = history.read(kKey);
    EXPECT_EQ(reading.damagedLines, 1);
    EXPECT_EQ(names(reading.versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s}));
    {
        QFile file(stale);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    }
    ConfigurationHistory later(folder()); // as the next run of the program finds them
    ASSERT_TRUE(later.append(kKey, version(4)));
    EXPECT_EQ(names(later.read(kKey).versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s, u"ENC 4"_s}));
    EXPECT_FALSE(QFile::exists(stale));
}

TEST_F(ConfigurationHistoryTest, ATransferMovesTheOldUnitsHistoryBehindTheNewOnesAndMarksIt) {
    ConfigurationHistory history(folder(), 4);
    ASSERT_TRUE(history.append(kKey, version(1)));
    ASSERT_TRUE(history.append(kKey, version(2)));
    ASSERT_TRUE(history.append(kKey, version(3)));
    ASSERT_TRUE(history.append(kOther, version(10)));
    ConfigurationVersion marker = version(11, ConfigurationOrigin::Replacement);
    marker.note = u"replaced by 00:11:22:33:BB:55"_s;

    QString error;
    ASSERT_TRUE(history.transfer(kKey, kOther, marker, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(history.pathFor(kKey)));
    EXPECT_TRUE(history.read(kKey).versions.isEmpty());
    const auto reading = history.read(kOther);
    // The new unit's own first, then the old unit's, then the marker; bounded, so its own went.
    EXPECT_EQ(names(reading.versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s, u"ENC 3"_s, u"ENC 11"_s}));
    EXPECT_EQ(reading.versions.constLast().origin, ConfigurationOrigin::Replacement);
    EXPECT_EQ(reading.versions.constLast().note, marker.note);

    EXPECT_FALSE(history.transfer(u"0011223344aa"_s, kOther, marker, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ConfigurationHistoryTest, AKeyThatIsNotTwelveUpperCaseHexDigitsIsRefused) {
    ConfigurationHistory history(folder());
    for (const QString &key : {u"0011223344aa"_s, u"0011223344A"_s, u"0011223344AAB"_s, u"../11223344AA"_s,
                               u"0011223344AG"_s, QString()}) {
        QString error;
        EXPECT_TRUE(history.pathFor(key).isEmpty()) << key.toStdString();
        EXPECT_FALSE(history.append(key, version(1), &error)) << key.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(history.read(key).error.isEmpty());
    }
    EXPECT_FALSE(QDir(folder()).exists());
}

TEST_F(ConfigurationHistoryTest, TheCsvQuotesACommaAndAQuoteAndFollowsTheSchema) {
    ConfigurationVersion v = version(1, ConfigurationOrigin::Replacement);
    v.note = u"replaced by 00:11:22:33:BB:55"_s;
    v.keys = {{u"sfn"_s, u"3"_s}, {u"name"_s, u"A,B \"C\""_s}};
    const QByteArray csv = historyCsv({v, version(2)});
    const QList<QByteArray> lines = csv.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("time,origin,note,name,ip,"));
    const QList<QByteArray> header = lines[0].chopped(1).split(',');
    const qsizetype sfn = header.indexOf("sfn");
    ASSERT_GT(sfn, 4);
    EXPECT_TRUE(lines[1].startsWith("2026-12-08T14:03:12.123Z,replacement,replaced by 00:11:22:33:BB:55,"
                                    "\"A,B \"\"C\"\"\","));
    // The quoted name holds one comma: the sfn cell is one further than in the header.
    EXPECT_EQ(lines[1].chopped(1).split(',').at(sfn + 1), "3");
    EXPECT_EQ(lines[2].chopped(1).split(',').at(sfn), "2");
    EXPECT_TRUE(lines[2].contains(",\"ENC 2           \","));
}

TEST_F(ConfigurationHistoryTest, TheRecorderQueuesAndAReadThroughItSeesWhatIsQueued) {
    HistoryRecorder recorder{ConfigurationHistory(folder())};
    for (int n = 1; n <= 3; ++n)
        recorder.record(kKey, version(n));
    EXPECT_EQ(recorder.pending(), 3);
    EXPECT_FALSE(QFile::exists(recorder.history().pathFor(kKey))); // nothing before the loop turns
    EXPECT_EQ(names(recorder.read(kKey).versions), (QStringList{u"ENC 1"_s, u"ENC 2"_s, u"ENC 3"_s}));
    EXPECT_EQ(recorder.pending(), 0);

    recorder.record(kOther, version(4));
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.pending() == 0; }, 2000));
    EXPECT_EQ(names(recorder.history().read(kOther).versions), QStringList{u"ENC 4"_s});
    recorder.record(kOther, version(5));
    recorder.flush();
    EXPECT_EQ(names(recorder.history().read(kOther).versions), (QStringList{u"ENC 4"_s, u"ENC 5"_s}));
}

TEST_F(ConfigurationHistoryTest, TheRecorderReportsAFolderItCannotWriteOnce) {
    putBytes(folder(), "a file where the folder should be");
    HistoryRecorder recorder{ConfigurationHistory(folder())};
    QSignalSpy failed(&recorder, &HistoryRecorder::failed);
    recorder.record(kKey, version(1));
    recorder.record(kKey, version(2));
    recorder.record(kOther, version(3));
    recorder.flush();
    EXPECT_EQ(failed.size(), 1);
}

} // namespace
} // namespace ondalink

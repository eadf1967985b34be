// SPDX-License-Identifier: GPL-3.0-or-later
// The scrape text: read back line by line as Prometheus reads it, so that a family out of place, a
// sample with a broken label or a value that was never measured is caught wherever it is.
#include "service/metrics/metrics_text.h"
#include "service/status_board.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

struct Sample {
    QByteArray name;
    QMap<QString, QString> labels;
    QByteArray value;
};

struct Scrape {
    QList<Sample> samples;
    QHash<QByteArray, QByteArray> types;
    QStringList faults; // what a reader of the format would refuse

    QList<Sample> family(const QByteArray &name) const {
        QList<Sample> found;
        for (const Sample &s : samples)
            if (s.name == name)
                found.append(s);
        return found;
    }
    std::optional<QByteArray> valueOf(const QByteArray &name, const QString &mac) const {
        for (const Sample &s : samples)
            if (s.name == name && s.labels.value(u"mac"_s) == mac)
                return s.value;
        return std::nullopt;
    }
};

bool isMetricName(const QByteArray &name) {
    if (name.isEmpty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
              c == ':'))
            return false;
    return true;
}

// Labels "{a=\"…\",b=\"…\"}" from position pos; returns the position after the brace, or -1.
qsizetype parseLabels(const QByteArray &line, qsizetype pos, QMap<QString, QString> &labels) {
    ++pos; // '{'
    while (pos < line.size() && line[pos] != '}') {
        const qsizetype equals = line.indexOf('=', pos);
        if (equals < 0 || equals + 1 >= line.size() || line[equals + 1] != '"')
            return -1;
        const QByteArray labelName = line.mid(pos, equals - pos);
        if (!isMetricName(labelName))
            return -1;
        QByteArray value;
        qsizetype i = equals + 2;
        for (; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\') {
                if (++i >= line.size())
                    return -1;
                const char escaped = line[i];
                if (escaped == 'n')
                    value.append('\n');
                else if (escaped == '\\' || escaped == '"')
                    value.append(escaped);
                else
                    return -1;
            } else {
                value.append(line[i]);
            }
        }
        if (i >= line.size())
            return -1;
        if (labels.contains(QString::fromLatin1(labelName)))
            return -1;
        labels.insert(QString::fromLatin1(labelName), QString::fromUtf8(value));
        pos = i + 1;
        if (pos < line.size() && line[pos] == ',')
            ++pos;
    }
    return pos < line.size() ? pos + 1 : -1;
}

Scrape parse(const QByteArray &text) {
    Scrape scrape;
    if (!text.endsWith('\n'))
        scrape.faults << u"the text does not end with a line feed"_s;
    if (QString::fromUtf8(text).toUtf8() != text)
        scrape.faults << u"the text is not valid UTF-8"_s;
    QHash<QByteArray, int> helps;
    QSet<QByteArray> sampled;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n + 1 < lines.size(); ++n) {
        const QByteArray &line = lines[n];
        const QString where = u"line %1 \"%2\": "_s.arg(n + 1).arg(QString::fromUtf8(line));
        if (line.startsWith("# HELP ") || line.startsWith("# TYPE ")) {
            const QList<QByteArray> words = line.split(' ');
            const QByteArray &name = words.value(2);
            if (sampled.contains(name))
                scrape.faults << where + u"comes after the family's samples"_s;
            if (line.startsWith("# HELP ")) {
                if (++helps[name] > 1)
                    scrape.faults << where + u"a second HELP"_s;
                if (words.size() < 4)
                    scrape.faults << where + u"HELP without a text"_s;
            } else {
                if (scrape.types.contains(name))
                    scrape.faults << where + u"a second TYPE"_s;
                scrape.types.insert(name, words.value(3));
                if (words.size() != 4 || (words[3] != "gauge" && words[3] != "counter"))
                    scrape.faults << where + u"not \"# TYPE name gauge|counter\""_s;
            }
            continue;
        }
        Sample sample;
        qsizetype pos = 0;
        while (pos < line.size() && line[pos] != '{' && line[pos] != ' ')
            ++pos;
        sample.name = line.left(pos);
        if (pos < line.size() && line[pos] == '{')
            pos = parseLabels(line, pos, sample.labels);
        if (pos < 0 || pos >= line.size() || line[pos] != ' ' || !isMetricName(sample.name)) {
            scrape.faults << where + u"not \"name{labels} value\""_s;
            continue;
        }
        sample.value = line.mid(pos + 1);
        bool isNumber = false;
        sample.value.toDouble(&isNumber);
        if (!isNumber && sample.value != "NaN" && sample.value != "+Inf" && sample.value != "-Inf")
            scrape.faults << where + u"the value is no number"_s;
        if (!scrape.types.contains(sample.name) || helps.value(sample.name) != 1)
            scrape.faults << where + u"a sample before its family's HELP and TYPE"_s;
        sampled.insert(sample.name);
        scrape.samples.append(sample);
    }
    return scrape;
}

QString faultsOf(const Scrape &scrape) {
    return scrape.faults.join(u'\n');
}

const QString kOnline = u"00A0F1000001"_s;
const QString kOffline = u"00A0F1000002"_s;
const QString kUnknown = u"00A0F1000003"_s;
const QString kSilent = u"00A0F1000004"_s;
const QString kSounding = u"00A0F1000005"_s;
const QString kWaiting = u"00A0F1000006"_s;

QString macOf(const QString &key) {
    QString mac;
    for (int i = 0; i < 12; i += 2)
        mac += (i ? u":"_s : QString()) + key.mid(i, 2);
    return mac;
}

class MetricsTextTest : public ::testing::Test {
protected:
    MetricsTextTest() {
        board.replaceListing({
            {kOnline, u"Studio \"A\" \\ Encoder"_s + QChar(0xE9), u"10.0.0.1"_s, ElementRole::Encoder},
            {kOffline, u"Tx\nDecoder"_s, u"10.0.0.2"_s, ElementRole::Decoder},
            {kUnknown, u"Spare"_s, QString(), ElementRole::Unknown},
            {kSilent, u"Silent"_s, u"10.0.0.4"_s, ElementRole::Encoder},
            {kSounding, u"Sounding"_s, u"10.0.0.5"_s, ElementRole::Encoder},
            {kWaiting, u"Waiting"_s, u"10.0.0.6"_s, ElementRole::Encoder},
        });
        board.setReachability(kOnline, ElementStatus::Online, heard, 12);
        // Heard once, three probes missed since: offline, with the time it was last heard.
        board.setReachability(kOffline, ElementStatus::Offline, heard.addSecs(-60), std::nullopt);
        board.setReachability(kSilent, ElementStatus::Online, heard, 1500);
        board.setReachability(kSounding, ElementStatus::Online, heard, 0);
        board.setSilence(kSilent, SilenceState::Silent);
        board.setLevel(kSilent, -72.25);
        board.setSilence(kSounding, SilenceState::Sounding);
        board.setLevel(kSounding, -18.5);
        board.setSilence(kWaiting, SilenceState::Waiting);
    }

    const QDateTime heard = QDateTime::fromMSecsSinceEpoch(1'796'000'000'123, Qt::UTC);
    StatusBoard board;
};

TEST_F(MetricsTextTest, EveryFamilyIsDeclaredOnceBeforeItsSamplesAndEveryLineReadsBack) {
    const Scrape scrape = parse(metricsText(board));
    EXPECT_TRUE(scrape.faults.isEmpty()) << faultsOf(scrape).toStdString();
    const QHash<QByteArray, QByteArray> expected = {
        {"ondalink_element_up", "gauge"},
        {"ondalink_element_round_trip_seconds", "gauge"},
        {"ondalink_element_last_seen_timestamp_seconds", "gauge"},
        {"ondalink_element_silent", "gauge"},
        {"ondalink_encoder_level_dbfs", "gauge"},
        {"ondalink_elements", "gauge"},
        {"ondalink_probes_sent_total", "counter"},
        {"ondalink_datagrams_dropped_total", "counter"},
        {"ondalink_database_reloads_total", "counter"},
        {"ondalink_database_reload_failures_total", "counter"},
    };
    EXPECT_EQ(scrape.types, expected);
    // Every element sample carries the four labels, with the board's values.
    for (const Sample &s : scrape.samples) {
        if (!s.name.startsWith("ondalink_element_") && !s.name.startsWith("ondalink_encoder_"))
            continue;
        EXPECT_EQ(s.labels.keys(), (QStringList{u"ip"_s, u"mac"_s, u"name"_s, u"role"_s})) << s.name.data();
        const BoardRow *row = board.row(QString(s.labels.value(u"mac"_s)).remove(u':'));
        ASSERT_NE(row, nullptr) << s.name.data();
        EXPECT_EQ(s.labels.value(u"ip"_s), row->ip);
        EXPECT_EQ(s.labels.value(u"name"_s), row->name);
    }
}

TEST_F(MetricsTextTest, LabelValuesAreEscapedAndUtf8) {
    const QByteArray text = metricsText(board);
    // The name with a quote, a backslash and a Latin-1 letter, as the format writes it.
    EXPECT_TRUE(text.contains("name=\"Studio \\\"A\\\" \\\\ Encoder\xC3\xA9\"")) << text.constData();
    EXPECT_TRUE(text.contains("name=\"Tx\\nDecoder\""));
    const Scrape scrape = parse(text);
    ASSERT_TRUE(scrape.faults.isEmpty()) << faultsOf(scrape).toStdString();
    const QList<Sample> up = scrape.family("ondalink_element_up");
    ASSERT_FALSE(up.isEmpty());
    EXPECT_EQ(up[0].labels.value(u"name"_s), u"Studio \"A\" \\ Encoder"_s + QChar(0xE9));
    EXPECT_EQ(up[0].labels.value(u"mac"_s), u"00:A0:F1:00:00:01"_s);
    EXPECT_EQ(up[0].labels.value(u"role"_s), u"encoder"_s);
    EXPECT_EQ(up[1].labels.value(u"name"_s), u"Tx\nDecoder"_s);
    EXPECT_EQ(up[1].labels.value(u"role"_s), u"decoder"_s);
}

TEST_F(MetricsTextTest, OnlyWhatWasMeasuredHasASample) {
    const Scrape scrape = parse(metricsText(board));
    ASSERT_TRUE(scrape.faults.isEmpty()) << faultsOf(scrape).toStdString();
    const auto value = [&](const char *name, const QString &key) { return scrape.valueOf(name, macOf(key)); };

    EXPECT_EQ(value("ondalink_element_up", kOnline), "1");
    EXPECT_EQ(value("ondalink_element_up", kOffline), "0");
    EXPECT_EQ(value("ondalink_element_up", kUnknown), std::nullopt);
    EXPECT_EQ(value("ondalink_element_up", kWaiting), std::nullopt);
    EXPECT_EQ(scrape.family("ondalink_element_up").size(), 4);

    EXPECT_EQ(value("ondalink_element_round_trip_seconds", kOnline), "0.012");
    EXPECT_EQ(value("ondalink_element_round_trip_seconds", kSilent), "1.500");
    EXPECT_EQ(value("ondalink_element_round_trip_seconds", kSounding), "0.000");
    EXPECT_EQ(value("ondalink_element_round_trip_seconds", kOffline), std::nullopt);

    EXPECT_EQ(value("ondalink_element_last_seen_timestamp_seconds", kOnline), "1796000000.123");
    EXPECT_EQ(value("ondalink_element_last_seen_timestamp_seconds", kOffline), "1795999940.123");
    EXPECT_EQ(value("ondalink_element_last_seen_timestamp_seconds", kUnknown), std::nullopt);
    EXPECT_EQ(scrape.family("ondalink_element_last_seen_timestamp_seconds").size(), 4);

    EXPECT_EQ(value("ondalink_element_silent", kSilent), "1");
    EXPECT_EQ(value("ondalink_element_silent", kSounding), "0");
    EXPECT_EQ(value("ondalink_element_silent", kWaiting), "0");
    EXPECT_EQ(value("ondalink_element_silent", kOnline), std::nullopt);
    EXPECT_EQ(scrape.family("ondalink_element_silent").size(), 3);

    EXPECT_EQ(value("ondalink_encoder_level_dbfs", kSilent), "-72.25");
    EXPECT_EQ(value("ondalink_encoder_level_dbfs", kSounding), "-18.5");
    EXPECT_EQ(value("ondalink_encoder_level_dbfs", kWaiting), std::nullopt);
    EXPECT_EQ(scrape.family("ondalink_encoder_level_dbfs").size(), 2);

    ASSERT_EQ(scrape.family("ondalink_elements").size(), 1);
    EXPECT_EQ(scrape.family("ondalink_elements").at(0).value, "6");
}

TEST_F(MetricsTextTest, AnEncoderNoLongerWatchedLosesItsSilenceAndLevel) {
    board.setSilence(kSilent, SilenceState::NotWatched);
    const Scrape scrape = parse(metricsText(board));
    EXPECT_EQ(scrape.valueOf("ondalink_element_silent", macOf(kSilent)), std::nullopt);
    EXPECT_EQ(scrape.valueOf("ondalink_encoder_level_dbfs", macOf(kSilent)), std::nullopt);
    EXPECT_EQ(scrape.valueOf("ondalink_element_up", macOf(kSilent)), "1");
}

TEST_F(MetricsTextTest, CountersAreReadFromTheirSourceAtEachScrape) {
    ServiceCounters counts;
    board.setCounterSource([&counts] { return counts; });
    const auto counter = [&](const char *name) {
        const QList<Sample> family = parse(metricsText(board)).family(name);
        EXPECT_EQ(family.size(), 1) << name;
        EXPECT_TRUE(family.value(0).labels.isEmpty()) << name;
        return family.value(0).value;
    };
    EXPECT_EQ(counter("ondalink_probes_sent_total"), "0");
    counts = {.probesSent = 18'446'744'073'709'551'615ULL,
              .datagramsDropped = 7,
              .databaseReloads = 3,
              .databaseReloadFailures = 1};
    EXPECT_EQ(counter("ondalink_probes_sent_total"), "18446744073709551615");
    EXPECT_EQ(counter("ondalink_datagrams_dropped_total"), "7");
    EXPECT_EQ(counter("ondalink_database_reloads_total"), "3");
    EXPECT_EQ(counter("ondalink_database_reload_failures_total"), "1");
}

TEST_F(MetricsTextTest, AnEmptyBoardStillDeclaresItsFamilies) {
    StatusBoard empty;
    const Scrape scrape = parse(metricsText(empty));
    EXPECT_TRUE(scrape.faults.isEmpty()) << faultsOf(scrape).toStdString();
    EXPECT_EQ(scrape.types.size(), 10);
    EXPECT_EQ(scrape.family("ondalink_elements").value(0).value, "0");
}

// Prometheus's own linter reads the text as the server would; skipped where it is not installed.
TEST_F(MetricsTextTest, PromtoolFindsNothingToSay) {
    const QString promtool = QStandardPaths::findExecutable(u"promtool"_s);
    if (promtool.isEmpty())
        GTEST_SKIP() << "promtool is not installed";
    QProcess check;
    check.start(promtool, {u"check"_s, u"metrics"_s});
    ASSERT_TRUE(check.waitForStarted(5000));
    check.write(metricsText(board));
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(20000));
    const QByteArray said = check.readAllStandardOutput() + check.readAllStandardError();
    EXPECT_EQ(check.exitCode(), 0) << said.constData();
    EXPECT_TRUE(said.trimmed().isEmpty()) << said.constData();
}

} // namespace
} // namespace ondalink

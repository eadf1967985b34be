// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/metrics/metrics_text.h"

#include "service/status_board.h"

#include <cmath>
#include <vector>

namespace ondalink {
namespace {

// A label value: backslash, double quote and line feed escaped, the rest as UTF-8.
void appendLabelValue(QByteArray &out, const QString &value) {
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out.append("\\\\");
            break;
        case '"':
            out.append("\\\"");
            break;
        case '\n':
            out.append("\\n");
            break;
        default:
            out.append(c);
        }
    }
}

QByteArray roleText(ElementRole role) {
    switch (role) {
    case ElementRole::Encoder:
        return QByteArrayLiteral("encoder");
    case ElementRole::Decoder:
        return QByteArrayLiteral("decoder");
    case ElementRole::Unknown:
        break;
    }
    return QByteArrayLiteral("unknown");
}

// "{mac=\"…\",name=\"…\",ip=\"…\",role=\"…\"}", made once a row and used by every family.
QByteArray labelsOf(const BoardRow &row) {
    QByteArray labels;
    labels.reserve(48 + row.name.size() + row.ip.size());
    labels.append("{mac=\"");
    appendLabelValue(labels, row.mac);
    labels.append("\",name=\"");
    appendLabelValue(labels, row.name);
    labels.append("\",ip=\"");
    appendLabelValue(labels, row.ip);
    labels.append("\",role=\"");
    labels.append(roleText(row.role));
    labels.append("\"}");
    return labels;
}

// Milliseconds as seconds with three decimals, exactly: 12 is "0.012", never 0.012000000000000001.
void appendMillisecondsAsSeconds(QByteArray &out, qint64 ms) {
    if (ms < 0) {
        out.append('-');
        ms = -ms;
    }
    out.append(QByteArray::number(ms / 1000));
    const auto fraction = static_cast<int>(ms % 1000);
    out.append('.');
    out.append(static_cast<char>('0' + fraction / 100));
    out.append(static_cast<char>('0' + fraction / 10 % 10));
    out.append(static_cast<char>('0' + fraction % 10));
}

void appendDouble(QByteArray &out, double value) {
    if (std::isnan(value))
        out.append("NaN");
    else if (std::isinf(value))
        out.append(value > 0 ? "+Inf" : "-Inf");
    else
        out.append(QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
}

void appendHeader(QByteArray &out, const char *name, const char *type, const char *help) {
    out.append("# HELP ").append(name).append(' ').append(help).append('\n');
    out.append("# TYPE ").append(name).append(' ').append(type).append('\n');
}

void appendCounter(QByteArray &out, const char *name, const char *help, quint64 value) {
    appendHeader(out, name, "counter", help);
    out.append(name).append(' ').append(QByteArray::number(value)).append('\n');
}

} // namespace

QByteArray metricsText(const StatusBoard &board) {
    const QList<BoardRow> &rows = board.rows();
    std::vector<QByteArray> labels;
    labels.reserve(static_cast<std::size_t>(rows.size()));
    qsizetype labelBytes = 0;
    for (const BoardRow &row : rows) {
        labels.push_back(labelsOf(row));
        labelBytes += labels.back().size();
    }

    QByteArray out;
    // Up to five samples an element, each its name, its labels and a value.
    out.reserve(2048 + 5 * (labelBytes + 64 * rows.size()));

    const auto eachRow = [&](auto &&sample) {
        for (qsizetype i = 0; i < rows.size(); ++i)
            sample(rows[i], labels[static_cast<std::size_t>(i)]);
    };
    const auto appendSampleStart = [&out](const char *name, const QByteArray &rowLabels) {
        out.append(name).append(rowLabels).append(' ');
    };

    appendHeader(out, "ondalink_element_up", "gauge",
                 "Whether the element answers: 1 online, 0 offline; no sample before its status is known.");
    eachRow([&](const BoardRow &row, const QByteArray &rowLabels) {
        if (row.status == ElementStatus::Unknown)
            return;
        appendSampleStart("ondalink_element_up", rowLabels);
        out.append(row.status == ElementStatus::Online ? "1\n" : "0\n");
    });

    appendHeader(out, "ondalink_element_round_trip_seconds", "gauge",
                 "Round trip of the element's last answered echo, in seconds.");
    eachRow([&](const BoardRow &row, const QByteArray &rowLabels) {
        if (!row.roundTripMs)
            return;
        appendSampleStart("ondalink_element_round_trip_seconds", rowLabels);
        appendMillisecondsAsSeconds(out, *row.roundTripMs);
        out.append('\n');
    });

    appendHeader(out, "ondalink_element_last_seen_timestamp_seconds", "gauge",
                 "When the element was last heard from, in Unix seconds.");
    eachRow([&](const BoardRow &row, const QByteArray &rowLabels) {
        if (!row.lastSeen.isValid())
            return;
        appendSampleStart("ondalink_element_last_seen_timestamp_seconds", rowLabels);
        appendMillisecondsAsSeconds(out, row.lastSeen.toMSecsSinceEpoch());
        out.append('\n');
    });

    appendHeader(out, "ondalink_element_silent", "gauge",
                 "Whether a watched encoder's audio is silent: 1 under the silence alarm, 0 otherwise.");
    eachRow([&](const BoardRow &row, const QByteArray &rowLabels) {
        if (row.silence == SilenceState::NotWatched)
            return;
        appendSampleStart("ondalink_element_silent", rowLabels);
        out.append(row.silence == SilenceState::Silent ? "1\n" : "0\n");
    });

    appendHeader(out, "ondalink_encoder_level_dbfs", "gauge",
                 "The last audio level reported by a watched encoder, in dBFS.");
    eachRow([&](const BoardRow &row, const QByteArray &rowLabels) {
        if (row.silence == SilenceState::NotWatched || !row.levelDbfs)
            return;
        appendSampleStart("ondalink_encoder_level_dbfs", rowLabels);
        appendDouble(out, *row.levelDbfs);
        out.append('\n');
    });

    appendHeader(out, "ondalink_elements", "gauge", "Elements listed in the database.");
    out.append("ondalink_elements ").append(QByteArray::number(rows.size())).append('\n');

    const ServiceCounters counters = board.counters();
    appendCounter(out, "ondalink_probes_sent_total", "Reachability probes sent since the service started.",
                  counters.probesSent);
    appendCounter(out, "ondalink_datagrams_dropped_total",
                  "Datagrams the receive queue dropped because it was full, since the service started.",
                  counters.datagramsDropped);
    appendCounter(out, "ondalink_database_reloads_total",
                  "Readings of the database after it changed, since the service started.",
                  counters.databaseReloads);
    appendCounter(out, "ondalink_database_reload_failures_total",
                  "Changes of the database that could not be read, since the service started.",
                  counters.databaseReloadFailures);
    return out;
}

} // namespace ondalink

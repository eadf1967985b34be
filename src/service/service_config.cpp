// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/service_config.h"

#include "model/ipv4.h"
#include "model/mac_text.h"
#include "status/status_settings.h"

#include <QHash>
#include <QRegularExpression>

#include <functional>

using namespace Qt::StringLiterals;

namespace ondalink {

QString ConfigError::text(const QString &path) const {
    QString out = path;
    if (line > 0)
        out += u':' + QString::number(line);
    out += u": "_s;
    if (!key.isEmpty())
        out += key + u": "_s;
    return out + message;
}

namespace {

std::optional<bool> parseBool(const QString &value) {
    const QString v = value.toLower();
    if (v == u"yes" || v == u"true" || v == u"on" || v == u"1")
        return true;
    if (v == u"no" || v == u"false" || v == u"off" || v == u"0")
        return false;
    return std::nullopt;
}

// Plain decimal digits only: "10s", "1e3" and "0x10" are refused rather than half read.
std::optional<int> parseWhole(const QString &value, int low, int high) {
    static const QRegularExpression digits(u"^-?[0-9]{1,9}$"_s);
    if (!digits.match(value).hasMatch())
        return std::nullopt;
    const int number = value.toInt();
    if (number < low || number > high)
        return std::nullopt;
    return number;
}

std::optional<double> parseDecimal(const QString &value, double low, double high) {
    static const QRegularExpression decimal(u"^-?[0-9]{1,6}(\\.[0-9]{1,6})?$"_s);
    if (!decimal.match(value).hasMatch())
        return std::nullopt;
    const double number = value.toDouble();
    if (number < low || number > high)
        return std::nullopt;
    return number;
}

// 00:A0:12:34:56:78, 00-A0-12-34-56-78 or 00A012345678, any case.
QString parseMac(const QString &value) {
    static const QRegularExpression form(u"^[0-9A-Fa-f]{2}([:-]?)[0-9A-Fa-f]{2}(\\1[0-9A-Fa-f]{2}){4}$"_s);
    if (!form.match(value).hasMatch())
        return {};
    QString key = value;
    key.remove(u':').remove(u'-');
    return key.toUpper();
}

// ADDRESS:PORT, the address dotted IPv4 or [IPv6]; port 0 takes any free one.
std::optional<std::pair<QHostAddress, quint16>> parseListen(const QString &value) {
    const qsizetype colon = value.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    QString host = value.left(colon);
    const auto port = parseWhole(value.mid(colon + 1), 0, 65535);
    if (!port)
        return std::nullopt;
    QHostAddress address;
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        if (!address.setAddress(host.mid(1, host.size() - 2)) ||
            address.protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
    } else if (const auto dotted = parseDottedAddress(host)) {
        address = QHostAddress(dotted->value);
    } else {
        return std::nullopt;
    }
    return std::pair{address, static_cast<quint16>(*port)};
}

QString quoted(const QString &value) {
    return u" \""_s + value + u'"';
}

} // namespace

ConfigResult parseServiceConfig(QByteArrayView text) {
    ServiceConfig config;
    ConfigResult result;
    QHash<QString, int> seenOn;
    int timeoutLine = 0;
    std::optional<int> timeoutMs;

    const auto fail = [&result](int line, const QString &key, const QString &message) {
        result.error = {line, key, message};
        return result;
    };

    // What each key accepts; false with the message when the value is refused.
    using Setter = std::function<bool(const QString &, QString *)>;
    const auto whole = [](int low, int high, const QString &unit,
                          const std::function<void(int)> &set) -> Setter {
        return [=](const QString &value, QString *why) {
            const auto number = parseWhole(value, low, high);
            if (!number) {
                *why =
                    u"not a whole number of %1 from %2 to %3:"_s.arg(unit).arg(low).arg(high) + quoted(value);
                return false;
            }
            set(*number);
            return true;
        };
    };
    const auto flag = [](bool &target) -> Setter {
        return [&target](const QString &value, QString *why) {
            const auto on = parseBool(value);
            if (!on) {
                *why = u"not yes or no:"_s + quoted(value);
                return false;
            }
            target = *on;
            return true;
        };
    };
    const auto path = [](QString &target) -> Setter {
        return [&target](const QString &value, QString *why) {
            if (value.isEmpty()) {
                *why = u"empty: give a path, or leave the line out for the default"_s;
                return false;
            }
            target = value;
            return true;
        };
    };

    const QHash<QString, Setter> keys{
        {u"database"_s, path(config.database)},
        {u"event_folder"_s, path(config.eventFolder)},
        {u"journal"_s, flag(config.journal)},
        {u"probe_interval"_s, whole(kProbeIntervalMinS, kProbeIntervalMaxS, u"seconds"_s,
                                    [&](int s) { config.reachability.intervalMs = s * 1000; })},
        {u"probe_timeout"_s, whole(100, 10000, u"milliseconds"_s, [&](int ms) { timeoutMs = ms; })},
        {u"offline_after"_s,
         whole(1, 100, u"missed probes"_s, [&](int n) { config.reachability.missesForOffline = n; })},
        {u"silence_threshold"_s,
         [&](const QString &value, QString *why) {
             const auto dbfs = parseDecimal(value, kSilenceThresholdMinDbfs, kSilenceThresholdMaxDbfs);
             if (!dbfs) {
                 *why = u"not a level in dBFS from %1 to 0:"_s.arg(kSilenceThresholdMinDbfs) + quoted(value);
                 return false;
             }
             config.silence.thresholdDbfs = *dbfs;
             return true;
         }},
        {u"silence_hold"_s, whole(kSilenceHoldMinS, kSilenceHoldMaxS, u"seconds"_s,
                                  [&](int s) { config.silence.holdMs = s * 1000; })},
        {u"silence_clear"_s, whole(1, 3600, u"seconds"_s, [&](int s) { config.silence.clearMs = s * 1000; })},
        {u"level_interval"_s,
         whole(100, 60000, u"milliseconds"_s, [&](int ms) { config.silence.requestIntervalMs = ms; })},
        {u"prometheus"_s, flag(config.metrics.enabled)},
        {u"prometheus_listen"_s,
         [&](const QString &value, QString *why) {
             const auto listen = parseListen(value);
             if (!listen) {
                 *why = u"not ADDRESS:PORT (127.0.0.1:9745, [::1]:9745):"_s + quoted(value);
                 return false;
             }
             std::tie(config.metrics.address, config.metrics.port) = *listen;
             return true;
         }},
        {u"snmp"_s, flag(config.agentx.enabled)},
        {u"agentx_socket"_s, path(config.agentx.socket)},
        {u"agentx_ping_interval"_s,
         whole(1, 3600, u"seconds"_s, [&](int s) { config.agentx.pingIntervalSeconds = s; })},
        {u"watch"_s,
         [&](const QString &value, QString *why) {
             for (const QString &item : value.split(u',')) {
                 const QString key = parseMac(item.trimmed());
                 if (key.isEmpty()) {
                     *why = u"not a MAC address (00:A0:12:34:56:78):"_s + quoted(item.trimmed());
                     return false;
                 }
                 if (!config.watched.contains(key))
                     config.watched.append(key);
             }
             return true;
         }},
    };

    const QString all = QString::fromUtf8(text);
    const QStringList lines = all.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return fail(number, {}, u"not \"key = value\":"_s + quoted(line));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        const auto setter = keys.constFind(key);
        if (key.isEmpty())
            return fail(number, {}, u"no key before \"=\""_s);
        if (setter == keys.cend())
            return fail(number, key, u"unknown key"_s);
        if (key != u"watch") {
            if (const auto first = seenOn.constFind(key); first != seenOn.cend())
                return fail(number, key, u"given twice (first on line %1)"_s.arg(*first));
            seenOn.insert(key, number);
        }
        if (key == u"probe_timeout")
            timeoutLine = number;
        QString why;
        if (!(*setter)(value, &why))
            return fail(number, key, why);
    }
    if (timeoutMs) {
        if (*timeoutMs > config.reachability.intervalMs)
            return fail(timeoutLine, u"probe_timeout"_s,
                        u"%1 ms is longer than the probe interval (%2 s)"_s.arg(*timeoutMs)
                            .arg(config.reachability.intervalMs / 1000));
        config.reachability.echoTimeoutMs = *timeoutMs;
    } else {
        config.reachability.echoTimeoutMs =
            std::min(config.reachability.echoTimeoutMs, config.reachability.intervalMs);
    }
    result.config = config;
    return result;
}

} // namespace ondalink

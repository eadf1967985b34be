// SPDX-License-Identifier: GPL-3.0-or-later
// The service's configuration file: every key read into its place, and each kind of fault named
// with its line and key, with nothing returned.
#include "service/service_config.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(ServiceConfig, EveryKeyReachesItsSettingAndAMissingOneKeepsItsDefault) {
    const ConfigResult defaults = parseServiceConfig("# nothing but a comment\n\n");
    ASSERT_TRUE(defaults.config);
    EXPECT_EQ(defaults.config->reachability.intervalMs, 10000);
    EXPECT_EQ(defaults.config->reachability.echoTimeoutMs, 1000);
    EXPECT_TRUE(defaults.config->metrics.enabled);
    EXPECT_EQ(defaults.config->metrics.address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_TRUE(defaults.config->database.isEmpty());

    const ConfigResult read = parseServiceConfig("database = /srv/link/nms.ini\r\n"
                                                 "event_folder=/var/log/ondalink-nmsd\n"
                                                 "  journal = off\n"
                                                 "probe_interval = 30\n"
                                                 "probe_timeout = 2500\n"
                                                 "offline_after = 5\n"
                                                 "watch = 00:a0:12:34:56:78, 00-A0-12-34-56-79\n"
                                                 "watch = 00A01234567A, 00:A0:12:34:56:78\n"
                                                 "silence_threshold = -62.5\n"
                                                 "silence_hold = 20\n"
                                                 "silence_clear = 4\n"
                                                 "level_interval = 500\n"
                                                 "prometheus = yes\n"
                                                 "prometheus_listen = [::1]:9100\n"
                                                 "snmp = no\n"
                                                 "agentx_socket = tcp:127.0.0.1:705\n"
                                                 "agentx_ping_interval = 5\n");
    ASSERT_TRUE(read.config) << qPrintable(read.error.text(u"f"_s));
    const ServiceConfig &c = *read.config;
    EXPECT_EQ(c.database, u"/srv/link/nms.ini");
    EXPECT_EQ(c.eventFolder, u"/var/log/ondalink-nmsd");
    EXPECT_FALSE(c.journal);
    EXPECT_EQ(c.reachability.intervalMs, 30000);
    EXPECT_EQ(c.reachability.echoTimeoutMs, 2500);
    EXPECT_EQ(c.reachability.missesForOffline, 5);
    // Every form of a MAC is one element key, and a repeat is watched once.
    EXPECT_EQ(c.watched, (QStringList{u"00A012345678"_s, u"00A012345679"_s, u"00A01234567A"_s}));
    EXPECT_DOUBLE_EQ(c.silence.thresholdDbfs, -62.5);
    EXPECT_EQ(c.silence.holdMs, 20000);
    EXPECT_EQ(c.silence.clearMs, 4000);
    EXPECT_EQ(c.silence.requestIntervalMs, 500);
    EXPECT_EQ(c.metrics.address, QHostAddress(QHostAddress::LocalHostIPv6));
    EXPECT_EQ(c.metrics.port, 9100);
    EXPECT_FALSE(c.agentx.enabled);
    EXPECT_EQ(c.agentx.socket, u"tcp:127.0.0.1:705");
    EXPECT_EQ(c.agentx.pingIntervalSeconds, 5);
}

TEST(ServiceConfig, AShortIntervalBringsTheDefaultTimeoutDownWithIt) {
    const ConfigResult read = parseServiceConfig("probe_interval = 2\n");
    ASSERT_TRUE(read.config);
    EXPECT_LE(read.config->reachability.echoTimeoutMs, 2000);
}

struct BadLine {
    const char *text;
    int line;
    const char *key;
    const char *says; // a part of the message
};

TEST(ServiceConfig, AFaultNamesItsLineAndKeyAndNothingIsReturned) {
    const BadLine cases[] = {
        {"probe_interval = 10\nprobe_intervall = 10\n", 2, "probe_intervall", "unknown key"},
        {"# a\n\njust words\n", 3, "", "not \"key = value\": \"just words\""},
        {"= 3\n", 1, "", "no key"},
        {"probe_interval = 1\n", 1, "probe_interval", "from 2 to 3600: \"1\""},
        {"probe_interval = 10s\n", 1, "probe_interval", "\"10s\""},
        {"probe_interval = 0x10\n", 1, "probe_interval", "whole number"},
        {"probe_interval = 99999999999\n", 1, "probe_interval", "whole number"},
        {"offline_after = 0\n", 1, "offline_after", "from 1 to 100"},
        {"journal = maybe\n", 1, "journal", "not yes or no: \"maybe\""},
        {"silence_threshold = 3\n", 1, "silence_threshold", "dBFS"},
        {"silence_threshold = -1e2\n", 1, "silence_threshold", "dBFS"},
        {"watch = 00:A0:12:34:56:78, 00:A0:12:34:56\n", 1, "watch", "\"00:A0:12:34:56\""},
        {"watch = 00:A0-12:34:56:78\n", 1, "watch", "MAC"},
        {"prometheus_listen = localhost:9745\n", 1, "prometheus_listen", "ADDRESS:PORT"},
        {"prometheus_listen = 127.0.0.1:70000\n", 1, "prometheus_listen", "ADDRESS:PORT"},
        {"prometheus_listen = 127.0.0.1\n", 1, "prometheus_listen", "ADDRESS:PORT"},
        {"database =\n", 1, "database", "empty"},
        {"snmp = yes\nprometheus = no\nsnmp = no\n", 3, "snmp", "given twice (first on line 1)"},
        {"probe_timeout = 5000\nprobe_interval = 2\n", 1, "probe_timeout",
         "longer than the probe interval (2 s)"},
    };
    for (const BadLine &bad : cases) {
        SCOPED_TRACE(bad.text);
        const ConfigResult read = parseServiceConfig(bad.text);
        EXPECT_FALSE(read.config);
        EXPECT_EQ(read.error.line, bad.line);
        EXPECT_EQ(read.error.key, QString::fromLatin1(bad.key));
        EXPECT_TRUE(read.error.message.contains(QString::fromLatin1(bad.says)))
            << qPrintable(read.error.message);
    }
}

TEST(ServiceConfig, TheErrorReadsLikeACompilersWithThePathLineAndKey) {
    const ConfigResult read = parseServiceConfig("\nsnmp = perhaps\n");
    EXPECT_EQ(read.error.text(u"/etc/ondalink/nmsd.conf"_s),
              u"/etc/ondalink/nmsd.conf:2: snmp: not yes or no: \"perhaps\""_s);
    EXPECT_EQ((ConfigError{0, {}, u"no such file"_s}).text(u"/x.conf"_s), u"/x.conf: no such file"_s);
}

} // namespace
} // namespace ondalink

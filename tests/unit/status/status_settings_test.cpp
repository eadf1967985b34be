// SPDX-License-Identifier: GPL-3.0-or-later
// The status settings in the program's own settings file: defaults and ranges. The round trip is the
// settings dialog's (console suite).
#include "status/status_settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(StatusSettings, BadOrOutOfRangeValuesReadAsTheNearestAllowed) {
    QTemporaryDir dir;
    QSettings file(dir.filePath(u"ondalink-nms.conf"_s), QSettings::IniFormat);
    const std::vector<std::tuple<const char *, QVariant, std::function<bool(const StatusSettings &)>>> rows{
        {"probeIntervalSeconds", 1, [](const StatusSettings &s) { return s.probeIntervalS == 2; }},
        {"probeIntervalSeconds", 99999, [](const StatusSettings &s) { return s.probeIntervalS == 3600; }},
        {"probeIntervalSeconds", u"ten"_s, [](const StatusSettings &s) { return s.probeIntervalS == 10; }},
        {"silenceThresholdDbfs", 12, [](const StatusSettings &s) { return s.silenceThresholdDbfs == 0.0; }},
        {"silenceThresholdDbfs", u"nan"_s,
         [](const StatusSettings &s) { return s.silenceThresholdDbfs == -50.0; }},
        {"silenceHoldSeconds", 0, [](const StatusSettings &s) { return s.silenceHoldS == 1; }},
        {"notifications", u"maybe"_s, [](const StatusSettings &s) { return s.notificationsEnabled; }},
        {"watched", QStringList{u"00a0c9000001"_s, u"../etc"_s, u""_s},
         [](const StatusSettings &s) { return s.watchedElements == QSet<QString>{u"00A0C9000001"_s}; }},
    };
    for (const auto &[key, value, check] : rows) {
        SCOPED_TRACE(key);
        file.clear();
        file.setValue(u"Status/"_s + QLatin1StringView(key), value);
        EXPECT_TRUE(check(readStatusSettings(file))) << value.toString().toStdString();
    }
}

} // namespace
} // namespace ondalink

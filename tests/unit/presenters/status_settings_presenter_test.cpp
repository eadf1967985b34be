// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/status_settings_presenter.h"

#include "fake_status.h"
#include "fakes.h"
#include "link/element_link.h"
#include "status/alarm_notifier.h"
#include "status/reachability_monitor.h"
#include "status/silence_watch.h"
#include "store/element_database.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

const QString kEncoder = u"00A0C9000002"_s;
const QString kOther = u"00A0C9000003"_s;

// The monitors the settings drive, over a database and a link that are never used.
struct Monitors {
    QTemporaryDir folder;
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    testing::FakeClock clock;
    testing::FakeAsyncProber prober;
    testing::RecordingSink sink;
    ElementDatabase database{folder.filePath(u"nms.ini"_s)};
    ElementLink link{database, notifier, resolver, [] { return ConfigurationWrite{}; }};
    ReachabilityMonitor reachability{database, prober, clock};
    SilenceWatch silence{link, database, clock};
    AlarmNotifier alarms{sink, reachability, &silence};
    QSettings store{folder.filePath(u"user.conf"_s), QSettings::IniFormat};

    // What the monitors run with, in the settings' own terms.
    StatusSettings running() const {
        StatusSettings s;
        s.probingEnabled = reachability.isEnabled();
        s.probeIntervalS = reachability.intervalMs() / 1000;
        s.silenceThresholdDbfs = silence.options().thresholdDbfs;
        s.silenceHoldS = silence.options().holdMs / 1000;
        s.silenceClearS = silence.options().clearMs / 1000;
        s.notificationsEnabled = alarms.isEnabled();
        s.watchedElements = silence.watched();
        return s;
    }
};

TEST(StatusSettingsPresenter, WhatIsStoredRunsAtStartAndWhatIsAppliedIsStoredInRange) {
    Monitors m;
    StatusSettings stored;
    stored.probingEnabled = false;
    stored.probeIntervalS = 30;
    stored.silenceThresholdDbfs = -40;
    stored.silenceHoldS = 5;
    stored.notificationsEnabled = false;
    stored.watchedElements = {kEncoder};
    writeStatusSettings(m.store, stored);
    StatusSettingsPresenter presenter(m.store, m.reachability, m.silence, m.alarms);
    EXPECT_EQ(m.running(), stored);
    EXPECT_EQ(presenter.settings(), stored);

    StatusSettings wanted = stored;
    wanted.probingEnabled = true;
    wanted.probeIntervalS = 1; // below the smallest interval
    wanted.silenceHoldS = 20;
    wanted.notificationsEnabled = true;
    int applied = 0;
    QObject::connect(&presenter, &StatusSettingsPresenter::applied, [&] { ++applied; });
    presenter.apply(wanted);
    wanted.probeIntervalS = kProbeIntervalMinS;
    EXPECT_EQ(m.running(), wanted);
    EXPECT_EQ(readStatusSettings(m.store), wanted);
    EXPECT_EQ(applied, 1);
}

TEST(StatusSettingsPresenter, TheTogglesAreStoredAsTheyHappenAndTheDialogsOkKeepsThem) {
    Monitors m;
    StatusSettingsPresenter presenter(m.store, m.reachability, m.silence, m.alarms);
    // The dialog opened with nothing watched; meanwhile the operator watches two encoders, then one.
    const StatusSettings inDialog = presenter.settings();
    m.silence.setWatched(kEncoder, true);
    m.silence.setWatched(kOther, true);
    m.silence.setWatched(kOther, false);
    EXPECT_EQ(readStatusSettings(m.store).watchedElements, QSet<QString>({kEncoder}));

    StatusSettings ok = inDialog;
    ok.silenceThresholdDbfs = -62.5;
    presenter.accept(ok);
    ok.watchedElements = {kEncoder};
    EXPECT_EQ(m.running(), ok);
    EXPECT_EQ(readStatusSettings(m.store), ok);
}

} // namespace
} // namespace ondalink

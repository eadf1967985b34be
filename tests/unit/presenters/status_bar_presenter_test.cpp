// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/status_bar_presenter.h"

#include "fake_status.h"
#include "fakes.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "model/encodings.h"
#include "status/reachability_monitor.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

const QString kEncoderMac = u"00:A0:C9:00:00:02"_s;
const QString kDecoderKey = u"00A0C9000001"_s;

LinkSettings loopback() {
    LinkSettings settings;
    settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
    settings.localPort = 0;
    settings.pagingHost = u"127.0.0.1"_s;
    settings.pagingPort = 9;
    return settings;
}

// The presenter over a link on loopback: each row plays the signals of one action.
struct Rig {
    Rig()
        : database(folder.filePath(u"nms.ini"_s)),
          link(
              database, notifier, resolver, [] { return ConfigurationWrite{}; }, loopback()),
          discovery(link), update(link, Discovery::Mode::Update),
          reachability(database, prober, clock, ReachabilityOptions{}),
          bar(link, discovery, update, reachability, clock) {
        const QList<ElementListing> listing{{kDecoderKey, u"DEC 1           "_s, 2, u"127.0.0.1"_s},
                                            {u"00A0C9000002"_s, u"ENC 1           "_s, 1, u"127.0.0.1"_s}};
        reachability.reload(listing);
        bar.setListing(listing);
        bar.setListedCount(listing.size());
    }

    QTemporaryDir folder;
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    testing::FakeClock clock;
    testing::FakeAsyncProber prober;
    ElementDatabase database;
    ElementLink link;
    Discovery discovery;
    Discovery update;
    ReachabilityMonitor reachability;
    StatusBarPresenter bar;
};

TEST(StatusBarPresenter, EachActionsOutcomeIsSaidWithItsTimeOfDayAndTheWriteThatFollowsItIsNotAnother) {
    Rig rig;
    ElementLink &link = rig.link;
    EXPECT_EQ(rig.bar.outcome(), QString()) << "nothing done yet";
    const struct {
        const char *action;
        std::function<void()> act;
        QString outcome; // empty: the last one stays
    } rows[] = {
        // At an address two elements share, the shown one is named, else the first listed there.
        {"ping",
         [&] {
             rig.bar.echoed(Ipv4Address::fromOctets({127, 0, 0, 1}), EchoResult{EchoStatus::Success, 7});
         },
         u"Ping DEC 1: 7 ms"_s},
        {"ping of the shown element",
         [&] {
             rig.bar.setShownMac(kEncoderMac);
             rig.bar.echoed(Ipv4Address::fromOctets({127, 0, 0, 1}), EchoResult{EchoStatus::Success, 7});
         },
         u"Ping ENC 1: 7 ms"_s},
        {"ping of an address nobody has",
         [&] {
             rig.bar.echoed(Ipv4Address::fromOctets({10, 0, 0, 9}), EchoResult{EchoStatus::TimedOut, 0});
         },
         u"Ping 10.0.0.9: "_s + echoStatusText(EchoStatus::TimedOut)},
        {"save", [&] { Q_EMIT link.configurationSent(kEncoderMac); }, u"Configuration sent to ENC 1"_s},
        {"its answer",
         [&] {
             Q_EMIT link.elementConfirmed(ConfirmedState{}, true);
             Q_EMIT link.databaseWritten(1);
         },
         u"Configuration of %1 confirmed"_s},
        {"no answer", [&] { Q_EMIT link.configurationTimedOut(kEncoderMac); },
         u"Configuration of ENC 1 not confirmed: no answer"_s},
        {"an answer that kept another name", [&] { Q_EMIT link.elementConfirmed(ConfirmedState{}, false); },
         u"Configuration of %1 answered: not every field was saved"_s},
        {"an attenuation and its write",
         [&] {
             Q_EMIT link.attenuationSent(kEncoderMac, 14);
             Q_EMIT link.databaseWritten(1);
         },
         u"Attenuation of ENC 1 set to "_s + attenuationText(14)},
        {"a stray report",
         [&] { Q_EMIT link.elementRefused(u" 10.0.0.9"_s, QString(), u"x"_s, Ipv4Address{}); },
         u"Report from 10.0.0.9 refused"_s},
        {"a discovery and its last batch",
         [&] {
             Q_EMIT rig.discovery.starting();
             Q_EMIT link.discoveryEnded({u"127.0.0.1"_s}, 5, 4, 1);
             Q_EMIT link.databaseWritten(3);
         },
         u"Discovery: 4 stored, 1 refused"_s},
        {"an update",
         [&] {
             Q_EMIT rig.update.starting();
             Q_EMIT link.discoveryEnded({u"127.0.0.1"_s}, 3, 3, 0);
             rig.bar.updateNotAnswered(1);
         },
         u"Update from network: 3 stored, 0 refused, 1 did not answer"_s},
        {"a write on its own", [&] { Q_EMIT link.databaseWritten(1); }, u"Database written"_s},
        {"a write that failed", [&] { Q_EMIT link.databaseWriteFailed(u"disk full"_s); },
         u"Database not written"_s},
        {"an addition", [&] { rig.bar.additionFinished(ElementAddition::Outcome::Added, kDecoderKey); },
         u"Element DEC 1 added"_s},
        {"an addition without an answer",
         [&] { rig.bar.additionFinished(ElementAddition::Outcome::NoAnswer, {}); },
         u"Element not added: no answer"_s},
        {"an export", [&] { rig.bar.exported(2, rig.folder.filePath(u"out.csv"_s)); },
         u"Export: 2 written to out.csv"_s},
        {"an import", [&] { rig.bar.imported(3); }, u"Import: 3 stored"_s},
        {"a restore", [&] { rig.bar.restored(); }, u"Previous database restored"_s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.action);
        rig.clock.advance(61 * 1000);
        const QString time = rig.clock.wallTime().toLocalTime().toString(u"HH:mm:ss"_s);
        QSignalSpy changed(&rig.bar, &StatusBarPresenter::changed);
        row.act();
        // The confirmation names the element the link shows; none is shown here.
        EXPECT_EQ(rig.bar.outcome(), time + u"  "_s + QString(row.outcome).replace(u"%1"_s, QString()));
        EXPECT_FALSE(changed.isEmpty());
    }
    // A refusal during a discovery is counted by its end, not said on its own.
    const QString before = rig.bar.outcome();
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(link.beginDiscovery(nullptr));
    Q_EMIT link.elementRefused(u"10.0.0.9"_s, QString(), u"x"_s, Ipv4Address{});
    Q_EMIT link.databaseWritten(1);
    EXPECT_EQ(rig.bar.outcome(), before);
}

TEST(StatusBarPresenter, TheCountsFollowTheListAndTheOnlineCountIsShownOnlyWhileProbesRun) {
    Rig rig;
    EXPECT_EQ(std::tuple(rig.bar.listedText(), rig.bar.onlineText()),
              std::tuple(u"Elements: 2"_s, u"Online: 0"_s));
    rig.reachability.setEnabled(true);
    EXPECT_TRUE(rig.bar.onlineShown());
    rig.reachability.recordPing(u"127.0.0.1"_s, EchoResult{EchoStatus::Success, 3});
    EXPECT_EQ(rig.bar.onlineText(), u"Online: 2"_s);
    for (int miss = 0; miss < ReachabilityOptions{}.missesForOffline; ++miss)
        rig.reachability.recordPing(u"127.0.0.1"_s, EchoResult{EchoStatus::DestinationHostUnreachable, 0});
    EXPECT_EQ(rig.bar.onlineText(), u"Online: 0"_s) << "both went Offline";
    rig.reachability.recordPing(u"127.0.0.1"_s, EchoResult{EchoStatus::Success, 3});
    rig.reachability.reload({});
    EXPECT_EQ(rig.bar.onlineText(), u"Online: 0"_s);
    rig.reachability.setEnabled(false);
    EXPECT_FALSE(rig.bar.onlineShown());
    rig.bar.setListedCount(0);
    EXPECT_EQ(rig.bar.listedText(), u"Elements: 0"_s);
}

} // namespace
} // namespace ondalink

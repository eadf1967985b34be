// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/unsaved_edits_guard.h"

#include "fakes.h"
#include "store/element_database.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

const QString kShown = u"00:1A:2B:00:00:01"_s;

class FakeEditedElement : public EditedElement {
public:
    const QString &selectedMac() const override { return mac; }
    bool hasPendingEdits() const override { return pending; }
    QStringList pendingEditSummary() const override { return summary; }
    void discardPendingEdits() override {
        pending = false;
        ++discarded;
    }

    QString mac = kShown;
    bool pending = true;
    QStringList summary{u"DEC 1"_s, kShown, u"System name: DEC 1 → STUDIO"_s};
    int discarded = 0;
};

// A guard over a link that is never opened: the test plays the link's signals of one report.
struct Rig {
    Rig()
        : database(folder.filePath(u"nms.ini"_s)),
          link(database, notifier, resolver, [] { return ConfigurationWrite{}; }),
          guard(element, link, notifier, [this] {
              ++saves;
              return saveOutcome;
          }) {}

    bool settle() {
        return guard.settle([this] { ++proceeded; });
    }
    // The report of the saved element: confirmed, then the list reloaded after its messages.
    void confirm(bool asSent = true) {
        Q_EMIT link.elementConfirmed(ConfirmedState{}, asSent);
        Q_EMIT link.reloadTreeRequested(true);
    }
    // Whatever the guard left for later has had its turn.
    void drain() { QTest::qWait(20); }

    QTemporaryDir folder;
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    ElementDatabase database;
    ElementLink link;
    FakeEditedElement element;
    ElementLink::SaveOutcome saveOutcome = ElementLink::SaveOutcome::Sent;
    UnsavedEditsGuard guard;
    int saves = 0;
    int proceeded = 0;
};

TEST(UnsavedEditsGuard, NothingPendingGoesOnAndDiscardLetsTheEditsGoAfterOneQuestion) {
    Rig rig;
    rig.element.pending = false;
    EXPECT_TRUE(rig.settle());
    EXPECT_TRUE(rig.notifier.messages.isEmpty());

    rig.element.pending = true;
    rig.notifier.answers = {Answer::Discard};
    EXPECT_TRUE(rig.settle());
    ASSERT_EQ(rig.notifier.ids(), QList{MessageId::UnsavedEdits});
    // The question names the element; its changed fields go to the details.
    EXPECT_EQ(rig.notifier.messages.front().args, rig.element.summary.mid(0, 2));
    EXPECT_EQ(std::tuple(rig.element.discarded, rig.saves, rig.proceeded), std::tuple(1, 0, 0));

    rig.element.pending = true;
    rig.notifier.answers = {Answer::Cancel};
    EXPECT_FALSE(rig.settle());
    rig.confirm();
    rig.drain();
    EXPECT_EQ(std::tuple(rig.element.discarded, rig.saves, rig.proceeded), std::tuple(1, 0, 0));
}

TEST(UnsavedEditsGuard, ASavedWriteGoesOnOnceAfterItsElementConfirmedItAndTheReportIsOver) {
    Rig rig;
    rig.notifier.answers = {Answer::Save};
    EXPECT_FALSE(rig.settle());
    EXPECT_EQ(rig.saves, 1);
    Q_EMIT rig.link.elementConfirmed(ConfirmedState{}, true);
    rig.drain();
    EXPECT_EQ(rig.proceeded, 0) << "the report is still being handled";
    rig.element.pending = false;
    Q_EMIT rig.link.reloadTreeRequested(true);
    EXPECT_EQ(rig.proceeded, 0) << "not from inside the report's handling";
    rig.drain();
    EXPECT_EQ(rig.proceeded, 1);
    rig.confirm();
    rig.drain();
    EXPECT_EQ(rig.proceeded, 1);
}

TEST(UnsavedEditsGuard, ASaveThatDoesNotEndInAConfirmationOfTheShownElementNeverGoesOn) {
    enum class Ending { Refused, TimedOut, OtherElementShown, FieldNotTaken, PlainReload, AskedAgain };
    for (const Ending ending : {Ending::Refused, Ending::TimedOut, Ending::OtherElementShown,
                                Ending::FieldNotTaken, Ending::PlainReload, Ending::AskedAgain}) {
        SCOPED_TRACE(int(ending));
        Rig rig;
        rig.notifier.answers = {Answer::Save};
        if (ending == Ending::Refused)
            rig.saveOutcome = ElementLink::SaveOutcome::Refused;
        EXPECT_FALSE(rig.settle());
        rig.element.pending = ending == Ending::FieldNotTaken;
        switch (ending) {
        case Ending::TimedOut:
            Q_EMIT rig.link.configurationTimedOut(kShown);
            rig.confirm();
            break;
        case Ending::OtherElementShown:
            rig.element.mac = u"00:1A:2B:00:00:02"_s;
            rig.confirm();
            break;
        case Ending::PlainReload:
            Q_EMIT rig.link.elementConfirmed(ConfirmedState{}, true);
            Q_EMIT rig.link.reloadTreeRequested(false);
            break;
        case Ending::AskedAgain:
            rig.element.pending = true;
            rig.notifier.answers = {Answer::Cancel};
            EXPECT_FALSE(rig.guard.settle([] {}));
            rig.element.pending = false;
            rig.confirm();
            break;
        case Ending::Refused:
        case Ending::FieldNotTaken:
            rig.confirm();
            break;
        }
        rig.drain();
        EXPECT_EQ(rig.proceeded, 0);
    }
}

} // namespace
} // namespace ondalink

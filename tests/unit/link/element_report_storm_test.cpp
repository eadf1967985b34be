// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_report_handler_fixture.h"
#include "link/message_coalescer.h"

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::ReportBytes;
using ReportStorm = testing::ReportHandlerTest;

const QString kInputMessage = u"An error occured while retrieving 'Audio Input':\rFeedback is corrupted."_s;
const Message kSuccess =
    information(u"New configuration has been sucessfuly saved and loaded!"_s, u"Configuration changed"_s);

QByteArray corruptReport() {
    ReportBytes bad;
    bad.input = 7;
    return bad.bytes();
}

TEST_F(ReportStorm, IdenticalFailuresAreCountedAndTheCountShownBeforeTheNextMessage) {
    handler->setRepeatQuietMs(600000); // every repeat falls inside the quiet period
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(handle(corruptReport(), false));
    EXPECT_EQ(notifier.texts(), QStringList{kInputMessage});
    EXPECT_EQ(reloads, 200) << "each report still ends as a single one does";

    selectMatchingElement();
    ASSERT_TRUE(handle(ReportBytes().bytes(), false));
    EXPECT_EQ(
        notifier.messages,
        (QList<Message>{critical(kInputMessage),
                        critical(u"199 more reports gave the same message:\r"_s + kInputMessage), kSuccess}));
}

TEST_F(ReportStorm, CountIsShownOnceTheStormIsQuiet) {
    handler->setRepeatQuietMs(20);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(handle(corruptReport(), false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.messages.size() == 2; }, 20000));
    EXPECT_EQ(notifier.messages.last(),
              critical(u"9 more reports gave the same message:\r"_s + kInputMessage));
}

TEST_F(ReportStorm, CountWaitsForTheReportInHand) {
    handler->setRepeatQuietMs(5);
    ASSERT_TRUE(handle(corruptReport(), false));
    ASSERT_TRUE(handle(corruptReport(), false));
    // The next report's ARP lookup outlasts the quiet period by far (1 + 2 + ... + 32 ms of retries).
    discoveryNow = true;
    resolver.failuresBefore = 6;
    bool busyAtCount = true;
    notifier.onShow = [&](const Message &) { busyAtCount = handler->busy(); };
    ASSERT_TRUE(handle(ReportBytes().bytes(), true));
    ASSERT_EQ(notifier.messages.size(), 2);
    EXPECT_EQ(notifier.messages.last(),
              critical(u"1 more report gave the same message:\r"_s + kInputMessage));
    EXPECT_FALSE(busyAtCount) << "the count popped up in the middle of a report";
}

class Coalescer : public ::testing::Test {
protected:
    testing::RecordingNotifier notifier;
    MessageCoalescer coalescer{notifier, 600000};
    const Message a = critical(u"A\rFeedback is corrupted."_s);
    const Message b = critical(u"B\rFeedback is corrupted."_s);
};

TEST_F(Coalescer, ReportWithSeveralMessagesRepeatsAsAWhole) {
    for (int i = 0; i < 5; ++i)
        coalescer.present({a, b});
    coalescer.present({a});
    EXPECT_EQ(notifier.messages,
              (QList<Message>{a, b, critical(u"4 more reports gave the same message:\r"_s + a.text), a}));
}

TEST_F(Coalescer, SuccessIsAlwaysShownAndEndsTheRun) {
    coalescer.present({a});
    coalescer.present({a});
    coalescer.present({kSuccess});
    coalescer.present({kSuccess});
    coalescer.present({a});
    EXPECT_EQ(notifier.messages,
              (QList<Message>{a, critical(u"1 more report gave the same message:\r"_s + a.text), kSuccess,
                              kSuccess, a}));
    EXPECT_EQ(coalescer.pendingRepeats(), 0);
}

TEST_F(Coalescer, SilentReportsNeitherShowNorBreakTheRun) {
    coalescer.present({a});
    coalescer.present({});
    coalescer.present({a});
    EXPECT_EQ(notifier.messages, QList<Message>{a});
    EXPECT_EQ(coalescer.pendingRepeats(), 1);
}

} // namespace
} // namespace ondalink

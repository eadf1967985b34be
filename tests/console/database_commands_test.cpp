// SPDX-License-Identifier: GPL-3.0-or-later
#include "console_fixture.h"

#include <QMenuBar>
#include <QSignalSpy>

namespace ondalink::testing {
namespace {

using DatabaseCommandsTest = ConsoleTest;

// The flows are the presenter's (tests/unit/presenters); here, where the window shows its commands.
TEST_F(DatabaseCommandsTest,
       TheElementsMenuHoldsTheCommandsBeforeQuitAndTheListOffersAddWhileNoneIsUnderWay) {
    writeExample();
    ASSERT_TRUE(start());
    QStringList names;
    for (QAction *action : window->menuBar()->findChild<QMenu *>(u"mnuElements"_s)->actions())
        names.append(action->isSeparator() ? u"-"_s : action->objectName());
    const QStringList tail = names.mid(names.indexOf(u"actUpdateFromNetwork"_s) - 1);
    EXPECT_EQ(tail, QStringList({u"-"_s, u"actUpdateFromNetwork"_s, u"actAddByAddress"_s, u"actRestore"_s,
                                 u"actExport"_s, u"actImport"_s, u"-"_s, u"actQuit"_s}));
    auto *add = window->findChild<QAction *>(u"actAddByAddress"_s);
    EXPECT_EQ(elementTree(*window).contextActions(), QList<QAction *>({add}));

    // An addition nobody answers: Add comes back when it has timed out.
    QSignalSpy finished(station->commands.get(), &DatabaseCommandsPresenter::additionFinished);
    resolver.unreachable.insert(parseDottedAddress(u"127.0.0.1"_s)->toNetworkOrder());
    ASSERT_TRUE(station->commands->add(u"127.0.0.1"_s, u"00:A0:C9:00:00:07"_s));
    EXPECT_FALSE(add->isEnabled());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(add->isEnabled());
}

} // namespace
} // namespace ondalink::testing

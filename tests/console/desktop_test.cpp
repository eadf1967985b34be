// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tells about itself, and what it keeps of itself between runs.
#include "console_fixture.h"

#include "console/window_memory.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QSettings>
#include <QSplitter>
#include <QToolBar>

#include <ondalink/version.h>

namespace ondalink::testing {
namespace {

using DesktopTest = ConsoleTest;

TEST_F(DesktopTest, AboutAndTreeFrameNameTheDatabaseWithoutAToolbarButton) {
    writeExample();
    ASSERT_TRUE(start());
    EXPECT_TRUE(find<QGroupBox>(u"frmTreeView"_s)->toolTip().contains(iniPath()));

    QAction *about = find<QAction>(u"actAbout"_s);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(find<QToolBar>(u"Toolbar1"_s)->actions().contains(about));
    about->trigger();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (box = window->findChild<QMessageBox *>()) && box->isVisible(); }));
    const QString version = QLatin1StringView(kProgramVersion);
    EXPECT_TRUE(box->text().contains(version)) << qPrintable(box->text());
    EXPECT_TRUE(box->informativeText().contains(iniPath())) << qPrintable(box->informativeText());
    // Which way ping works here; the ways themselves are the diagnostics suite's.
    EXPECT_TRUE(box->informativeText().contains(u"\n\nPing: "_s)) << qPrintable(box->informativeText());
    box->accept();
}

TEST_F(DesktopTest, NextWindowTakesTheSizeAndSplitOfTheLast) {
    writeExample();
    start();
    QTemporaryDir dir;
    QSettings stored(dir.filePath(u"window.conf"_s), QSettings::IniFormat);
    window->resize(1111, 777);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto *splitter = find<QSplitter>(u"splitter"_s);
    splitter->setSizes({420, 640});
    const QList<int> sizes = splitter->sizes();
    saveWindowState(*window, stored);
    window.reset();

    MainWindow next(notifier, resolver, prober, settings());
    const QSize fresh = next.size();
    restoreWindowState(next, stored);
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_EQ(next.size(), QSize(1111, 777));
    EXPECT_NE(fresh, QSize(1111, 777));
    EXPECT_EQ(next.findChild<QSplitter *>(u"splitter"_s)->sizes(), sizes);

    // Nothing stored yet, or something unreadable: the window keeps its own size.
    QSettings broken(dir.filePath(u"broken.conf"_s), QSettings::IniFormat);
    broken.setValue(u"window/geometry"_s, QByteArray("not a geometry"));
    MainWindow first(notifier, resolver, prober, settings());
    restoreWindowState(first, broken);
    EXPECT_EQ(first.size(), fresh);
}

} // namespace
} // namespace ondalink::testing

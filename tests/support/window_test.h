// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on a temporary nms.ini and loopback ports, with the seam fakes. What the
// window sends goes to `element`, on an ephemeral port: nothing is ever sent to a fixed one.
#pragma once

#include "app/workstation.h"
#include "fake_prober.h"
#include "fakes.h"
#include "window_widgets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>

namespace ondalink::testing {

class WindowTest : public ::testing::Test {
private:
    QTemporaryDir m_dir; // first in, last out

protected:
    WindowTest() { element.bind(QHostAddress(QHostAddress::LocalHost), 0); }

    QString folder() const { return m_dir.path(); }
    QString iniPath() const { return m_dir.filePath(QStringLiteral("nms.ini")); }
    void writeIni(const QByteArray &text) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
    }
    QByteArray iniBytes() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    MainWindowSettings settings() const {
        MainWindowSettings s;
        s.databasePath = iniPath();
        s.link.bindAddress = QHostAddress(QHostAddress::LocalHost);
        s.link.localPort = 0;
        s.link.pagingHost = QStringLiteral("127.0.0.1");
        s.link.pagingPort = s.link.elementPort = s.link.controlPort = element.localPort();
        return s;
    }
    // Builds the workstation and runs its start-up; false when start-up ended the program.
    bool start(MainWindowSettings s) {
        build(std::move(s));
        return station->start();
    }
    // The workstation without its start-up, for a test that adds parts first.
    void build(MainWindowSettings s) {
        window = nullptr;
        station = std::make_unique<Workstation>(WorkstationSeams{notifier, resolver, prober}, std::move(s));
        window = station->window.get();
    }
    bool start() { return start(settings()); }

    QTreeView *tree() const { return window->findChild<QTreeView *>(QStringLiteral("TreeView1")); }
    // The rows the list shows, and the key (colon-form MAC) of one of them.
    int rowCount() const { return tree()->model()->rowCount(); }
    QString rowMac(int row) const { return tree()->model()->index(row, 0).data(Qt::UserRole).toString(); }
    // Where the operator clicks a row: the middle of its first column.
    QPoint rowCentre(int row) const { return tree()->visualRect(tree()->model()->index(row, 0)).center(); }
    // The operator's mouse click on a row of the list.
    void clickRow(int row) {
        if (!window->isVisible()) {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        const QModelIndex index = tree()->model()->index(row, 0);
        ASSERT_TRUE(index.isValid()) << "row " << row;
        tree()->scrollTo(index);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }

    QUdpSocket element;
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    ScriptedProber prober; // an empty script times out
    std::unique_ptr<Workstation> station;
    MainWindow *window = nullptr; // the station's
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on a temporary nms.ini and loopback ports, with the seam fakes.
#pragma once

#include "console/element_tree.h"
#include "console/main_window.h"
#include "element_wire.h"
#include "fake_prober.h"
#include "fakes.h"
#include "link/element_report_handler.h"
#include "link/receive_dispatch.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ondalink::testing {

// VmRSS or VmHWM of this process in KiB.
inline qint64 statusKiB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

// An element report as the simulator sends it: an encoder at 10.0.0.x unless told otherwise.
inline QByteArray reportBytes(quint32 ip, quint8 role = 1, quint32 serial = 1001) {
    sim::ElementIdentity id;
    id.role = role;
    id.serial = serial;
    sim::ElementSettings settings;
    settings.ip = ip;
    return sim::encodeReport(id, settings);
}

// Runs the event loop as the program does (no sleeping between checks) until done() holds.
template <typename Done> bool runUntil(Done done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(2);
    if (!done())
        loop.exec();
    return done();
}

class WindowTest : public ::testing::Test {
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("nms.ini")); }

    void writeIni(const QByteArray &text) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
    }

    // Builds the window and runs its start-up; false when start-up ended the program. The paging
    // request goes to pagingPort when one is given.
    bool start(quint16 pagingPort = 0) {
        MainWindowSettings s;
        s.databasePath = iniPath();
        s.link.bindAddress = QHostAddress(QHostAddress::LocalHost);
        s.link.localPort = 0;
        s.link.pagingHost = QStringLiteral("127.0.0.1");
        s.link.pagingPort = pagingPort ? pagingPort : m_sink.localPort();
        s.link.elementPort = m_sink.localPort();
        s.link.controlPort = m_sink.localPort();
        window = std::make_unique<MainWindow>(notifier, resolver, prober, s);
        return window->Form_Load();
    }

    quint16 linkPort() const { return window->link().endpoint().localPort(); }
    QTreeWidget *tree() const { return window->elementTree().tree(); }

    // The operator's click on a node of the tree.
    void clickNode(int row) {
        if (!window->isVisible()) {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        QTreeWidgetItem *item = tree()->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
    }

    // Runs the event loop until every datagram that has arrived is handled.
    bool drained(int timeoutMs = 60000) {
        return runUntil(
            [&] {
                return !window->link().dispatch().busy() && !window->link().endpoint().hasPending() &&
                       !window->link().reportHandler().busy();
            },
            timeoutMs);
    }

    QTemporaryDir m_dir; // first in, last out
    QUdpSocket m_sink;   // where anything the window sends goes
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    ScriptedProber prober;
    std::unique_ptr<MainWindow> window;

public:
    WindowTest() { m_sink.bind(QHostAddress(QHostAddress::LocalHost), 0); }
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// The report handler wired to a temporary nms.ini, a recording notifier, a plain panel and a
// scripted ARP table.
#pragma once

#include "diag/arp.h"
#include "element_report_bytes.h"
#include "fakes.h"
#include "link/element_report_handler.h"
#include "store/element_database.h"
#include "store/profile_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace ondalink::testing {

inline const QString kElementMac = QStringLiteral("00:A0:C9:00:00:01");
inline const QString kElementKey = QStringLiteral("00A0C9000001");

class ReportHandlerTest : public ::testing::Test {
private:
    QTemporaryDir m_dir; // first in, last out

protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        database = std::make_unique<ElementDatabase>(m_dir.filePath(QStringLiteral("nms.ini")));
        answerArp(QStringLiteral("192.168.1.10"), QByteArray::fromHex("00a0c9000001"));
        makeHandler(5000);
    }

    void makeHandler(int macLookupMs) {
        handler.reset();
        ReportHandlerHooks hooks;
        hooks.stopResponseTimer = [this] { ++responseStops; };
        hooks.discoveryRunning = [this] { return discoveryNow; };
        hooks.reloadTree = [this] { ++reloads; };
        handler = std::make_unique<ElementReportHandler>(*database, notifier, resolver, panel,
                                                         std::move(hooks), macLookupMs);
    }

    void answerArp(const QString &ip, const QByteArray &hardware) {
        resolver.table.insert(ARP::AddressValue(ip), hardware);
    }

    // Hands one datagram over and waits until the handler says it is done; false if it never does
    // or says so more than once.
    bool handle(const QByteArray &datagram, bool discoveryAtArrival) {
        int done = 0;
        handler->HandleElementReport(datagram, discoveryAtArrival, [&done] { ++done; });
        if (!QTest::qWaitFor([&] { return done > 0; }, 20000))
            return false;
        return done == 1 && !handler->busy();
    }

    // The panel as it stands after a write of the element ReportBytes describes by default.
    void selectMatchingElement() {
        panel.mac = kElementMac;
        panel.name = QStringLiteral("Dec One");
        panel.ip = QStringLiteral("192.168.1.10");
        panel.mask = QStringLiteral("255.255.255.0");
        panel.gw = QStringLiteral("192.168.1.1");
        panel.remote = QStringLiteral("192.168.1.20");
        panel.input = 1;
        panel.audioType = 0;
        panel.tx = 1;
    }

    QString stored(const QString &key, const QString &section = kElementKey) const {
        return database->read(section, key, QStringLiteral("<none>"));
    }
    QStringList storedKeys(const QString &section = kElementKey) const {
        QStringList keys;
        LoadIniSectionKeysLB(section, keys, database->path());
        return keys;
    }
    QString dir() const { return m_dir.path(); }

    std::unique_ptr<ElementDatabase> database;
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    FakePanel panel;
    std::unique_ptr<ElementReportHandler> handler;
    int responseStops = 0;
    int reloads = 0;
    bool discoveryNow = false;
};

} // namespace ondalink::testing

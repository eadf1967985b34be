// SPDX-License-Identifier: GPL-3.0-or-later
// The window of window_test.h with nms.ini written from sections of keys, and its controls read back
// by objectName.
#pragma once

#include "console/status_console.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/form_helpers.h"
#include "console/widgets/ping_indicator.h"
#include "element_wire.h"
#include "fake_status.h"
#include "link_test_peer.h"
#include "window_test.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QScrollBar>
#include <QSettings>

namespace ondalink::testing {

using namespace Qt::StringLiterals;

using Section = QList<std::pair<QString, QString>>;

// Sections written in the order given; a value is written as it stands (trailing blanks kept).
inline QByteArray iniText(const QList<std::pair<QString, Section>> &sections) {
    QByteArray text;
    for (const auto &[name, keys] : sections) {
        text += '[' + name.toLatin1() + "]\r\n";
        for (const auto &[key, value] : keys)
            text += key.toLatin1() + '=' + value.toLatin1() + "\r\n";
    }
    return text;
}

// The keys with some replaced or added, in "KEY=value;..." form; "KEY" alone removes the key.
inline Section with(Section keys, const QString &changes) {
    for (const QString &change : changes.split(u';', Qt::SkipEmptyParts)) {
        const QString key = change.section(u'=', 0, 0);
        keys.removeIf([&](const auto &kv) { return kv.first == key; });
        if (change.contains(u'='))
            keys.append({key, change.section(u'=', 1)});
    }
    return keys;
}

// 00A0C9000001: a decoder "DEC 1", 00A0C9000002: an encoder "ENC 1", both as a discovery writes them.
inline const QString kDecoderKey = QStringLiteral("00A0C9000001");
inline const QString kDecoderMac = QStringLiteral("00:A0:C9:00:00:01");
inline const QString kEncoderKey = QStringLiteral("00A0C9000002");
inline const QString kEncoderMac = QStringLiteral("00:A0:C9:00:00:02");
inline const QString kEncName = QStringLiteral("ENC 1           ");

inline Section encoderKeys() {
    return with({}, u"NAME=ENC 1           ;IP=127.0.0.1;MASK=255.255.255.0;GW=10.0.0.1;REMOTE=10.0.0.21;"
                    u"INPUT=1;TYPE=1;TX=0;ROLE=1;SN=100201;VER=3.4;SFN=1;BUF=0"_s);
}
inline Section decoderKeys() {
    return with({},
                u"NAME=DEC 1           ;IP=127.0.0.1;MASK=255.255.0.0;GW=10.0.0.1;REMOTE=10.0.0.11;"
                u"INPUT=0;TYPE=0;TX=1;ROLE=2;SN=100307;VER=3.5;SFN=0;BUF=3;ATT=235;SDM=0;SDL=37;SDT=43"_s);
}

class ConsoleTest : public WindowTest {
protected:
    void writeExample() { writeIni(iniText({{kDecoderKey, decoderKeys()}, {kEncoderKey, encoderKeys()}})); }

    template <typename T> T *find(const QString &name) const {
        T *child = window->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << qPrintable(name);
        return child;
    }
    // The caption whose buddy the named control is.
    QLabel *captionOf(const QString &name) const {
        const QWidget *control = find<QWidget>(name);
        for (QLabel *label : window->findChildren<QLabel *>())
            if (label->buddy() == control)
                return label;
        return nullptr;
    }
    // What the blank-separated controls show, joined by "|": the check ("true"), selected index,
    // position or text, whichever the control has first; a caption as it reads, without its Alt+letter
    // marker.
    QString values(const QString &names) const {
        QStringList shown;
        for (const QString &name : names.split(u' ')) {
            const QObject *control = find<QObject>(name);
            if (const auto *caption = qobject_cast<const QLabel *>(control); caption && caption->buddy()) {
                shown << withoutMnemonic(caption->text());
                continue;
            }
            for (const char *property : {"checked", "currentIndex", "value", "text"}) {
                if (control && control->property(property).isValid()) {
                    shown << control->property(property).toString();
                    break;
                }
            }
        }
        return shown.join(u'|');
    }
    // One digit per named control: 1 where the property holds.
    QString flags(const QString &names, bool (QWidget::*property)() const) const {
        QString digits;
        for (const QString &name : names.split(u' '))
            digits += (find<QWidget>(name)->*property)() ? u'1' : u'0';
        return digits;
    }
    // The start and stop of monitoring enabled, as "01" for stop only.
    QString monitoringButtons() const {
        return QString::number(window->action(MainWindow::Command::StartMonitoring)->isEnabled()) +
               QString::number(window->action(MainWindow::Command::StopMonitoring)->isEnabled());
    }
    // The datagrams the element has been sent, waiting up to timeoutMs for the first.
    QList<QByteArray> received(int timeoutMs) {
        (void)QTest::qWaitFor([&] { return element.hasPendingDatagrams(); }, timeoutMs);
        QList<QByteArray> out;
        while (element.hasPendingDatagrams())
            out << element.receiveDatagram().data();
        return out;
    }
    // The element answers a configuration write as the simulator does: with the report of its new state,
    // under another name when given one.
    void answerWrite(const QByteArray &write, const sim::ElementIdentity &identity,
                     const sim::ElementSettings &before = {}, const QByteArray &nameKept = {}) {
        sim::WriteResult applied = sim::applyConfigWrite(before, write, identity.role);
        ASSERT_TRUE(applied.accepted) << qPrintable(applied.note);
        if (!nameKept.isEmpty())
            applied.settings.name = nameKept.leftJustified(16, ' ');
        element.writeDatagram(sim::encodeReport(identity, applied.settings),
                              QHostAddress(QHostAddress::LocalHost),
                              ElementLinkTestPeer(station->link).endpoint().localPort());
    }
    // The operator selects the element shown with this MAC.
    void clickNode(const QString &mac) {
        const QModelIndexList rows = tree()->model()->match(tree()->model()->index(0, 0), Qt::DisplayRole,
                                                            u"["_s + mac + u']', -1, Qt::MatchEndsWith);
        ASSERT_EQ(rows.size(), 1) << qPrintable(mac);
        clickRow(rows.first().row());
    }
};

// The window with the status parts beside it, on fake seams.
class StatusWindowTest : public ConsoleTest {
protected:
    bool startWithStatus() {
        build(settings());
        ReachabilityOptions options;
        options.intervalMs = 3600 * 1000; // nothing probes unless a test says so
        console =
            &station->addStatus(StatusSeams{asyncProber, clock, sink, notifier, userSettings,
                                            folder() + u"/events"_s, folder() + u"/history"_s, options});
        if (!station->start())
            return false;
        window->show();
        return QTest::qWaitForWindowExposed(window);
    }
    void TearDown() override { station.reset(); }

    FakeAsyncProber asyncProber;
    FakeClock clock;
    RecordingSink sink;
    QSettings userSettings{folder() + u"/user.conf"_s, QSettings::IniFormat};
    StatusConsole *console = nullptr; // the station's
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on a temporary nms.ini, loopback link settings and the seam fakes.
#pragma once

#include "console/element_tree.h"
#include "console/main_window.h"
#include "fakes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures: QStrings printed as text.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ondalink::testing {

using namespace Qt::StringLiterals;

// An echo that always answers with the given status and round trip.
class FixedEchoProber : public EchoProber {
public:
    bool startSockets() override { return true; }
    void stopSockets() override {}
    EchoReply echo(quint32, int) override {
        ++echoes;
        return reply;
    }
    EchoReply reply{kEchoSuccess, 5};
    int echoes = 0;
};

// A socket on loopback playing the element at the stored address 127.0.0.1 (and the network a
// paging request goes out on), so that nothing is ever sent to a fixed port.
struct ElementSocket {
    ElementSocket() {
        bound = socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams())
                received.append(socket.receiveDatagram().data());
        });
    }
    QUdpSocket socket;
    bool bound = false;
    QList<QByteArray> received;
};

// Sections written in the order given; a value is written as it stands (trailing blanks kept).
inline QByteArray iniText(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections) {
    QByteArray text;
    for (const auto &[name, keys] : sections) {
        text += '[' + name.toLatin1() + "]\r\n";
        for (const auto &[key, value] : keys)
            text += key.toLatin1() + '=' + value.toLatin1() + "\r\n";
    }
    return text;
}

// 00A0C9000001: a decoder "DEC 1", 00A0C9000002: an encoder "ENC 1", both as a discovery writes them.
inline const QString kDecoderKey = QStringLiteral("00A0C9000001");
inline const QString kDecoderMac = QStringLiteral("00:A0:C9:00:00:01");
inline const QString kEncoderKey = QStringLiteral("00A0C9000002");
inline const QString kEncoderMac = QStringLiteral("00:A0:C9:00:00:02");
inline const QString kDecName = QStringLiteral("DEC 1           ");
inline const QString kEncName = QStringLiteral("ENC 1           ");

inline QList<std::pair<QString, QString>> encoderKeys() {
    return {{u"NAME"_s, kEncName},
            {u"IP"_s, u"127.0.0.1"_s},
            {u"MASK"_s, u"255.255.255.0"_s},
            {u"GW"_s, u"10.0.0.1"_s},
            {u"REMOTE"_s, u"10.0.0.21"_s},
            {u"INPUT"_s, u"1"_s},
            {u"TYPE"_s, u"1"_s},
            {u"TX"_s, u"0"_s},
            {u"ROLE"_s, u"1"_s},
            {u"SN"_s, u"100201"_s},
            {u"VER"_s, u"3.4"_s},
            {u"SFN"_s, u"1"_s},
            {u"BUF"_s, u"0"_s}};
}

inline QList<std::pair<QString, QString>> decoderKeys() {
    return {{u"NAME"_s, kDecName},
            {u"IP"_s, u"127.0.0.1"_s},
            {u"MASK"_s, u"255.255.0.0"_s},
            {u"GW"_s, u"10.0.0.1"_s},
            {u"REMOTE"_s, u"10.0.0.11"_s},
            {u"INPUT"_s, u"0"_s},
            {u"TYPE"_s, u"0"_s},
            {u"TX"_s, u"1"_s},
            {u"ROLE"_s, u"2"_s},
            {u"SN"_s, u"100307"_s},
            {u"VER"_s, u"3.5"_s},
            {u"SFN"_s, u"0"_s},
            {u"BUF"_s, u"3"_s},
            {u"ATT"_s, u"235"_s},
            {u"SDM"_s, u"0"_s},
            {u"SDL"_s, u"37"_s},
            {u"SDT"_s, u"43"_s}};
}

class ConsoleTest : public ::testing::Test {
private:
    QTemporaryDir m_dir; // first in, last out

protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("nms.ini")); }

    void writeIni(const QByteArray &text) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray iniBytes() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeExample() { writeIni(iniText({{kDecoderKey, decoderKeys()}, {kEncoderKey, encoderKeys()}})); }

    MainWindowSettings settings() const {
        MainWindowSettings s;
        s.databasePath = iniPath();
        s.link.bindAddress = QHostAddress(QHostAddress::LocalHost);
        s.link.localPort = 0;
        s.link.pagingHost = QStringLiteral("127.0.0.1");
        s.link.pagingPort = element.socket.localPort();
        s.link.elementPort = element.socket.localPort();
        s.link.controlPort = element.socket.localPort();
        return s;
    }

    // Builds the window and runs its start-up.
    void start(MainWindowSettings s) {
        window = std::make_unique<MainWindow>(notifier, resolver, prober, std::move(s));
        started = window->Form_Load();
    }
    void start() { start(settings()); }

    template <typename T> T *find(const QString &name) const {
        T *child = window->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << qPrintable(name);
        return child;
    }
    QString text(const QString &labelName) const { return find<QLabel>(labelName)->text(); }
    QTreeWidget *tree() const { return find<QTreeWidget>(QStringLiteral("TreeView1")); }

    QTreeWidgetItem *node(const QString &mac) const {
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            if (tree()->topLevelItem(i)->data(0, Qt::UserRole).toString() == mac)
                return tree()->topLevelItem(i);
        return nullptr;
    }
    // A mouse click on the node, as the operator selects an element.
    void clickNode(const QString &mac) {
        QTreeWidgetItem *item = node(mac);
        ASSERT_NE(item, nullptr) << qPrintable(mac);
        if (!window->isVisible()) {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        QWidget *viewport = tree()->viewport();
        const QPoint centre = tree()->visualItemRect(item).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
    }
    bool buttonEnabled(int number) const { return window->toolbarItem(number)->isEnabled(); }
    // Shown and active, for the tests that need the keyboard focus.
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    ElementSocket element;
    RecordingNotifier notifier;
    ScriptedResolver resolver;
    FixedEchoProber prober;
    std::unique_ptr<MainWindow> window;
    bool started = false;
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/about_box.h"

#include "diag/linux/ping_method.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <ondalink/version.h>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Which socket an echo goes out on here, and why: what an operator whose ping fails needs first.
QString pingLine(const PingAccess &access) {
    const QString range =
        access.groupRange
            ? u"net.ipv4.ping_group_range (%1 %2)"_s.arg(access.groupRange->low).arg(access.groupRange->high)
            : QCoreApplication::translate("AboutBox", "net.ipv4.ping_group_range (unreadable)");
    const QString groups =
        access.rangeAdmitsProcess
            ? QCoreApplication::translate("AboutBox", "includes", "the range includes the groups")
            : QCoreApplication::translate("AboutBox", "leaves out", "the range leaves out the groups");
    switch (access.method) {
    case PingMethod::Datagram:
        return QCoreApplication::translate("AboutBox", "Ping: ICMP datagram socket, allowed by %1.")
            .arg(range);
    case PingMethod::Raw:
        return QCoreApplication::translate("AboutBox",
                                           "Ping: raw ICMP socket (CAP_NET_RAW); %1 %2 this user's groups.")
            .arg(range, groups);
    case PingMethod::None:
        break;
    }
    return QCoreApplication::translate("AboutBox",
                                       "Ping: not possible; %1 %2 this user's groups and the program "
                                       "lacks CAP_NET_RAW (see PING.md).")
        .arg(range, groups);
}

} // namespace

QString programVersion() {
    return QLatin1StringView(kProgramVersion);
}

QMessageBox *buildAboutBox(const QString &databasePath, QWidget *parent) {
    auto *box = new QMessageBox(parent);
    box->setObjectName(u"AboutBox"_s);
    box->setWindowTitle(QCoreApplication::translate("AboutBox", "About Ondalink NMS"));
    box->setIconPixmap(QApplication::windowIcon().pixmap(64));
    box->setTextFormat(Qt::PlainText);
    //: %1 is the program's version.
    box->setText(QCoreApplication::translate("AboutBox", "Ondalink NMS %1").arg(programVersion()));
    // The path is shown as the system writes it, and can be selected and copied from the box.
    //: %1 the database's path, %2 how the ping works here, %3 and %4 Qt versions.
    box->setInformativeText(
        QCoreApplication::translate("AboutBox", "Network management station for the Ondalink audio link.\n\n"
                                                "Element database:\n%1\n\n%2\n\nBuilt with Qt %3, "
                                                "running on Qt %4.")
            .arg(QDir::toNativeSeparators(databasePath), pingLine(probePingAccess()),
                 QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion())));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

} // namespace ondalink

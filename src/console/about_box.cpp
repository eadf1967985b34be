// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/about_box.h"

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
            : u"net.ipv4.ping_group_range (unreadable)"_s;
    const QString groups = access.rangeAdmitsProcess ? u"includes"_s : u"leaves out"_s;
    switch (access.method) {
    case PingMethod::Datagram:
        return u"Ping: ICMP datagram socket, allowed by %1."_s.arg(range);
    case PingMethod::Raw:
        return u"Ping: raw ICMP socket (CAP_NET_RAW); %1 %2 this user's groups."_s.arg(range, groups);
    case PingMethod::None:
        break;
    }
    return u"Ping: not possible; %1 %2 this user's groups and the program lacks CAP_NET_RAW "
           u"(see PING.md)."_s.arg(range, groups);
}

} // namespace

QString programVersion() {
    return QLatin1StringView(kProgramVersion);
}

QMessageBox *buildAboutBox(const QString &databasePath, QWidget *parent) {
    auto *box = new QMessageBox(parent);
    box->setObjectName(u"AboutBox"_s);
    box->setWindowTitle(u"About Ondalink NMS"_s);
    box->setIconPixmap(QApplication::windowIcon().pixmap(64));
    box->setTextFormat(Qt::PlainText);
    box->setText(u"Ondalink NMS %1"_s.arg(programVersion()));
    // The path is shown as the system writes it, and can be selected and copied from the box.
    box->setInformativeText(u"Network management station for the Ondalink audio link.\n\n"
                            u"Element database:\n%1\n\n%2\n\nBuilt with Qt %3, running on Qt %4."_s.arg(
                                QDir::toNativeSeparators(databasePath), pingLine(probePingAccess()),
                                QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion())));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

} // namespace ondalink

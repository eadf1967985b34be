// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_box.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <ondalink/version.h>

using namespace Qt::StringLiterals;

namespace ondalink {

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
                            u"Element database:\n%1\n\nBuilt with Qt %2, running on Qt %3."_s.arg(
                                QDir::toNativeSeparators(databasePath), QStringLiteral(QT_VERSION_STR),
                                QString::fromLatin1(qVersion())));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/qt_notifier.h"

#include <QLabel>
#include <QMessageBox>

#include <memory>

namespace ondalink {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        break;
    }
    return QMessageBox::Critical;
}

} // namespace

QMessageBox *QtNotifier::build(const Message &message, QWidget *parent) {
    const MessageText text = render(message);
    auto *box = new QMessageBox(parent);
    box->setIcon(boxIcon(text.icon));
    box->setWindowTitle(text.title);
    // Plain text, so that a name or an address in a message is never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text.primary);
    box->setInformativeText(text.informative);
    if (auto *informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box->setDetailedText(text.details);
    switch (text.buttons) {
    case MessageButtons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    case MessageButtons::SaveDiscardCancel:
        box->setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        break;
    }
    return box;
}

Answer QtNotifier::show(const Message &message) {
    std::unique_ptr<QMessageBox> box(build(message, m_parent.data()));
    switch (box->exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default: // OK, or a box closed by its frame: the escape button's answer
        break;
    }
    return unansweredAnswer(message.id);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/replace_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

ReplaceDialog::ReplaceDialog(const QString &failed, const QList<std::pair<QString, QString>> &spares,
                             QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"dlgReplace"_s);
    //: %1: the failed element, as its name and MAC.
    setWindowTitle(tr("Replace %1").arg(failed));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        spares.isEmpty()
            ? tr("No other element of this role is listed. Add the spare by address, or find it with "
                 "Update from network, then replace.")
            : tr("The spare is sent the name, addresses and audio settings of %1 at its current address. "
                 "%1 stays in the local database until the spare has confirmed them.")
                  .arg(failed),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *caption = new QLabel(tr("&Spare:"), this);
    layout->addWidget(caption);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lstSpares"_s);
    m_list->setAccessibleName(tr("Spare"));
    caption->setBuddy(m_list);
    for (const auto &[key, label] : spares) {
        auto *item = new QListWidgetItem(label, m_list);
        item->setData(Qt::UserRole, key);
    }
    layout->addWidget(m_list, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_replace = buttons->button(QDialogButtonBox::Ok);
    m_replace->setText(tr("&Replace"));
    m_replace->setObjectName(u"cmdReplace"_s);
    m_replace->setEnabled(false);
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_replace->setEnabled(row >= 0); });
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

QString ReplaceDialog::spareKey() const {
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void ReplaceDialog::pick(const QString &key) {
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(Qt::UserRole).toString() == key)
            m_list->setCurrentRow(row);
    }
}

} // namespace ondalink

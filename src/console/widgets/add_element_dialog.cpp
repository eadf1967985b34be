// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/add_element_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

AddElementDialog::AddElementDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(u"dlgAddElement"_s);
    setWindowTitle(tr("Add element by address"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("The element is paged at this address and stored as it answers.\n"
                                "Behind a router its MAC address cannot be found: type the one printed "
                                "on the unit."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout;
    m_address = new QLineEdit(this);
    m_address->setObjectName(u"txtAddAddress"_s);
    m_address->setAccessibleName(tr("IPv4 address"));
    m_address->setPlaceholderText(u"192.168.10.20"_s);
    form->addRow(tr("&IPv4 address:"), m_address);
    m_mac = new QLineEdit(this);
    m_mac->setObjectName(u"txtAddMac"_s);
    m_mac->setAccessibleName(tr("MAC address (optional)"));
    m_mac->setAccessibleDescription(tr("Needed only when the element is not on this network"));
    m_mac->setPlaceholderText(u"00:1A:2B:3C:4D:5E"_s);
    form->addRow(tr("&MAC address (optional):"), m_mac);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Add"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"cmdAdd"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

QString AddElementDialog::address() const {
    return m_address->text();
}

QString AddElementDialog::mac() const {
    return m_mac->text();
}

} // namespace ondalink

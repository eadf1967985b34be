// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

namespace ondalink {

// Add element by address: the element's IPv4 address and, for an element behind a router, the MAC
// address printed on the unit.
class AddElementDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddElementDialog(QWidget *parent = nullptr);

    QString address() const;
    QString mac() const;

private:
    QLineEdit *m_address = nullptr;
    QLineEdit *m_mac = nullptr;
};

} // namespace ondalink

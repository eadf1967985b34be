// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/notifier.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace ondalink {

// Shows each message as a modal QMessageBox over the main window.
class QtNotifier : public Notifier {
public:
    explicit QtNotifier(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }
    Answer show(const Message &message) override;

    // The box show() would run, not yet executed; exposed so its look can be checked.
    static QMessageBox *build(const Message &message, QWidget *parent);

private:
    QPointer<QWidget> m_parent;
};

} // namespace ondalink

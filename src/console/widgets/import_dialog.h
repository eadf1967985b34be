// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace ondalink {

// Import elements: the file (CSV or JSON) and whether it is merged into the database or replaces it.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDialog(QWidget *parent = nullptr);

    QString path() const;
    bool replaces() const;

private:
    void browse();

    QLineEdit *m_path = nullptr;
    QRadioButton *m_merge = nullptr;
    QRadioButton *m_replace = nullptr;
};

} // namespace ondalink

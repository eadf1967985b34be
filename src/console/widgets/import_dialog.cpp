// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/import_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

ImportDialog::ImportDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(u"dlgImport"_s);
    setWindowTitle(tr("Import elements"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);

    auto *file = new QHBoxLayout;
    auto *label = new QLabel(tr("&File:"), this);
    m_path = new QLineEdit(this);
    m_path->setObjectName(u"txtImportFile"_s);
    m_path->setAccessibleName(tr("File to import"));
    label->setBuddy(m_path);
    auto *browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(u"cmdBrowse"_s);
    browse->setAccessibleName(tr("Choose the file to import"));
    connect(browse, &QPushButton::clicked, this, &ImportDialog::browse);
    file->addWidget(label);
    file->addWidget(m_path, 1);
    file->addWidget(browse);
    layout->addLayout(file);

    auto *how = new QGroupBox(tr("The elements of the file"), this);
    auto *howLayout = new QVBoxLayout(how);
    m_merge = new QRadioButton(tr("&Merge: add them, replacing elements of the same MAC address"), how);
    m_merge->setObjectName(u"optMerge"_s);
    m_merge->setChecked(true);
    m_replace = new QRadioButton(tr("&Replace: the database holds them and nothing else"), how);
    m_replace->setObjectName(u"optReplace"_s);
    howLayout->addWidget(m_merge);
    howLayout->addWidget(m_replace);
    layout->addWidget(how);

    auto *note = new QLabel(tr("Every row is checked first: a file with a wrong row is not imported at all. "
                               "The current database is kept as nms.ini.bak."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Import"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"cmdImport"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // The choices' full texts set the width; the note wraps within it.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

QString ImportDialog::path() const {
    return m_path->text().trimmed();
}

bool ImportDialog::replaces() const {
    return m_replace->isChecked();
}

void ImportDialog::browse() {
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Import elements"), m_path->text(),
                                                        tr("Element lists (*.csv *.json);;All files (*)"));
    if (!chosen.isEmpty())
        m_path->setText(chosen);
}

} // namespace ondalink

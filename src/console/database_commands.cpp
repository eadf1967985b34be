// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/database_commands.h"

#include "console/widgets/add_element_dialog.h"
#include "console/widgets/import_dialog.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace ondalink {

std::optional<DatabaseDialogs::Address> DatabaseDialogsOver::askAddress() {
    AddElementDialog dialog(&m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Address{dialog.address(), dialog.mac()};
}

QString DatabaseDialogsOver::askExportPath() {
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        &m_window, DatabaseCommands::tr("Export elements"), DatabaseCommands::tr("elements.csv"),
        DatabaseCommands::tr("CSV files (*.csv);;JSON files (*.json)"), &filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filter.contains(u"json"_s) ? u".json"_s : u".csv"_s;
    return path;
}

std::optional<DatabaseDialogs::Import> DatabaseDialogsOver::askImport() {
    ImportDialog dialog(&m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Import{dialog.path(), dialog.replaces()};
}

DatabaseCommands::DatabaseCommands(DatabaseCommandsPresenter &presenter, QObject *parent) : QObject(parent) {
    using Run = void (DatabaseCommandsPresenter::*)();
    const auto make = [this, &presenter](const QString &name, const QString &text, Run run) {
        auto *action = new QAction(text, this);
        action->setObjectName(name);
        connect(action, &QAction::triggered, &presenter, run);
        m_actions.append(action);
        return action;
    };
    make(u"actUpdateFromNetwork"_s, tr("&Update from network..."),
         &DatabaseCommandsPresenter::updateFromNetwork);
    QAction *add = make(u"actAddByAddress"_s, tr("Add element by &address..."),
                        &DatabaseCommandsPresenter::addByAddress);
    make(u"actRestore"_s, tr("Res&tore previous database..."), &DatabaseCommandsPresenter::restorePrevious);
    make(u"actExport"_s, tr("E&xport elements..."), &DatabaseCommandsPresenter::exportElements);
    make(u"actImport"_s, tr("&Import elements..."), &DatabaseCommandsPresenter::importElements);
    add->setEnabled(presenter.addEnabled());
    connect(&presenter, &DatabaseCommandsPresenter::addEnabledChanged, add, &QAction::setEnabled);
}

void DatabaseCommands::install(QMenu &elements) const {
    const QList<QAction *> existing = elements.actions();
    QAction *before = nullptr;
    for (QAction *action : existing) {
        if (action->objectName() == u"actQuit"_s)
            break;
        before = action->isSeparator() ? action : nullptr;
    }
    elements.insertSeparator(before);
    elements.insertActions(before, m_actions);
}

QAction *DatabaseCommands::action(const QString &objectName) const {
    for (QAction *action : m_actions) {
        if (action->objectName() == objectName)
            return action;
    }
    return nullptr;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/presenters/database_commands_presenter.h"

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace ondalink {

// The dialogs of the database commands, over the window.
class DatabaseDialogsOver : public DatabaseDialogs {
public:
    explicit DatabaseDialogsOver(QWidget &window) : m_window(window) {}
    std::optional<Address> askAddress() override;
    QString askExportPath() override;
    std::optional<Import> askImport() override;

private:
    QWidget &m_window;
};

// The database commands' actions: in the Elements menu before Quit, and Add in the element list's
// context menu; Add is offered while no addition is under way.
class DatabaseCommands : public QObject {
    Q_OBJECT
public:
    DatabaseCommands(DatabaseCommandsPresenter &presenter, QObject *parent = nullptr);

    // Puts the commands into the menu (before Quit).
    void install(QMenu &elements) const;
    QAction *action(const QString &objectName) const;

private:
    QList<QAction *> m_actions;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/discovery.h"
#include "link/element_addition.h"
#include "store/element_database.h"

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace ondalink {

class MainWindow;
class Notifier;

// The Elements menu's commands on the database as a whole: Update from network, Add element by
// address, Restore previous database, Export and Import; and the warning about elements that share an
// address after each of them and after Auto Discovery.
class DatabaseCommands : public QObject {
    Q_OBJECT
public:
    DatabaseCommands(MainWindow &window, Notifier &notifier);

    // Puts the commands into the Elements menu (before Quit) and Add into the element list's context
    // menu.
    void install(QMenu &elements);
    QAction *action(const QString &objectName) const;

    // The menu commands, with their dialogs.
    void updateFromNetwork();
    void addByAddress();
    void restorePrevious();
    void exportElements();
    void importElements();

    // What the dialogs lead to.
    bool add(const QString &address, const QString &mac);
    bool exportTo(const QString &path);
    bool importFrom(const QString &path, bool replace);

    ElementAddition &addition() { return m_addition; }
    Discovery &update() { return m_update; }

    // Shows which elements share an address, when any do; returns the sets (for a status column).
    DuplicateAddresses warnDuplicates();

Q_SIGNALS:
    // An update from network has ended: the listed elements that did not answer (Element keys).
    void notAnswered(const QStringList &keys);
    // An addition by address has ended; an added element is selected by now.
    void additionFinished(ondalink::ElementAddition::Outcome outcome, const QString &key);
    // The command's file was written, or the database replaced by it; the list shows it by now.
    void exported(int elements, const QString &path);
    void imported(int elements);
    void restored();

private:
    void additionEnded(ElementAddition::Outcome outcome, const QString &key);

    MainWindow &m_window;
    Notifier &m_notifier;
    Discovery m_update;
    ElementAddition m_addition;
    QList<QAction *> m_actions;
};

} // namespace ondalink

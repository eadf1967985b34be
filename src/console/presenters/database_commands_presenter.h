// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/discovery.h"
#include "link/element_addition.h"
#include "store/element_database.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

namespace ondalink {

class LevelMonitor;
class Notifier;

// The questions the commands ask with a dialog of their own. Each answer is empty when the operator
// cancelled.
class DatabaseDialogs {
public:
    virtual ~DatabaseDialogs() = default;
    struct Address {
        QString address;
        QString mac; // colon form; empty when not given
    };
    virtual std::optional<Address> askAddress() = 0;
    // The file to write, with its extension.
    virtual QString askExportPath() = 0;
    struct Import {
        QString path;
        bool replace = false;
    };
    virtual std::optional<Import> askImport() = 0;
};

// What the commands need of the window around them.
class DatabaseSurroundings {
public:
    virtual ~DatabaseSurroundings() = default;
    // True when the command may go on now; otherwise proceed runs after a confirmed Save.
    virtual bool settlePendingEdits(std::function<void()> proceed) = 0;
    virtual void clearPanel() = 0;
    // Runs the discovery while the paging window shows; returns when it is over.
    virtual void runPaging(Discovery &discovery) = 0;
    // The list from the file again, the shown element kept.
    virtual void reloadList() = 0;
    // The list from the file again and the panel emptied, as Refresh does.
    virtual void refreshList() = 0;
    virtual void selectElement(const QString &mac) = 0;
};

// The Elements menu's commands on the database as a whole: Update from network, Add element by
// address, Restore previous database, Export and Import; and the warning about elements that share an
// address after each of them and after Auto Discovery.
class DatabaseCommandsPresenter : public QObject {
    Q_OBJECT
public:
    // discovery is Auto Discovery's, whose end is followed by the warning too.
    DatabaseCommandsPresenter(ElementDatabase &database, ElementLink &link, Discovery &discovery,
                              LevelMonitor &level, Notifier &notifier, DatabaseDialogs &dialogs,
                              DatabaseSurroundings &surroundings, QObject *parent = nullptr);

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

    // Add is offered again once the addition under way has ended.
    bool addEnabled() const { return !m_adding; }
    ElementAddition &addition() { return m_addition; }
    Discovery &update() { return m_update; }

    // Shows which elements share an address, when any do; returns the sets (for a status column).
    DuplicateAddresses warnDuplicates();

Q_SIGNALS:
    void addEnabledChanged(bool enabled);
    // An update from network has ended: the listed elements that did not answer (Element keys).
    void notAnswered(const QStringList &keys);
    // An addition by address has ended; an added element is selected by now.
    void additionFinished(ondalink::ElementAddition::Outcome outcome, const QString &key);
    // The command's file was written, or the database replaced by it; the list shows it by now.
    void exported(int elements, const QString &path);
    void imported(int elements);
    // What an import wrote, each section's keys as the file gave them.
    void sectionsImported(const ondalink::SectionKeys &sections);
    void restored();

private:
    void additionEnded(ElementAddition::Outcome outcome, const QString &key);
    void setAdding(bool adding);

    ElementDatabase &m_database;
    Notifier &m_notifier;
    DatabaseDialogs &m_dialogs;
    DatabaseSurroundings &m_surroundings;
    Discovery m_update;
    ElementAddition m_addition;
    bool m_adding = false;
};

} // namespace ondalink

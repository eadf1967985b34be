// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace ondalink {

// One element as the tree lists it.
struct ElementListing {
    QString key;             // Element key: 12 upper-case hex digits, the section name
    QString name;            // as stored (16 characters, trailing blanks kept)
    std::optional<int> role; // nullopt when the stored role is missing or not a number
    QString ip;              // as stored; empty when missing

    ElementRole kind() const { return roleFromValue(role.value_or(0)); }
};

// Elements stored with one address, in file order; each set has two elements or more.
using DuplicateAddresses = QList<QList<ElementListing>>;
DuplicateAddresses duplicateAddresses(const QList<ElementListing> &elements);

// The element database nms.ini: where it lives and the operations the other layers use on it.
class ElementDatabase {
public:
    explicit ElementDatabase(QString path);

    // nms.ini beside the program when that folder is writable and not an installed copy's, otherwise in
    // the per-user data folder.
    static QString defaultPath();

    const QString &path() const { return m_path; }
    bool exists() const;

    QString read(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    bool write(const QString &section, const QString &key, const QString &value) const;
    int keyCount(const QString &section) const;
    // An element's section from one reading of the file; nullopt when the file holds no key line for
    // it or cannot be read.
    std::optional<StoredElement> load(const QString &key) const;
    // Every section's first occurrence by its name (upper case), from one reading of the file: for a
    // reader that compares many elements at once.
    QHash<QString, StoredElement> loadAll() const;
    // Several keys of one section in one atomic replacement of the file.
    bool writeSection(const QString &section, const QList<std::pair<QString, QString>> &keyValues) const;
    // Several sections in one atomic replacement of the file.
    bool writeSections(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections) const;

    // Every section that names an element, in file order, from one reading of the file.
    // Sections whose names are not 12 hex digits are left out; so are later duplicates of a name.
    // A file that is there but cannot be read lists nothing and sets readError.
    QList<ElementListing> listing(QString *readError = nullptr) const;

    // Start-up: temporary files that killed writes of nms.ini or nms.ini.bak left behind. Returns
    // how many were removed; only files untouched for a minute go. A restore cut short is completed.
    int removeStaleTemporaries() const;

    // nms.ini.bak beside the file: what the last bulk change replaced.
    QString backupPath() const;
    bool hasBackup() const;
    // Copies the file to nms.ini.bak before a bulk change keeps its sections; a missing file leaves the
    // backup as it is.
    bool keepBackup(QString *error = nullptr) const;
    // Puts nms.ini.bak back; the file it replaces becomes the new nms.ini.bak. Each step replaces or
    // renames a whole file, and a crash between them is completed by removeStaleTemporaries.
    bool restoreBackup(QString *error = nullptr) const;
    // Each section's key lines become exactly the ones given; sections keep their place, new ones are
    // appended. With wholeFile the file holds these sections only. One replacement of the file.
    bool replaceSections(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections,
                         bool wholeFile = false) const;
    // Removes the element's section; true when it is gone (or was never there).
    bool removeSection(const QString &key) const;
    DuplicateAddresses duplicateAddresses() const { return ondalink::duplicateAddresses(listing()); }

    // Discovery's fresh start: keep the current file as nms.ini.bak, then leave an empty nms.ini.
    // On failure returns false with a reason the operator can act on.
    bool recreateEmpty(QString *error = nullptr) const;

private:
    QString m_path;
};

} // namespace ondalink

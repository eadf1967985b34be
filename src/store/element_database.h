// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

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
    QString ip;              // the stored address text as it is, empty when missing
};

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
    // Several keys of one section in one atomic replacement of the file.
    bool writeSection(const QString &section, const QList<std::pair<QString, QString>> &keyValues) const;
    // Several sections in one atomic replacement of the file.
    bool writeSections(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections) const;

    // Every section that names an element, in file order, from one reading of the file.
    // Sections whose names are not 12 hex digits are left out; so are later duplicates of a name.
    // A file that is there but cannot be read lists nothing and sets readError.
    QList<ElementListing> listing(QString *readError = nullptr) const;

    // Start-up: temporary files that killed writes of nms.ini or nms.ini.bak left behind. Returns
    // how many were removed; only files untouched for a minute go.
    int removeStaleTemporaries() const;

    // Discovery's fresh start: keep the current file as nms.ini.bak, then leave an empty nms.ini.
    // On failure returns false with a reason the operator can act on.
    bool recreateEmpty(QString *error = nullptr) const;

private:
    QString m_path;
};

} // namespace ondalink

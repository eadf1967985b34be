// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <utility>

namespace ondalink::ini {

using KeyValues = QList<std::pair<QByteArray, QByteArray>>;

// Changes to a profile file's text. Each returns the whole new text, or nullopt when the text would
// stay as it is. Only the bytes of the lines concerned change; everything else is copied as it stands.
// Names are matched as ini::Text matches them; keys are stored as given (callers upper-case them).

// Sets each key of the first section of that name, in order: an existing key gets its value replaced
// in place, a new key goes after the section's last key line. A missing section is appended.
std::optional<QByteArray> setKeys(QByteArrayView file, QByteArrayView section, const KeyValues &keyValues);
// setKeys for several sections in one pass. Sections that are not in the file yet are appended together
// (one copy of the file, not one per section), in the order given.
std::optional<QByteArray> setSections(QByteArrayView file,
                                      const QList<std::pair<QByteArray, KeyValues>> &sections);
// Each section's key lines become exactly the ones given, in their order: the first section of that name
// keeps its place (comments and blank lines inside it go too), later ones of that name are removed, and a
// missing section is appended. Several sections in one pass.
std::optional<QByteArray> replaceSections(QByteArrayView file,
                                          const QList<std::pair<QByteArray, KeyValues>> &sections);
// Removes every section of that name.
std::optional<QByteArray> removeSection(QByteArrayView file, QByteArrayView section);
// Removes every line of that key from the first section of that name.
std::optional<QByteArray> removeKey(QByteArrayView file, QByteArrayView section, QByteArrayView key);
// Gives the first line of the key the new name and the value it had, in place; when another key of the
// new name exists, that one takes the value instead. Other lines of the old key go.
std::optional<QByteArray> renameKey(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                                    QByteArrayView newKey);
// Moves the key lines of the first section of that name into the new section (keys upper-cased, the first
// of duplicate keys kept) and removes every section of the old name. A change of letter case only renames
// the header in place.
std::optional<QByteArray> renameSection(QByteArrayView file, QByteArrayView section,
                                        QByteArrayView newSection);

} // namespace ondalink::ini

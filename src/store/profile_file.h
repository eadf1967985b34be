// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace ondalink {

// The profile-file operations over an INI file of our own reading and writing (Latin-1, CRLF).
// Every call reads the file afresh and keeps nothing open; every change replaces the file
// atomically. Section and key names match without regard to ASCII case.

// A value longer than this comes back cut to it.
inline constexpr int kMaxValueLength = 749;

// The classic profile-file procedure names, which the rest of the system calls them by.
// NOLINTBEGIN(readability-identifier-naming)
QString ReadFromINI(const QString &strSection, const QString &strkey, const QString &strfullpath,
                    const QString &strDefault = {});
// Writes the key name in upper case. False when the file could not be replaced.
bool WriteToINI(const QString &strSection, const QString &strkey, const QString &strkeyvalue,
                const QString &strfullpath);
bool DeleteIniSection(const QString &strSection, const QString &strfullpath);
bool DeleteIniKey(const QString &strSection, const QString &strKeyname, const QString &strfullpath);
bool CheckIfIniKeyExists(const QString &strSection, const QString &strKeyname, const QString &strfullpath);
bool CheckIfIniSectionExists(const QString &strSection, const QString &strfullpath);
qint32 GetLongFromINI(const QString &strSection, const QString &strKeyname, const QString &strfullpath,
                      qint32 lngDefault = 0);
bool RenameIniKey(const QString &strSection, const QString &strKeyname, const QString &strNewKeyname,
                  const QString &strfullpath);
bool RenameIniSection(const QString &strSection, const QString &strNewSection, const QString &strfullpath);
void LoadIniSectionsLB(QStringList &lstB, const QString &strfullpath);
QStringList LoadIniSectionsArray(const QString &strfullpath);
void LoadIniSectionKeysLB(const QString &strSection, QStringList &lstB, const QString &strfullpath);
qint16 GetSectionKeyCount(const QString &strSection, const QString &strfullpath);

// Writes several keys of one section (names upper-cased as WriteToINI does) with one replacement
// of the file, so that a report is stored whole or not at all.
bool WriteSectionToINI(const QString &strSection, const QList<std::pair<QString, QString>> &keyValues,
                       const QString &strfullpath);
// WriteSectionToINI for several sections, all in one replacement of the file; nothing is written when
// any name or value cannot be.
bool WriteSectionsToINI(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections,
                        const QString &strfullpath);
// NOLINTEND(readability-identifier-naming)

// Each section's key lines become exactly the ones given (names upper-cased), the section keeping its
// place or appended when missing; one replacement of the file. With wholeFile the file holds these
// sections and nothing else. Nothing is written when any name or value cannot be.
bool replaceSectionsInIni(const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections,
                          const QString &strfullpath, bool wholeFile = false);

} // namespace ondalink

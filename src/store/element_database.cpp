// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/element_database.h"

#include "model/ipv4.h"
#include "model/mac_text.h"
#include "store/atomic_file.h"
#include "store/ini_text.h"
#include "store/profile_file.h"

#include <ondalink/version.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kFileName = u"nms.ini"_s;
// The file a restore replaces waits here until it is renamed to nms.ini.bak.
const QString kSwapSuffix = u".bak.swap"_s;

// A copy installed with its desktop entry (<prefix>/bin beside <prefix>/share) never writes into its
// folder, not even when root runs it and could.
bool isInstalledCopy(const QString &programDir) {
    return QFileInfo::exists(
        QDir(programDir)
            .filePath(u"../share/applications/"_s + QLatin1StringView(kDesktopId) + u".desktop"_s));
}

} // namespace

ElementDatabase::ElementDatabase(QString path) : m_path(std::move(path)) {}

QString ElementDatabase::defaultPath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    if (!programDir.isEmpty() && QFileInfo(programDir).isWritable() && !isInstalledCopy(programDir))
        return QDir(programDir).filePath(kFileName);
    // An installed program's folder is not the operator's to write: keep the database per user.
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(kFileName);
}

bool ElementDatabase::exists() const {
    return QFileInfo(m_path).isFile();
}

QString ElementDatabase::read(const QString &section, const QString &key, const QString &defaultValue) const {
    return ReadFromINI(section, key, m_path, defaultValue);
}

bool ElementDatabase::write(const QString &section, const QString &key, const QString &value) const {
    return WriteToINI(section, key, value, m_path);
}

int ElementDatabase::keyCount(const QString &section) const {
    return GetSectionKeyCount(section, m_path);
}

namespace {

// The section's key lines as panel loading reads them; nullopt when it has none.
std::optional<StoredElement> storedElement(const ini::Text &text, const ini::Section &section,
                                           const QString &key) {
    StoredElement element(key);
    text.forEachKeyLine(section, [&](const ini::KeyLine &line) {
        element.addKeyLine(line.key, line.value);
        return true;
    });
    if (element.keyCount() == 0)
        return std::nullopt;
    return element;
}

} // namespace

std::optional<StoredElement> ElementDatabase::load(const QString &key) const {
    const QByteArray name = key.toLatin1();
    if (QString::fromLatin1(name) != key)
        return std::nullopt; // no section can have that name
    const FileContents contents = readWholeFile(m_path);
    const ini::Text text(contents.bytes);
    const auto section = text.findSection(name);
    if (!section)
        return std::nullopt;
    return storedElement(text, *section, key);
}

QHash<QString, StoredElement> ElementDatabase::loadAll() const {
    const FileContents contents = readWholeFile(m_path);
    const ini::Text text(contents.bytes);
    QHash<QString, StoredElement> elements;
    QSet<QString> seen; // as load() finds it: the first section of a name, even an empty one
    text.forEachSection([&](const ini::Section &section) {
        const QString name = QString::fromLatin1(section.name).toUpper();
        if (seen.contains(name))
            return true;
        seen.insert(name);
        if (auto element = storedElement(text, section, name))
            elements.insert(name, *element);
        return true;
    });
    return elements;
}

bool ElementDatabase::writeSection(const QString &section,
                                   const QList<std::pair<QString, QString>> &keyValues) const {
    return WriteSectionToINI(section, keyValues, m_path);
}

bool ElementDatabase::writeSections(
    const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections) const {
    return WriteSectionsToINI(sections, m_path);
}

QList<ElementListing> ElementDatabase::listing(QString *readError) const {
    const FileContents contents = readWholeFile(m_path);
    if (readError)
        *readError = contents.error;
    const ini::Text text(contents.bytes);
    QList<ElementListing> elements;
    QSet<QByteArray> seen; // sections match without case, so 00a0… repeats 00A0…
    text.forEachSection([&](const ini::Section &section) {
        const QByteArray upper = ini::asciiUpper(section.name);
        const QString key = QString::fromLatin1(upper);
        if (!isElementKey(key) || seen.contains(upper))
            return true;
        seen.insert(upper);
        std::optional<QByteArrayView> name;
        std::optional<QByteArrayView> role;
        std::optional<QByteArrayView> ip;
        text.forEachKeyLine(section, [&](const ini::KeyLine &line) {
            if (!name && ini::equalsIgnoringAsciiCase(line.key, "name"))
                name = line.value;
            else if (!role && ini::equalsIgnoringAsciiCase(line.key, "role"))
                role = line.value;
            else if (!ip && ini::equalsIgnoringAsciiCase(line.key, "ip"))
                ip = line.value;
            return !(name && role && ip);
        });
        ElementListing element;
        element.key = key;
        element.name = name ? QString::fromLatin1(*name).left(kMaxValueLength) : QString();
        element.role = role ? wholeNumber(*role) : std::nullopt;
        element.ip = ip ? QString::fromLatin1(*ip).left(kMaxValueLength) : QString();
        elements.append(std::move(element));
        return true;
    });
    return elements;
}

int ElementDatabase::removeStaleTemporaries() const {
    constexpr int kStaleSeconds = 60;
    // A restore cut short: the swap file holds the database it replaced. When nms.ini still holds the
    // same bytes, the restore never happened and the swap goes; otherwise it becomes the backup.
    const QString swap = m_path + kSwapSuffix;
    const FileContents pending = readWholeFile(swap);
    if (pending.status == FileContents::Status::Read) {
        if (readWholeFile(m_path).bytes == pending.bytes)
            QFile::remove(swap);
        else
            renameFileDurably(swap, backupPath());
    }
    return ondalink::removeStaleTemporaries(m_path, kStaleSeconds) +
           ondalink::removeStaleTemporaries(backupPath(), kStaleSeconds) +
           ondalink::removeStaleTemporaries(swap, kStaleSeconds);
}

QString ElementDatabase::backupPath() const {
    return m_path + u".bak"_s;
}

bool ElementDatabase::hasBackup() const {
    return QFileInfo(backupPath()).isFile();
}

bool ElementDatabase::keepBackup(QString *error) const {
    const FileContents current = readWholeFile(m_path);
    switch (current.status) {
    case FileContents::Status::Missing:
        return true;
    case FileContents::Status::Failed:
        if (error)
            *error = current.error;
        return false;
    case FileContents::Status::Read:
        break;
    }
    return replaceFileAtomically(backupPath(), current.bytes, error);
}

bool ElementDatabase::restoreBackup(QString *error) const {
    const FileContents backup = readWholeFile(backupPath());
    const FileContents current = readWholeFile(m_path);
    for (const FileContents *file : {&backup, &current}) {
        if (file->status == FileContents::Status::Failed) {
            if (error)
                *error = file->error;
            return false;
        }
    }
    if (backup.status == FileContents::Status::Missing) {
        if (error)
            *error = QCoreApplication::translate("ElementDatabase", "There is no %1.")
                         .arg(QDir::toNativeSeparators(backupPath()));
        return false;
    }
    if (!canReplaceFile(m_path, error) || !canReplaceFile(backupPath(), error))
        return false;
    // The current file is complete on disk under a third name before nms.ini changes, so a crash at any
    // point loses neither file.
    const QString swap = m_path + kSwapSuffix;
    const bool hadCurrent = current.status == FileContents::Status::Read;
    if (hadCurrent && !replaceFileAtomically(swap, current.bytes, error))
        return false;
    if (!replaceFileAtomically(m_path, backup.bytes, error)) {
        QFile::remove(swap);
        return false;
    }
    if (!hadCurrent)
        return true; // nothing was replaced: the backup stays as it is
    return renameFileDurably(swap, backupPath(), error);
}

bool ElementDatabase::replaceSections(
    const QList<std::pair<QString, QList<std::pair<QString, QString>>>> &sections, bool wholeFile) const {
    return replaceSectionsInIni(sections, m_path, wholeFile);
}

bool ElementDatabase::removeSection(const QString &key) const {
    return DeleteIniSection(key, m_path);
}

DuplicateAddresses duplicateAddresses(const QList<ElementListing> &elements) {
    QList<quint32> order;
    QHash<quint32, QList<ElementListing>> byAddress;
    for (const ElementListing &element : elements) {
        // An address is the four numbers it stands for: 10.0.0.1 and 010.000.000.001 are one.
        const auto address = parseDottedAddress(element.ip.trimmed());
        if (!address)
            continue;
        auto &same = byAddress[address->value];
        if (same.isEmpty())
            order.append(address->value);
        same.append(element);
    }
    DuplicateAddresses sets;
    for (const quint32 address : order) {
        if (byAddress[address].size() > 1)
            sets.append(byAddress[address]);
    }
    return sets;
}

bool ElementDatabase::recreateEmpty(QString *error) const {
    const FileContents current = readWholeFile(m_path);
    if (current.status == FileContents::Status::Failed) {
        if (error)
            *error = current.error;
        return false;
    }
    // No copy when the database itself could not be emptied afterwards.
    if (!canReplaceFile(m_path, error))
        return false;
    // The copy is complete on disk before the database is emptied; each step replaces a whole file.
    if (current.status == FileContents::Status::Read &&
        !replaceFileAtomically(m_path + u".bak"_s, current.bytes, error))
        return false;
    return replaceFileAtomically(m_path, {}, error);
}

} // namespace ondalink

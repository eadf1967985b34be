// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/element_database.h"

#include "model/mac_text.h"
#include "store/atomic_file.h"
#include "store/ini_text.h"
#include "store/profile_file.h"

#include <ondalink/version.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kFileName = u"nms.ini"_s;

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

std::optional<StoredElement> ElementDatabase::load(const QString &key) const {
    const QByteArray name = key.toLatin1();
    if (QString::fromLatin1(name) != key)
        return std::nullopt; // no section can have that name
    const FileContents contents = readWholeFile(m_path);
    const ini::Text text(contents.bytes);
    const auto section = text.findSection(name);
    if (!section)
        return std::nullopt;
    StoredElement element(key);
    text.forEachKeyLine(*section, [&](const ini::KeyLine &line) {
        element.addKeyLine(line.key, line.value);
        return true;
    });
    if (element.keyCount() == 0)
        return std::nullopt;
    return element;
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
        element.ip = ip ? QString::fromLatin1(*ip) : QString();
        elements.append(std::move(element));
        return true;
    });
    return elements;
}

int ElementDatabase::removeStaleTemporaries() const {
    constexpr int kStaleSeconds = 60;
    return ondalink::removeStaleTemporaries(m_path, kStaleSeconds) +
           ondalink::removeStaleTemporaries(m_path + u".bak"_s, kStaleSeconds);
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/database_commands_presenter.h"

#include "link/level_monitor.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/atomic_file.h"
#include "store/element_exchange.h"

#include <cerrno>

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

QString fileName(const QString &path) {
    return QFileInfo(path).fileName();
}

ExchangeFormat formatOf(const QString &path) {
    return path.endsWith(u".json"_s, Qt::CaseInsensitive) ? ExchangeFormat::Json : ExchangeFormat::Csv;
}

} // namespace

DatabaseCommandsPresenter::DatabaseCommandsPresenter(ElementDatabase &database, ElementLink &link,
                                                     Discovery &discovery, LevelMonitor &level,
                                                     Notifier &notifier, DatabaseDialogs &dialogs,
                                                     DatabaseSurroundings &surroundings, QObject *parent)
    : QObject(parent), m_database(database), m_notifier(notifier), m_dialogs(dialogs),
      m_surroundings(surroundings), m_update(link, Discovery::Mode::Update), m_addition(link) {
    connect(&m_update, &Discovery::starting, this, [&level] { level.setEnabled(false); });
    connect(&m_update, &Discovery::notAnswered, this, &DatabaseCommandsPresenter::notAnswered);
    connect(&m_addition, &ElementAddition::finished, this, &DatabaseCommandsPresenter::additionEnded);
    // After the paging window has closed, not from inside its last tick.
    for (Discovery *each : {&m_update, &discovery})
        connect(
            each, &Discovery::finished, this, [this] { warnDuplicates(); }, Qt::QueuedConnection);
}

void DatabaseCommandsPresenter::updateFromNetwork() {
    const auto run = [this] {
        m_surroundings.clearPanel();
        m_surroundings.runPaging(m_update);
    };
    // The panel's unsaved edits are asked about after the command's own question, before it clears.
    if (m_update.confirm() && m_surroundings.settlePendingEdits(run))
        run();
}

void DatabaseCommandsPresenter::addByAddress() {
    if (const std::optional<DatabaseDialogs::Address> chosen = m_dialogs.askAddress())
        add(chosen->address, chosen->mac);
}

bool DatabaseCommandsPresenter::add(const QString &address, const QString &mac) {
    if (!m_addition.start(address, mac))
        return false;
    setAdding(true);
    return true;
}

void DatabaseCommandsPresenter::setAdding(bool adding) {
    if (m_adding == adding)
        return;
    m_adding = adding;
    Q_EMIT addEnabledChanged(!adding);
}

void DatabaseCommandsPresenter::additionEnded(ElementAddition::Outcome outcome, const QString &key) {
    setAdding(false);
    if (outcome == ElementAddition::Outcome::Added) {
        m_surroundings.reloadList();
        m_surroundings.selectElement(elementKeyToMac(key));
        warnDuplicates();
    }
    Q_EMIT additionFinished(outcome, key);
}

void DatabaseCommandsPresenter::restorePrevious() {
    const QString backupName = fileName(m_database.backupPath());
    if (!m_database.hasBackup()) {
        m_notifier.show({MessageId::NoBackup, {backupName}});
        return;
    }
    const qsizetype previous = ElementDatabase(m_database.backupPath()).listing().size();
    const qsizetype current = m_database.listing().size();
    const Message ask(MessageId::RestoreConfirm, {backupName, QString::number(previous),
                                                  fileName(m_database.path()), QString::number(current)});
    const auto restore = [this] {
        QString error;
        if (!m_database.restoreBackup(&error)) {
            m_notifier.show({MessageId::RestoreFailed, {error}});
            return;
        }
        m_surroundings.refreshList();
        warnDuplicates();
        Q_EMIT restored();
    };
    if (m_notifier.show(ask) == Answer::Yes && m_surroundings.settlePendingEdits(restore))
        restore();
}

void DatabaseCommandsPresenter::exportElements() {
    const QString path = m_dialogs.askExportPath();
    if (!path.isEmpty())
        exportTo(path);
}

bool DatabaseCommandsPresenter::exportTo(const QString &path) {
    const QList<ExchangedElement> elements = exportableElements(m_database);
    QString error;
    if (!replaceFileAtomically(path, ondalink::exportElements(elements, formatOf(path)), &error)) {
        m_notifier.show({MessageId::ExportFailed, {error}});
        return false;
    }
    m_notifier.show(
        {MessageId::Exported, {QString::number(elements.size()), QDir::toNativeSeparators(path)}});
    Q_EMIT exported(static_cast<int>(elements.size()), path);
    return true;
}

void DatabaseCommandsPresenter::importElements() {
    const std::optional<DatabaseDialogs::Import> chosen = m_dialogs.askImport();
    if (chosen && !chosen->path.isEmpty())
        importFrom(chosen->path, chosen->replace);
}

bool DatabaseCommandsPresenter::importFrom(const QString &path, bool replace) {
    const FileContents file = readWholeFile(path);
    if (file.status != FileContents::Status::Read) {
        const QString why =
            file.status == FileContents::Status::Missing
                ? phrase(PhraseId::CannotRead, {QDir::toNativeSeparators(path), qt_error_string(ENOENT)})
                : file.error;
        m_notifier.show({MessageId::ImportNotRead, {why}});
        return false;
    }
    const ImportResult result = ondalink::importElements(file.bytes, formatOf(path));
    if (!result.ok()) {
        m_notifier.show({MessageId::ImportRefused, {fileName(path), problemList(result.problems)}});
        return false;
    }
    const QString count = QString::number(result.elements.size());
    const QString backup = fileName(m_database.backupPath());
    const Message ask =
        replace ? Message(MessageId::ImportReplaceConfirm,
                          {QString::number(m_database.listing().size()), count, fileName(path), backup})
                : Message(MessageId::ImportMergeConfirm, {count, fileName(path), backup});
    if (m_notifier.show(ask) != Answer::Yes)
        return false;
    SectionKeys sections;
    for (const ExchangedElement &element : result.elements)
        sections.append({element.key, element.keys});
    const auto write = [this, sections, replace, count = static_cast<int>(result.elements.size())] {
        QString error;
        if (!m_database.keepBackup(&error) || !m_database.replaceSections(sections, replace)) {
            m_notifier.show({MessageId::ImportNotWritten,
                             {error.isEmpty() ? QDir::toNativeSeparators(m_database.path()) : error}});
            return false;
        }
        m_surroundings.refreshList();
        warnDuplicates();
        Q_EMIT imported(count);
        Q_EMIT sectionsImported(sections);
        return true;
    };
    return m_surroundings.settlePendingEdits([write] { write(); }) && write();
}

DuplicateAddresses DatabaseCommandsPresenter::warnDuplicates() {
    DuplicateAddresses sets = m_database.duplicateAddresses();
    if (sets.isEmpty())
        return sets;
    QStringList lines;
    for (const QList<ElementListing> &set : std::as_const(sets)) {
        QStringList names;
        for (const ElementListing &element : set)
            names.append(u"%1 [%2]"_s.arg(element.name.trimmed(), elementKeyToMac(element.key)));
        lines.append(u"%1: %2"_s.arg(set.front().ip.trimmed(), names.join(u", "_s)));
    }
    m_notifier.show({MessageId::SharedAddresses, lines});
    return sets;
}

} // namespace ondalink

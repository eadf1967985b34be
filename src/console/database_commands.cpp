// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/database_commands.h"

#include "console/add_element_dialog.h"
#include "console/element_tree.h"
#include "console/import_dialog.h"
#include "console/main_window.h"
#include "console/paging_window.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/atomic_file.h"
#include "store/element_exchange.h"

#include <cerrno>

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

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

DatabaseCommands::DatabaseCommands(MainWindow &window, Notifier &notifier)
    : QObject(&window), m_window(window), m_notifier(notifier),
      m_update(window.link(), Discovery::Mode::Update), m_addition(window.link()) {
    const auto make = [this](const QString &name, const QString &text, void (DatabaseCommands::*slot)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        m_actions.append(action);
    };
    make(u"actUpdateFromNetwork"_s, tr("&Update from network..."), &DatabaseCommands::updateFromNetwork);
    make(u"actAddByAddress"_s, tr("Add element by &address..."), &DatabaseCommands::addByAddress);
    make(u"actRestore"_s, tr("Res&tore previous database..."), &DatabaseCommands::restorePrevious);
    make(u"actExport"_s, tr("E&xport elements..."), &DatabaseCommands::exportElements);
    make(u"actImport"_s, tr("&Import elements..."), &DatabaseCommands::importElements);

    connect(&m_update, &Discovery::starting, this, [this] { m_window.levelMonitor().setEnabled(false); });
    connect(&m_update, &Discovery::notAnswered, this, &DatabaseCommands::notAnswered);
    connect(&m_addition, &ElementAddition::finished, this, &DatabaseCommands::additionEnded);
    // After the paging window has closed, not from inside its last tick.
    for (Discovery *discovery : {&m_update, &m_window.discovery()})
        connect(
            discovery, &Discovery::finished, this, [this] { warnDuplicates(); }, Qt::QueuedConnection);
}

void DatabaseCommands::install(QMenu &elements) {
    const QList<QAction *> existing = elements.actions();
    QAction *before = nullptr;
    for (QAction *action : existing) {
        if (action->objectName() == u"actQuit"_s)
            break;
        before = action->isSeparator() ? action : nullptr;
    }
    elements.insertSeparator(before);
    elements.insertActions(before, m_actions);
    m_window.elementTree().addContextAction(action(u"actAddByAddress"_s));
}

QAction *DatabaseCommands::action(const QString &objectName) const {
    for (QAction *action : m_actions) {
        if (action->objectName() == objectName)
            return action;
    }
    return nullptr;
}

void DatabaseCommands::updateFromNetwork() {
    const auto run = [this] {
        m_window.panel().ClearPanel();
        runPaging(m_update, &m_window);
    };
    // The panel's unsaved edits are asked about after the command's own question, before it clears.
    if (m_update.confirm() && m_window.settlePendingEdits(run))
        run();
}

void DatabaseCommands::addByAddress() {
    AddElementDialog dialog(&m_window);
    if (dialog.exec() == QDialog::Accepted)
        add(dialog.address(), dialog.mac());
}

bool DatabaseCommands::add(const QString &address, const QString &mac) {
    if (!m_addition.start(address, mac))
        return false;
    action(u"actAddByAddress"_s)->setEnabled(false);
    return true;
}

void DatabaseCommands::additionEnded(ElementAddition::Outcome outcome, const QString &key) {
    action(u"actAddByAddress"_s)->setEnabled(true);
    if (outcome == ElementAddition::Outcome::Added) {
        m_window.Load_Config();
        m_window.elementTree().selectNode(elementKeyToMac(key));
        warnDuplicates();
    }
    Q_EMIT additionFinished(outcome, key);
}

void DatabaseCommands::restorePrevious() {
    const ElementDatabase &database = m_window.database();
    const QString backupName = fileName(database.backupPath());
    if (!database.hasBackup()) {
        m_notifier.show({MessageId::NoBackup, {backupName}});
        return;
    }
    const qsizetype previous = ElementDatabase(database.backupPath()).listing().size();
    const qsizetype current = database.listing().size();
    const Message ask(MessageId::RestoreConfirm, {backupName, QString::number(previous),
                                                  fileName(database.path()), QString::number(current)});
    const auto restore = [this] {
        QString error;
        if (!m_window.database().restoreBackup(&error)) {
            m_notifier.show({MessageId::RestoreFailed, {error}});
            return;
        }
        m_window.Refresh();
        warnDuplicates();
        Q_EMIT restored();
    };
    if (m_notifier.show(ask) == Answer::Yes && m_window.settlePendingEdits(restore))
        restore();
}

void DatabaseCommands::exportElements() {
    QString filter;
    QString path = QFileDialog::getSaveFileName(&m_window, tr("Export elements"), tr("elements.csv"),
                                                tr("CSV files (*.csv);;JSON files (*.json)"), &filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += filter.contains(u"json"_s) ? u".json"_s : u".csv"_s;
    exportTo(path);
}

bool DatabaseCommands::exportTo(const QString &path) {
    const QList<ExchangedElement> elements = exportableElements(m_window.database());
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

void DatabaseCommands::importElements() {
    ImportDialog dialog(&m_window);
    if (dialog.exec() == QDialog::Accepted && !dialog.path().isEmpty())
        importFrom(dialog.path(), dialog.replaces());
}

bool DatabaseCommands::importFrom(const QString &path, bool replace) {
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
    ElementDatabase &database = m_window.database();
    const QString count = QString::number(result.elements.size());
    const QString backup = fileName(database.backupPath());
    const Message ask =
        replace ? Message(MessageId::ImportReplaceConfirm,
                          {QString::number(database.listing().size()), count, fileName(path), backup})
                : Message(MessageId::ImportMergeConfirm, {count, fileName(path), backup});
    if (m_notifier.show(ask) != Answer::Yes)
        return false;
    QList<std::pair<QString, KeyValues>> sections;
    for (const ExchangedElement &element : result.elements)
        sections.append({element.key, element.keys});
    const auto write = [this, sections, replace, count = static_cast<int>(result.elements.size())] {
        ElementDatabase &target = m_window.database();
        QString error;
        if (!target.keepBackup(&error) || !target.replaceSections(sections, replace)) {
            m_notifier.show({MessageId::ImportNotWritten,
                             {error.isEmpty() ? QDir::toNativeSeparators(target.path()) : error}});
            return false;
        }
        m_window.Refresh();
        warnDuplicates();
        Q_EMIT imported(count);
        return true;
    };
    return m_window.settlePendingEdits([write] { write(); }) && write();
}

DuplicateAddresses DatabaseCommands::warnDuplicates() {
    DuplicateAddresses sets = m_window.database().duplicateAddresses();
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/configuration_console.h"

#include "console/status_console.h"
#include "console/widgets/history_dialog.h"
#include "console/widgets/main_window.h"
#include "console/widgets/replace_dialog.h"
#include "link/element_link.h"
#include "model/mac_text.h"
#include "model/messages.h"
#include "model/notifier.h"
#include "status/history_feed.h"
#include "store/atomic_file.h"
#include "store/configuration_compare.h"
#include "store/configuration_history.h"
#include "store/element_database.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

QString defaultHistoryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/history"_s;
}

// What a spare takes from the unit it replaces: everything but what belongs to the unit itself.
KeyValues replacementSettings(const StoredElement &failed) {
    static const QSet<QString> kept{keyName(ElementKey::Role), keyName(ElementKey::Sn),
                                    keyName(ElementKey::Ver), keyName(ElementKey::Att)};
    KeyValues settings;
    const KeyValues all = sectionSettings(failed);
    for (const auto &[key, value] : all) {
        if (!kept.contains(key))
            settings.append({key, value});
    }
    return settings;
}

} // namespace

ConfigurationConsole::ConfigurationConsole(MainWindow &window, const StatusParts &parts, DriftWatch &drift,
                                           Notifier &notifier, const QString &historyFolder, QObject *parent)
    : QObject(parent), m_window(window), m_parts(parts), m_notifier(notifier) {
    m_recorder = std::make_unique<HistoryRecorder>(
        ConfigurationHistory(historyFolder.isEmpty() ? defaultHistoryFolder() : historyFolder));
    m_feed = std::make_unique<HistoryFeed>(*m_recorder, parts.link, parts.discovery, parts.commands.update(),
                                           drift);
    connect(&parts.commands, &DatabaseCommandsPresenter::sectionsImported, m_feed.get(),
            [feed = m_feed.get()](const SectionKeys &sections) {
                feed->record(sections, ConfigurationOrigin::Import);
            });
    connect(&parts.link, &ElementLink::configurationsStored, this,
            [this](const SectionKeys &sections, ConfigurationOrigin origin) {
                if (!m_replacement || origin != ConfigurationOrigin::ConfirmedWrite)
                    return;
                for (const auto &[key, keys] : sections) {
                    if (key == m_replacement->spareKey)
                        spareStored(keys);
                }
            });
    connect(&parts.link, &ElementLink::configurationTimedOut, this, [this](const QString &mac) {
        if (!m_replacement || macToElementKey(mac) != m_replacement->spareKey)
            return;
        const QStringList names = std::exchange(m_replacement, std::nullopt)->names;
        updateActions();
        // After the link's own word on the time-out.
        QMetaObject::invokeMethod(
            this,
            [this, names] {
                m_notifier.show({MessageId::ReplacementNotConfirmed, names});
            },
            Qt::QueuedConnection);
    });

    m_history = new QAction(tr("Configuration &history…"), &window);
    m_history->setObjectName(u"actHistory"_s);
    m_history->setToolTip(tr("Every configuration stored for the element, and what each changed"));
    connect(m_history, &QAction::triggered, this, &ConfigurationConsole::showHistory);
    m_replace = new QAction(tr("&Replace with…"), &window);
    m_replace->setObjectName(u"actReplace"_s);
    m_replace->setToolTip(
        tr("Send a spare of the same role this element's configuration, then remove this one"));
    connect(m_replace, &QAction::triggered, this, &ConfigurationConsole::replaceShown);
    window.addElementActions({m_history, m_replace});
    connect(&window, &MainWindow::shownElementChanged, this, &ConfigurationConsole::updateActions);
    updateActions();
}

ConfigurationConsole::~ConfigurationConsole() = default;

void ConfigurationConsole::updateActions() {
    const bool shown = !m_window.shownMac().isEmpty();
    m_history->setEnabled(shown);
    m_replace->setEnabled(shown && !m_replacement);
}

const ElementListing *ConfigurationConsole::listed(const QString &key) const {
    const QList<ElementListing> &listing = m_window.listing();
    const auto it = std::find_if(listing.cbegin(), listing.cend(),
                                 [&key](const ElementListing &element) { return element.key == key; });
    return it == listing.cend() ? nullptr : &*it;
}

QString ConfigurationConsole::elementLabel(const QString &key) const {
    QString mac = elementKeyToMac(key);
    const ElementListing *element = listed(key);
    if (element && !element->name.trimmed().isEmpty())
        return tr("%1 (%2)").arg(element->name.trimmed(), mac);
    return mac;
}

void ConfigurationConsole::showHistory() {
    const QString mac = m_window.shownMac();
    const QString key = macToElementKey(mac);
    if (key.isEmpty())
        return;
    const ConfigurationHistory::Reading reading = m_recorder->read(key);
    if (!reading.error.isEmpty()) {
        m_notifier.show({MessageId::HistoryNotRead, {mac, reading.error}});
        return;
    }
    auto *dialog = new HistoryDialog(elementLabel(key), reading.versions, reading.damagedLines, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &HistoryDialog::sendRequested, this, [this, dialog, mac](const KeyValues &keys) {
        dialog->close();
        m_window.sendSettings(mac, keys);
    });
    connect(dialog, &HistoryDialog::exportRequested, this, [this, dialog, mac, key] {
        const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                      .filePath(key + u".csv"_s);
        const QString path = QFileDialog::getSaveFileName(dialog, tr("Export the configuration history"),
                                                          suggested, tr("CSV files (*.csv)"));
        if (!path.isEmpty())
            exportHistory(mac, path);
    });
    dialog->open();
}

bool ConfigurationConsole::exportHistory(const QString &mac, const QString &path) {
    const ConfigurationHistory::Reading reading = m_recorder->read(macToElementKey(mac));
    QString error = reading.error;
    if (error.isEmpty() && replaceFileAtomically(path, historyCsv(reading.versions), &error))
        return true;
    m_notifier.show({MessageId::HistoryNotSaved, {QDir::toNativeSeparators(path), error}});
    return false;
}

void ConfigurationConsole::replaceShown() {
    const QString failedKey = macToElementKey(m_window.shownMac());
    if (failedKey.isEmpty() || m_replacement)
        return;
    const ElementListing *failed = listed(failedKey);
    const ElementRole role = failed ? failed->kind() : ElementRole::Unknown;
    QList<std::pair<QString, QString>> spares;
    for (const ElementListing &element : m_window.listing()) {
        if (element.key != failedKey && element.kind() == role && role != ElementRole::Unknown)
            spares.append({element.key, elementLabel(element.key) + u"  "_s + element.ip});
    }
    auto *dialog = new ReplaceDialog(elementLabel(failedKey), spares, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, failedKey] {
        const QString spare = dialog->spareKey();
        if (!spare.isEmpty())
            replace(failedKey, spare);
    });
    dialog->open();
}

bool ConfigurationConsole::replace(const QString &failedKey, const QString &spareKey) {
    const std::optional<StoredElement> failed = m_parts.database.load(failedKey);
    if (!failed || m_replacement)
        return false;
    const auto nameOf = [this](const QString &key) {
        const ElementListing *element = listed(key);
        return element ? element->name : QString();
    };
    Replacement replacement{
        failedKey,
        spareKey,
        {nameOf(failedKey), elementKeyToMac(failedKey), nameOf(spareKey), elementKeyToMac(spareKey)},
        replacementSettings(*failed)};
    m_replacement = replacement;
    updateActions();
    // Save's question names the spare and the settings it is about to take.
    if (!m_window.sendSettings(elementKeyToMac(spareKey), replacement.sent)) {
        m_replacement.reset();
        updateActions();
        return false;
    }
    return true;
}

void ConfigurationConsole::spareStored(const KeyValues &stored) {
    // The report's box comes first; the question follows once its handling is over.
    QMetaObject::invokeMethod(
        this, [this, stored] { finishReplacement(stored); }, Qt::QueuedConnection);
}

void ConfigurationConsole::finishReplacement(const KeyValues &stored) {
    if (!m_replacement)
        return;
    const Replacement replacement = *std::exchange(m_replacement, std::nullopt);
    updateActions();
    // A field the spare did not take leaves the failed unit's section as the only full copy. The
    // spare's own (role, serial) are not the failed unit's to compare.
    QSet<QString> sentKeys;
    for (const auto &[key, value] : replacement.sent)
        sentKeys.insert(key);
    KeyValues taken;
    for (const auto &[key, value] : stored) {
        if (sentKeys.contains(key))
            taken.append({key, value});
    }
    if (!configurationChanges(replacement.sent, taken).isEmpty()) {
        m_notifier.show({MessageId::ReplacementNotConfirmed, replacement.names});
        return;
    }
    if (m_notifier.show({MessageId::ReplaceConfirm, replacement.names}) != Answer::Yes)
        return;
    if (!m_parts.database.removeSection(replacement.failedKey)) {
        m_notifier.show({MessageId::DatabaseNotWritten, {QDir::toNativeSeparators(m_parts.database.path())}});
        return;
    }
    //: The note of a history's replacement marker; %1: the failed element's MAC.
    const ConfigurationVersion marker{QDateTime::currentDateTimeUtc(), ConfigurationOrigin::Replacement,
                                      tr("replaces %1").arg(elementKeyToMac(replacement.failedKey)), stored};
    QString error;
    if (!m_recorder->transfer(replacement.failedKey, replacement.spareKey, marker, &error))
        m_notifier.show(
            {MessageId::HistoryNotSaved,
             {QDir::toNativeSeparators(m_recorder->history().pathFor(replacement.spareKey)), error}});
    m_parts.link.requestTreeReload();
}

} // namespace ondalink

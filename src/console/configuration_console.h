// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QAction;

namespace ondalink {

class DriftWatch;
class HistoryFeed;
class HistoryRecorder;
class MainWindow;
struct ElementListing;
class Notifier;
struct StatusParts;

// What the operator does with stored configurations beyond the panel: an element's configuration
// history (the History dialog, its CSV, sending an older version) and the replacement of a failed
// unit by a spare. Made by the status, which owns the drift watch it records from.
class ConfigurationConsole : public QObject {
    Q_OBJECT
public:
    // historyFolder empty: "history" in the per-user data folder.
    ConfigurationConsole(MainWindow &window, const StatusParts &parts, DriftWatch &drift, Notifier &notifier,
                         const QString &historyFolder, QObject *parent = nullptr);
    ~ConfigurationConsole() override;

    HistoryRecorder &history() const { return *m_recorder; }
    // The shown element's History dialog.
    void showHistory();
    // The history of the element with that colon-form MAC as CSV in the file; false after telling.
    bool exportHistory(const QString &mac, const QString &path);
    // Replace with…: the dialog that picks the spare for the shown element.
    void replaceShown();
    // The shown element's configuration sent to the spare; false when it was not sent.
    bool replace(const QString &failedKey, const QString &spareKey);
    // A replacement waits for its spare's confirmation.
    bool isReplacing() const { return m_replacement.has_value(); }
    void updateActions();

private:
    struct Replacement {
        QString failedKey, spareKey;
        QStringList names; // failed name, failed MAC, spare name, spare MAC
        KeyValues sent;
    };
    void spareStored(const KeyValues &stored);
    void finishReplacement(const KeyValues &stored);
    QString elementLabel(const QString &key) const;
    // The listed element of that Element key; nullptr when the list does not hold it.
    const ElementListing *listed(const QString &key) const;

    MainWindow &m_window;
    const StatusParts &m_parts;
    Notifier &m_notifier;
    std::unique_ptr<HistoryRecorder> m_recorder;
    std::unique_ptr<HistoryFeed> m_feed;
    std::optional<Replacement> m_replacement;
    QAction *m_history = nullptr;
    QAction *m_replace = nullptr;
};

} // namespace ondalink

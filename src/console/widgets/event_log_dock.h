// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTableView;

namespace ondalink {

class EventLog;
class EventLogFilter;
class EventLogModel;

// View > Event log: one row per event (time, element, event, detail), narrowed
// to the element the panel shows and to a severity, and saved as CSV as shown.
class Notifier;

class EventLogDock : public QDockWidget {
    Q_OBJECT
public:
    EventLogDock(const EventLog &log, Notifier &notifier, QWidget *parent = nullptr);

    EventLogModel &model() const { return *m_model; }
    EventLogFilter &filter() const { return *m_filter; }
    QTableView *table() const { return m_table; }

    // The element the panel shows (colon-form MAC, empty for none); "Selected
    // element only" follows it.
    void setSelectedElement(const QString &mac);
    // Writes the rows shown as CSV; false with the reason when the file cannot be
    // written.
    bool saveCsv(const QString &path, QString *error = nullptr) const;
    // "Save as CSV…": asks for a file, then saves.
    void saveAs();

private:
    void updateFilter();

    Notifier &m_notifier;
    EventLogModel *m_model = nullptr;
    EventLogFilter *m_filter = nullptr;
    QTableView *m_table = nullptr;
    QCheckBox *m_selectedOnly = nullptr;
    QComboBox *m_severity = nullptr;
    QPushButton *m_save = nullptr;
    QString m_selectedMac;
    bool m_followNewest = true;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/configuration_history.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace ondalink {

// What the operator reads for a version's origin: "Discovery", "Accepted drift".
QString originText(ConfigurationOrigin origin);

// One element's configuration history: its versions newest first with the fields each changed, the
// differences between the selected version and the one before it, or between two selected ones.
class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    // element names the element as the operator reads it (its name and MAC).
    HistoryDialog(const QString &element, QList<ConfigurationVersion> versions, int damagedLines,
                  QWidget *parent = nullptr);

    // The versions as the list shows them, newest first.
    const QList<ConfigurationVersion> &versions() const { return m_versions; }
    // Selects the versions at these rows of the list (0 is the newest).
    void selectRows(const QList<int> &rows);
    // What the comparison shows: one line per setting, "label: older → newer".
    QStringList comparedLines() const;

Q_SIGNALS:
    void sendRequested(const ondalink::KeyValues &keys);
    void exportRequested();

private:
    QList<int> selectedRows() const;
    void selectionChanged();

    QList<ConfigurationVersion> m_versions; // newest first
    QTreeWidget *m_list = nullptr;
    QTreeWidget *m_compare = nullptr;
    QLabel *m_compared = nullptr;
    QPushButton *m_send = nullptr;
};

} // namespace ondalink

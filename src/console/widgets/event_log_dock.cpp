// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/event_log_dock.h"

#include "console/models/event_log_model.h"
#include "model/notifier.h"
#include "status/event_log.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

EventLogDock::EventLogDock(const EventLog &log, Notifier &notifier, QWidget *parent)
    : QDockWidget(tr("Event log"), parent), m_notifier(notifier) {
    setObjectName(u"dockEventLog"_s);
    setAccessibleName(tr("Event log"));
    m_model = new EventLogModel(log, EventLog::kDefaultCapacity, this);
    m_filter = new EventLogFilter(*m_model, this);

    auto *contents = new QWidget(this);
    auto *layout = new QVBoxLayout(contents);
    auto *controls = new QHBoxLayout;
    m_selectedOnly = new QCheckBox(tr("Selected element &only"), contents);
    m_selectedOnly->setObjectName(u"chkSelectedElementOnly"_s);
    m_selectedOnly->setToolTip(tr("Only the events of the element the panel shows"));
    controls->addWidget(m_selectedOnly);
    auto *severityCaption = new QLabel(tr("&Severity:"), contents);
    m_severity = new QComboBox(contents);
    m_severity->setObjectName(u"cmbSeverity"_s);
    m_severity->setAccessibleName(tr("Severity"));
    m_severity->addItem(tr("All events"), int(EventSeverity::Information));
    m_severity->addItem(tr("Warnings and alarms"), int(EventSeverity::Warning));
    m_severity->addItem(tr("Alarms only"), int(EventSeverity::Alarm));
    severityCaption->setBuddy(m_severity);
    controls->addWidget(severityCaption);
    controls->addWidget(m_severity);
    controls->addStretch(1);
    m_save = new QPushButton(tr("Save as &CSV…"), contents);
    m_save->setObjectName(u"btnSaveCsv"_s);
    m_save->setToolTip(tr("Saves the events shown as a CSV file"));
    controls->addWidget(m_save);
    layout->addLayout(controls);

    m_table = new QTableView(contents);
    m_table->setObjectName(u"eventTable"_s);
    m_table->setAccessibleName(tr("Events"));
    m_table->setModel(m_filter);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights: a long log scrolls without measuring every row.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    const QFontMetrics metrics = m_table->fontMetrics();
    m_table->setColumnWidth(EventLogModel::TimeColumn,
                            metrics.horizontalAdvance(u"0000-00-00 00:00:00"_s) + 16);
    m_table->setColumnWidth(EventLogModel::ElementColumn,
                            metrics.horizontalAdvance(u"WWWWWWWWWWWW [00:00:00:00:00:00]"_s) + 16);
    m_table->setColumnWidth(EventLogModel::EventColumn,
                            metrics.horizontalAdvance(u"Configuration timed out"_s) + 40);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // A few rows at least, so that the log says something when it is first shown.
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              6 * m_table->verticalHeader()->defaultSectionSize() +
                              2 * m_table->frameWidth());
    layout->addWidget(m_table, 1);
    setWidget(contents);
    setFocusProxy(m_table);

    connect(m_selectedOnly, &QCheckBox::toggled, this, &EventLogDock::updateFilter);
    connect(m_severity, &QComboBox::currentIndexChanged, this, &EventLogDock::updateFilter);
    connect(m_save, &QPushButton::clicked, this, &EventLogDock::saveAs);
    // New rows scroll into view while the operator is at the bottom, not while
    // they read older ones.
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { m_followNewest = value == m_table->verticalScrollBar()->maximum(); });
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followNewest)
            m_table->scrollToBottom();
    });
}

void EventLogDock::setSelectedElement(const QString &mac) {
    m_selectedMac = mac;
    updateFilter();
}

void EventLogDock::updateFilter() {
    // With no element shown, "selected only" shows the events of no element: the
    // program's own.
    m_filter->setElement(m_selectedOnly->isChecked() ? std::optional(m_selectedMac) : std::nullopt);
    m_filter->setMinimumSeverity(EventSeverity(m_severity->currentData().toInt()));
}

bool EventLogDock::saveCsv(const QString &path, QString *error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeEventCsv(m_filter->shownRows(), file) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void EventLogDock::saveAs() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = u"events-"_s + QDate::currentDate().toString(Qt::ISODate) + u".csv"_s;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save events as CSV"), QDir(folder).filePath(name), tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveCsv(path, &error))
        m_notifier.show({MessageId::EventsNotSaved, {QDir::toNativeSeparators(path), error}});
}

} // namespace ondalink

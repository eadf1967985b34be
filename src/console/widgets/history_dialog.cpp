// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/history_dialog.h"

#include "store/configuration_compare.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

QString originText(ConfigurationOrigin origin) {
    switch (origin) {
    case ConfigurationOrigin::Discovery:
        //: How a configuration came to be stored: Auto Discovery found it.
        return HistoryDialog::tr("Discovery");
    case ConfigurationOrigin::Update:
        //: Update from network found it.
        return HistoryDialog::tr("Update");
    case ConfigurationOrigin::Addition:
        //: Add element by address found it.
        return HistoryDialog::tr("Addition");
    case ConfigurationOrigin::ConfirmedWrite:
        //: The element confirmed a configuration written to it.
        return HistoryDialog::tr("Confirmed write");
    case ConfigurationOrigin::Import:
        return HistoryDialog::tr("Import");
    case ConfigurationOrigin::AcceptedDrift:
        //: The operator accepted the settings the element reported.
        return HistoryDialog::tr("Accepted drift");
    case ConfigurationOrigin::Replacement:
        //: The element took over a failed element's configuration.
        return HistoryDialog::tr("Replacement");
    }
    return {};
}

namespace {

QString timeText(const QDateTime &time) {
    return QLocale().toString(time.toLocalTime(), QLocale::ShortFormat);
}

QString changedFields(const QList<FieldChange> &changes) {
    QStringList labels;
    for (const FieldChange &change : changes)
        labels.append(settingLabel(change.key));
    return labels.join(HistoryDialog::tr(", "));
}

} // namespace

HistoryDialog::HistoryDialog(const QString &element, QList<ConfigurationVersion> versions, int damagedLines,
                             QWidget *parent)
    : QDialog(parent), m_versions(std::move(versions)) {
    std::reverse(m_versions.begin(), m_versions.end());
    setObjectName(u"dlgHistory"_s);
    //: %1: the element, as its name and MAC.
    setWindowTitle(tr("Configuration history of %1").arg(element));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(this);
    intro->setWordWrap(true);
    QString introText = m_versions.isEmpty()
                            ? tr("Nothing has been stored for this element since its history began.")
                            : tr("Select a version to see what it changed, or two to compare them.");
    if (damagedLines > 0)
        //: %1: how many lines of the history file could not be read.
        introText += u' ' + tr("Damaged lines of the history file skipped: %1.").arg(damagedLines);
    intro->setText(introText);
    layout->addWidget(intro);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_list = new QTreeWidget(splitter);
    m_list->setObjectName(u"lstVersions"_s);
    m_list->setAccessibleName(tr("Versions"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({tr("Stored"), tr("Origin"), tr("Changed")});
    for (qsizetype i = 0; i < m_versions.size(); ++i) {
        const ConfigurationVersion &version = m_versions.at(i);
        QString changed;
        if (i + 1 < m_versions.size())
            changed = changedFields(configurationChanges(m_versions.at(i + 1).keys, version.keys));
        else
            changed = tr("First stored");
        if (changed.isEmpty())
            changed = tr("Nothing");
        QString origin = originText(version.origin);
        if (!version.note.isEmpty())
            origin += u" ("_s + version.note + u')';
        auto *item = new QTreeWidgetItem(m_list, {timeText(version.time), origin, changed});
        item->setToolTip(2, changed);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);

    auto *lower = new QWidget(splitter);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    m_compared = new QLabel(lower);
    m_compared->setObjectName(u"lblCompared"_s);
    m_compared->setWordWrap(true);
    lowerLayout->addWidget(m_compared);
    m_compare = new QTreeWidget(lower);
    m_compare->setObjectName(u"lstCompare"_s);
    m_compare->setAccessibleName(tr("Differences"));
    m_compare->setRootIsDecorated(false);
    m_compare->setHeaderLabels({tr("Setting"), tr("Older"), tr("Newer")});
    m_compare->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_compared->setBuddy(m_compare);
    lowerLayout->addWidget(m_compare);
    layout->addWidget(splitter, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_send = buttons->addButton(tr("&Send this version"), QDialogButtonBox::ActionRole);
    m_send->setObjectName(u"cmdSendVersion"_s);
    m_send->setToolTip(tr("Send the element this version's settings, after the usual question"));
    QPushButton *save = buttons->addButton(tr("&Export as CSV…"), QDialogButtonBox::ActionRole);
    save->setObjectName(u"cmdExportHistory"_s);
    save->setEnabled(!m_versions.isEmpty());
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_send, &QPushButton::clicked, this, [this] {
        const QList<int> rows = selectedRows();
        if (rows.size() == 1)
            Q_EMIT sendRequested(m_versions.at(rows.first()).keys);
    });
    connect(save, &QPushButton::clicked, this, &HistoryDialog::exportRequested);
    layout->addWidget(buttons);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::selectionChanged);
    if (!m_versions.isEmpty())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    selectionChanged();
    const int chars = fontMetrics().averageCharWidth();
    resize(chars * 100, fontMetrics().height() * 30);
}

void HistoryDialog::selectRows(const QList<int> &rows) {
    m_list->clearSelection();
    for (const int row : rows) {
        if (QTreeWidgetItem *item = m_list->topLevelItem(row))
            item->setSelected(true);
    }
}

QList<int> HistoryDialog::selectedRows() const {
    QList<int> rows;
    const QList<QTreeWidgetItem *> items = m_list->selectedItems();
    for (QTreeWidgetItem *item : items)
        rows.append(m_list->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList HistoryDialog::comparedLines() const {
    QStringList lines;
    for (int i = 0; i < m_compare->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_compare->topLevelItem(i);
        lines.append(item->text(0) + u": "_s + item->text(1) + u" → "_s + item->text(2));
    }
    return lines;
}

void HistoryDialog::selectionChanged() {
    const QList<int> rows = selectedRows();
    m_send->setEnabled(rows.size() == 1);
    m_compare->clear();
    // Rows are newest first: the larger row is the older version.
    int newer = -1;
    int older = -1;
    if (rows.size() == 1) {
        newer = rows.first();
        older = newer + 1 < m_versions.size() ? newer + 1 : -1;
    } else if (rows.size() == 2) {
        newer = rows.first();
        older = rows.last();
    }
    if (newer < 0 || older < 0) {
        m_compared->setText(rows.size() > 2 ? tr("Select one version, or two to compare.")
                            : newer >= 0    ? tr("The first version stored: nothing to compare it with.")
                                            : QString());
        return;
    }
    const ConfigurationVersion &from = m_versions.at(older);
    const ConfigurationVersion &to = m_versions.at(newer);
    //: %1 and %2: the times the two compared versions were stored.
    m_compared->setText(tr("&Differences from %1 to %2:").arg(timeText(from.time), timeText(to.time)));
    const QList<FieldChange> changes = configurationChanges(from.keys, to.keys);
    // A name is read without the padding it is stored with.
    const auto shown = [](const FieldChange &change, const QString &text) {
        return change.key == ElementKey::Name ? text.trimmed() : text;
    };
    for (const FieldChange &change : changes)
        new QTreeWidgetItem(
            m_compare, {settingLabel(change.key), shown(change, change.before), shown(change, change.after)});
    if (changes.isEmpty())
        new QTreeWidgetItem(m_compare, {tr("No setting differs"), QString(), QString()});
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/element_tree.h"

#include "console/models/element_list_proxy.h"
#include "console/widgets/vu_meter.h"
#include "model/element_record.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

ElementTree::ElementTree(ElementDatabase &database, Notifier &notifier, QComboBox &encoderList,
                         VUMeter &meter, QWidget *parent)
    : QGroupBox(parent), m_database(database), m_notifier(notifier), m_encoders(encoderList), m_meter(meter) {
    setObjectName(u"frmTreeView"_s);
    auto *layout = new QVBoxLayout(this);

    m_filterBox = new QLineEdit(this);
    m_filterBox->setObjectName(u"elementFilter"_s);
    m_filterBox->setPlaceholderText(tr("Filter elements"));
    m_filterBox->setAccessibleName(tr("Filter elements"));
    m_filterBox->setClearButtonEnabled(true);
    auto *find = new QAction(this);
    find->setObjectName(u"actFindElement"_s);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        m_filterBox->setFocus(Qt::ShortcutFocusReason);
        m_filterBox->selectAll();
    });
    m_filterBox->setToolTip(tr("Shows the elements whose name, MAC or IP address contain the text (%1)")
                                .arg(find->shortcut().toString(QKeySequence::NativeText)));
    m_filterBox->installEventFilter(this);
    layout->addWidget(m_filterBox);

    m_model = new ElementListModel(this);
    m_proxy = new ElementListProxy(*m_model, this);
    TreeView1 = new QTreeView(this);
    TreeView1->setObjectName(u"TreeView1"_s);
    TreeView1->setModel(m_proxy);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setItemsExpandable(false);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setAllColumnsShowFocus(true);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeView1->setAccessibleName(tr("Select element"));
    // The stored names are blank-padded to 16 characters: a fixed-pitch font keeps the MACs aligned.
    QFont mono = TreeView1->font();
    mono.setFamily(u"monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    TreeView1->setFont(mono);
    // A third click on a header goes back to the file's order.
    QHeaderView *header = TreeView1->header();
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    TreeView1->setSortingEnabled(true);
    const QFontMetrics metrics = TreeView1->fontMetrics();
    TreeView1->setColumnWidth(ElementListModel::ElementColumn,
                              metrics.horizontalAdvance(QString(36, u'0')) + 48);
    TreeView1->setColumnWidth(ElementListModel::AddressColumn,
                              metrics.horizontalAdvance(u"255.255.255.255"_s) + 16);
    TreeView1->setColumnWidth(
        ElementListModel::StatusColumn,
        metrics.horizontalAdvance(ElementListModel::statusText(ShownStatus::DuplicateAddress)) +
            header->fontMetrics().height() + 24);
    TreeView1->setColumnWidth(ElementListModel::LastSeenColumn,
                              metrics.horizontalAdvance(u"00:00:00"_s) + 24);
    TreeView1->setColumnWidth(ElementListModel::RoundTripColumn,
                              metrics.horizontalAdvance(u"00000 ms"_s) + 16);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, &ElementTree::showContextMenu);
    layout->addWidget(TreeView1);
    setFocusProxy(TreeView1);

    lstHidden = new QListWidget(this);
    lstHidden->setObjectName(u"lstHidden"_s);
    lstHidden->hide();

    setCountCaption();
    connect(m_filterBox, &QLineEdit::textChanged, this, &ElementTree::filterChanged);

    // Every change of the selection is the operator's choice (a press, a drag, a key); the code's
    // own changes run with m_loading raised. A click on the node already selected loads it again.
    TreeView1->viewport()->installEventFilter(this);
    connect(TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_loading)
            return;
        const QModelIndexList selected = TreeView1->selectionModel()->selectedRows();
        if (selected.size() != 1)
            return;
        m_selectedByPress = selected.first().data(Qt::UserRole).toString();
        emitNodeClick(selected.first());
    });
    connect(TreeView1, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.data(Qt::UserRole).toString() != std::exchange(m_selectedByPress, QString()))
            emitNodeClick(index);
    });
}

bool ElementTree::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TreeView1->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        m_selectedByPress.clear();
    // In the filter box, Escape empties it and Down goes on to the list.
    if (watched == m_filterBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape && !m_filterBox->text().isEmpty()) {
            m_filterBox->clear();
            return true;
        }
        if (key == Qt::Key_Down) {
            TreeView1->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

bool ElementTree::selectNode(const QString &nodeKey) {
    QModelIndex index = shownIndex(nodeKey);
    if (!index.isValid() && !nodeKey.isEmpty() && m_model->rowOfMac(nodeKey) >= 0 &&
        !m_filterBox->text().isEmpty()) {
        m_filterBox->clear();
        index = shownIndex(nodeKey);
    }
    if (!index.isValid())
        return false;
    TreeView1->scrollTo(index);
    m_selectedByPress.clear();
    if (TreeView1->selectionModel()->isRowSelected(index.row(), index.parent()))
        emitNodeClick(index);
    else
        TreeView1->setCurrentIndex(index); // the change of the selection loads it
    return true;
}

void ElementTree::emitNodeClick(const QModelIndex &index) {
    if (!index.isValid() || m_loading)
        return;
    m_marked = index.data(Qt::UserRole).toString();
    Q_EMIT NodeClick(m_marked, index.siblingAtColumn(ElementListModel::ElementColumn).data().toString());
}

int ElementTree::shownCount() const {
    return m_proxy->rowCount();
}

QString ElementTree::shownMac(int row) const {
    return m_proxy->index(row, 0).data(Qt::UserRole).toString();
}

QModelIndex ElementTree::shownIndex(const QString &mac) const {
    const int row = mac.isEmpty() ? -1 : m_model->rowOfMac(mac);
    return row < 0 ? QModelIndex() : m_proxy->mapFromSource(m_model->index(row, 0));
}

int ElementTree::columnsWidth(int columns) const {
    int width =
        2 * TreeView1->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, TreeView1);
    for (int column = 0; column < columns && column < ElementListModel::ColumnCount; ++column)
        width += TreeView1->columnWidth(column);
    return width;
}

void ElementTree::showFileOrder() {
    TreeView1->header()->setSortIndicator(-1, Qt::AscendingOrder);
}

void ElementTree::setCountCaption() {
    //: The caption above the element list; %1 is how many elements it shows.
    setTitle(tr("Select element: (%1 items)").arg(shownCount()));
}

void ElementTree::filterChanged(const QString &text) {
    // Hiding the selected row moves the view's selection to a neighbour: not the operator's choice.
    const bool wasLoading = std::exchange(m_loading, true);
    m_proxy->setFilterText(text);
    m_loading = wasLoading;
    setCountCaption();
    // The element the panel shows is marked again when the filter lets it back in.
    markQuietly(shownIndex(m_marked));
}

void ElementTree::addContextAction(QAction *action) {
    m_contextActions.append(action);
}

void ElementTree::showContextMenu(const QPoint &position) {
    // From the keyboard (the Menu key) the position may miss the rows: the current one is meant.
    QModelIndex index = TreeView1->indexAt(position);
    QPoint at = position;
    if (!index.isValid() && TreeView1->currentIndex().isValid()) {
        index = TreeView1->currentIndex();
        at = TreeView1->visualRect(index).center();
    }
    QMenu menu(this);
    const int row = index.isValid() ? m_proxy->mapToSource(index).row() : -1;
    if (row >= 0 && m_model->isEncoderAt(row)) {
        QAction *watch = menu.addAction(tr("Watch audio"));
        watch->setObjectName(u"actWatchAudio"_s);
        watch->setCheckable(true);
        watch->setChecked(m_model->isWatchedAt(row));
        connect(watch, &QAction::triggered, this,
                [this, mac = m_model->macAt(row)](bool watched) { Q_EMIT watchAudioToggled(mac, watched); });
    }
    if (!m_contextActions.isEmpty()) {
        if (!menu.isEmpty())
            menu.addSeparator();
        menu.addActions(m_contextActions);
    }
    if (!menu.isEmpty())
        menu.exec(TreeView1->viewport()->mapToGlobal(at));
}

void ElementTree::clearTree() {
    const bool wasLoading = m_loading;
    m_loading = true;
    m_model->clear();
    m_loading = wasLoading;
    setCountCaption();
}

void ElementTree::markQuietly(const QModelIndex &index) {
    const bool wasLoading = m_loading;
    m_loading = true;
    if (index.isValid()) {
        TreeView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
    } else {
        TreeView1->selectionModel()->clearSelection();
        TreeView1->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    m_loading = wasLoading;
}

void ElementTree::highlight(const QString &nodeKey) {
    m_marked = nodeKey;
    markQuietly(shownIndex(nodeKey));
}

void ElementTree::Load_Config(bool repeatNotice) {
    m_repeatNotice = m_repeatNotice || repeatNotice;
    if (m_loading) {
        m_reloadRequested = true;
        return;
    }
    m_loading = true;
    do {
        m_reloadRequested = false;
        loadOnce(std::exchange(m_repeatNotice, false));
    } while (m_reloadRequested);
    m_loading = false;
    Q_EMIT reloaded();
}

void ElementTree::notice(const Message &message, bool repeatNotice) {
    if (repeatNotice || message != m_lastNotice)
        m_notifier.show(message);
    m_lastNotice = message;
}

void ElementTree::emptyLists() {
    lstHidden->clear();
    clearTree();
    m_encoders.clear();
    m_encoders.addItem(tr("<None>"));
    m_meter.reset();
    setCountCaption();
}

void ElementTree::loadOnce(bool repeatNotice) {
    emptyLists();
    m_listing.clear();

    // One reading of the file; the tree is built from it without yielding.
    QString readError;
    const QList<ElementListing> elements = m_database.listing(&readError);
    if (!readError.isEmpty()) {
        // Not an empty database: a discovery would fail the same way, so say what is wrong.
        notice({MessageId::ListNotLoaded, {readError}}, repeatNotice);
        setCountCaption();
        return;
    }
    if (!m_database.exists()) {
        notice({MessageId::DatabaseMissing}, repeatNotice);
        setCountCaption();
        return;
    }
    for (const ElementListing &element : elements)
        lstHidden->addItem(element.key);
    if (elements.isEmpty()) {
        notice({MessageId::DatabaseEmpty}, repeatNotice);
        setCountCaption();
        return;
    }

    for (const ElementListing &element : elements) {
        if (element.kind() == ElementRole::Encoder)
            m_encoders.addItem(element.name + u" ["_s + elementKeyToMac(element.key) + u"]"_s);
    }
    m_model->setElements(elements);
    m_listing = elements;
    setCountCaption();
    m_lastNotice.reset();
}

} // namespace ondalink

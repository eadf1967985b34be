// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/element_tree.h"

#include "console/image_list.h"
#include "console/vu_meter.h"
#include "model/element_record.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

ElementTree::ElementTree(ElementDatabase &database, Notifier &notifier, QComboBox &encoderList,
                         VUMeter &meter, QWidget *parent)
    : QGroupBox(parent), m_database(database), m_notifier(notifier), m_encoders(encoderList), m_meter(meter) {
    setObjectName(u"frmTreeView"_s);
    auto *layout = new QVBoxLayout(this);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(u"TreeView1"_s);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setAccessibleName(tr("Select element"));
    // The stored names are blank-padded to 16 characters: a fixed-pitch font keeps the MACs aligned.
    QFont mono = TreeView1->font();
    mono.setFamily(u"monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    TreeView1->setFont(mono);
    layout->addWidget(TreeView1);

    lstHidden = new QListWidget(this);
    lstHidden->setObjectName(u"lstHidden"_s);
    lstHidden->hide();

    setCountCaption();

    // Every change of the selection is the operator's choice (a press, a drag, a key); the code's
    // own changes run with m_loading raised. A click on the node already selected loads it again.
    TreeView1->viewport()->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (m_loading)
            return;
        const QList<QTreeWidgetItem *> selected = TreeView1->selectedItems();
        if (selected.size() != 1)
            return;
        m_selectedByPress = selected.first();
        emitNodeClick(selected.first());
    });
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item != std::exchange(m_selectedByPress, nullptr))
            emitNodeClick(item);
    });
}

bool ElementTree::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TreeView1->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick))
        m_selectedByPress = nullptr;
    return QGroupBox::eventFilter(watched, event);
}

bool ElementTree::selectNode(const QString &nodeKey) {
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = TreeView1->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() != nodeKey)
            continue;
        TreeView1->scrollToItem(item);
        if (item->isSelected())
            emitNodeClick(item);
        else
            TreeView1->setCurrentItem(item); // the change of the selection loads it
        m_selectedByPress = nullptr;
        return true;
    }
    return false;
}

void ElementTree::emitNodeClick(QTreeWidgetItem *item) {
    if (!item || m_loading)
        return;
    Q_EMIT NodeClick(item->data(0, Qt::UserRole).toString(), item->text(0));
}

void ElementTree::setCountCaption() {
    //: The caption above the element list; %1 is how many elements it lists.
    setTitle(tr("Select element: (%1 items)").arg(TreeView1->topLevelItemCount()));
}

void ElementTree::clearTree() {
    const bool wasLoading = m_loading;
    m_loading = true;
    TreeView1->clear();
    m_loading = wasLoading;
}

void ElementTree::highlight(const QString &nodeKey) {
    QTreeWidgetItem *node = nullptr;
    for (int i = 0; !nodeKey.isEmpty() && !node && i < TreeView1->topLevelItemCount(); ++i) {
        if (TreeView1->topLevelItem(i)->data(0, Qt::UserRole).toString() == nodeKey)
            node = TreeView1->topLevelItem(i);
    }
    const bool wasLoading = m_loading;
    m_loading = true;
    TreeView1->setCurrentItem(node);
    if (!node)
        TreeView1->clearSelection();
    m_loading = wasLoading;
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

    const QIcon encoderImage = ImageList1(kImageEncoder);
    const QIcon otherImage = ImageList1(kImageOther);
    QList<QTreeWidgetItem *> nodes;
    nodes.reserve(elements.size());
    for (const ElementListing &element : elements) {
        const QString colonForm = elementKeyToMac(element.key);
        const QString text = element.name + u" ["_s + colonForm + u"]"_s;
        auto *node = new QTreeWidgetItem(QStringList{text});
        node->setData(0, Qt::UserRole, colonForm);
        const bool encoder = element.role == kRoleEncoder;
        node->setIcon(0, encoder ? encoderImage : otherImage);
        node->setData(0, kNodeImageRole, encoder ? kImageEncoder : kImageOther);
        if (encoder)
            m_encoders.addItem(text);
        nodes.append(node);
    }
    TreeView1->addTopLevelItems(nodes);
    setCountCaption();
    m_lastNotice.reset();
}

} // namespace ondalink

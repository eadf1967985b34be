// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/models/element_list_model.h"
#include "model/messages.h"
#include "store/element_database.h"

#include <QGroupBox>

#include <optional>

class QComboBox;
class QLineEdit;
class QAction;
class QListWidget;
class QModelIndex;
class QTreeView;

namespace ondalink {

class ElementDatabase;
class ElementListProxy;
class Notifier;
class VUMeter;

// The frame frmTreeView with the filter box and the element list TreeView1: one row per element
// of the database, in file order until the operator sorts it, its key (colon-form MAC) in
// Qt::UserRole, its name and MAC, address and status in columns.
class ElementTree : public QGroupBox {
    Q_OBJECT
public:
    ElementTree(ElementDatabase &database, Notifier &notifier, QComboBox &encoderList, VUMeter &meter,
                QWidget *parent = nullptr);

    // Rebuilds the tree, the frame's caption, the hidden key list and the encoder list from the file.
    // A call made while one runs (from inside its message box) is run once more after it.
    // Without repeatNotice the notice about an empty or unreadable database is shown only when it
    // differs from the previous load's: a storm of reports must not become a storm of notices.
    void Load_Config(bool repeatNotice = true);
    // Empties the tree only.
    void clearTree();
    // Empties the tree, the hidden key list and the encoder list ("<None>" only), zeroes the meter
    // and shows the count caption.
    void emptyLists();

    // Marks the node of the element the panel shows, without loading it again; no node is marked
    // when the panel shows none (an empty key) or its node is gone.
    void highlight(const QString &nodeKey);

    QTreeView *tree() const { return TreeView1; }
    // The elements of the last load, as read; empty when nothing could be listed.
    const QList<ElementListing> &listing() const { return m_listing; }
    // Appended to the list's context menu, after the element's own entries.
    void addContextAction(QAction *action);
    const QList<QAction *> &contextActions() const { return m_contextActions; }
    QLineEdit *filterBox() const { return m_filterBox; }
    ElementListModel &model() const { return *m_model; }
    ElementListProxy &proxy() const { return *m_proxy; }
    // The rows shown (filtered, in the order shown), and the MAC of one of them.
    int shownCount() const;
    QString shownMac(int row) const;
    // Where the element of that MAC is shown; invalid when it is not listed or filtered out.
    QModelIndex shownIndex(const QString &mac) const;
    // The width the list needs to show its first columns whole.
    int columnsWidth(int columns) const;
    // The list in file order again, as before the first click on a column's header.
    void showFileOrder();
    // Selects the node of that key and loads it as the operator's choice would (a filter that hides it
    // is emptied first); false when there is none.
    bool selectNode(const QString &nodeKey);

Q_SIGNALS:
    // The operator chose a node: by a click, by moving to it with the keyboard or by dragging the
    // selection onto it. Once per choice: a press that selected a node is not loaded again by its click.
    void NodeClick(const QString &nodeKey, const QString &nodeText);
    // A Load_Config has listed what the file holds.
    void reloaded();
    // The operator switched "Watch audio" of an encoder in the list's context menu.
    void watchAudioToggled(const QString &mac, bool watched);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadOnce(bool repeatNotice);
    void notice(const Message &message, bool repeatNotice);
    void setCountCaption();
    void emitNodeClick(const QModelIndex &index);
    void filterChanged(const QString &text);
    void showContextMenu(const QPoint &position);
    void markQuietly(const QModelIndex &index);

    ElementDatabase &m_database;
    Notifier &m_notifier;
    QComboBox &m_encoders;
    VUMeter &m_meter;
    ElementListModel *m_model = nullptr;
    ElementListProxy *m_proxy = nullptr;
    QLineEdit *m_filterBox = nullptr;
    QTreeView *TreeView1 = nullptr;
    QListWidget *lstHidden = nullptr;
    bool m_loading = false;
    QList<ElementListing> m_listing;
    QList<QAction *> m_contextActions;
    // The MAC of the node the current mouse press selected (and so loaded).
    QString m_selectedByPress;
    // The MAC of the node marked last, marked again when a filter hid it and shows it again.
    QString m_marked;
    bool m_reloadRequested = false;
    bool m_repeatNotice = false;
    std::optional<Message> m_lastNotice; // of the previous load; none when it listed elements
};

} // namespace ondalink

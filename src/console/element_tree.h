// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/messages.h"

#include <QGroupBox>

#include <optional>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace ondalink {

class ElementDatabase;
class Notifier;
class VUMeter;

// Number of a node's image in ImageList1 (6 ENCODER, 7 any other role).
inline constexpr int kNodeImageRole = Qt::UserRole + 1;

// The frame frmTreeView with the element tree TreeView1: one top-level node per element of the
// database, in file order, its key (colon-form MAC) in Qt::UserRole.
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

    QTreeWidget *tree() const { return TreeView1; }
    // Selects the node of that key and loads it as the operator's choice would; false when there is none.
    bool selectNode(const QString &nodeKey);

Q_SIGNALS:
    // The operator chose a node: by a click, by moving to it with the keyboard or by dragging the
    // selection onto it. Once per choice: a press that selected a node is not loaded again by its click.
    void NodeClick(const QString &nodeKey, const QString &nodeText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadOnce(bool repeatNotice);
    void notice(const Message &message, bool repeatNotice);
    void setCountCaption();
    void emitNodeClick(QTreeWidgetItem *item);

    ElementDatabase &m_database;
    Notifier &m_notifier;
    QComboBox &m_encoders;
    VUMeter &m_meter;
    QTreeWidget *TreeView1 = nullptr;
    QListWidget *lstHidden = nullptr;
    bool m_loading = false;
    // The node the current mouse press selected (and so loaded); compared, never used.
    const QTreeWidgetItem *m_selectedByPress = nullptr;
    bool m_reloadRequested = false;
    bool m_repeatNotice = false;
    std::optional<Message> m_lastNotice; // of the previous load; none when it listed elements
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QLabel;
class QLineEdit;

namespace ondalink {

class ElementTree;
class PropertiesPanel;

// Under an encoder's Remote IP: the name of the listed element stored at that address ("Address of
// DEC 1"), as the last load of the list knows it, so that a keystroke reads no file. Empty when the
// field is hidden (a decoder, multicast), holds no address, or no listed element has it.
class RemoteElementName : public QObject {
    Q_OBJECT
public:
    RemoteElementName(PropertiesPanel &panel, ElementTree &tree, QObject *parent = nullptr);

    // The relation whole; the label may show it elided.
    const QString &text() const { return m_relation; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void listReloaded();
    void update();
    void showElided();

    PropertiesPanel &m_panel;
    ElementTree &m_tree;
    QLineEdit *m_remote = nullptr;
    QLabel *m_label = nullptr;
    QHash<quint32, QStringList> m_namesByAddress; // of the last load, in file order
    QString m_relation;
    QString m_described; // what the field's description says of the relation
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/remote_element_name.h"

#include "console/presenters/element_naming.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/properties_panel.h"
#include "model/element_record.h"
#include "model/ipv4.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace ondalink {

RemoteElementName::RemoteElementName(PropertiesPanel &panel, ElementTree &tree, QObject *parent)
    : QObject(parent), m_panel(panel), m_tree(tree), m_remote(panel.findChild<QLineEdit *>(u"txtRemoteIP"_s)),
      m_label(panel.findChild<QLabel *>(u"lblRemoteElement"_s)) {
    Q_ASSERT(m_remote && m_label);
    m_label->setTextFormat(Qt::PlainText);
    // The row keeps its height while it says nothing, so that the form does not move.
    m_label->setMinimumHeight(m_label->fontMetrics().height());
    // Long names are elided rather than widening the window; the tooltip has them whole.
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_label->installEventFilter(this);
    m_remote->installEventFilter(this);
    connect(m_remote, &QLineEdit::textChanged, this, &RemoteElementName::update);
    // Loading sets the text before the type that decides whether it is a remote address.
    connect(&panel, &PropertiesPanel::shownElementChanged, this, &RemoteElementName::update);
    connect(&tree, &ElementTree::reloaded, this, &RemoteElementName::listReloaded);
    listReloaded();
}

// The panel shows and hides the field by the element's type and its TX type.
bool RemoteElementName::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_remote &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        update();
    else if (watched == m_label && event->type() == QEvent::Resize)
        showElided();
    return QObject::eventFilter(watched, event);
}

void RemoteElementName::showElided() {
    m_label->setText(m_label->fontMetrics().elidedText(m_relation, Qt::ElideRight, m_label->width()));
}

void RemoteElementName::listReloaded() {
    m_namesByAddress.clear();
    for (const ElementListing &element : m_tree.listing()) {
        if (const auto address = parseDottedAddress(element.ip))
            m_namesByAddress[address->value].append(elementLabel(element));
    }
    update();
}

void RemoteElementName::update() {
    QString relation;
    if (m_panel.shownRole() == ElementRole::Encoder && m_remote->isVisibleTo(&m_panel)) {
        if (const auto address = parseDottedAddress(m_remote->text())) {
            const QStringList names = m_namesByAddress.value(address->value);
            if (!names.isEmpty())
                relation = tr("Address of %1").arg(QLocale().createSeparatedList(names));
        }
    }
    m_relation = relation;
    m_label->setToolTip(relation);
    showElided();
    // A screen reader hears it with the field; a description the panel gave (an invalid address)
    // is left alone.
    if (!relation.isEmpty())
        m_remote->setAccessibleDescription(relation);
    else if (!m_described.isEmpty() && m_remote->accessibleDescription() == m_described)
        m_remote->setAccessibleDescription(QString());
    m_described = relation;
}

} // namespace ondalink

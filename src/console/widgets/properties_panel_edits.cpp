// SPDX-License-Identifier: GPL-3.0-or-later
// The marks of the operator's unsaved edits and the focus after a refused Save, as the presenter
// decides them.
#include "console/widgets/properties_panel.h"

#include "console/widgets/form_helpers.h"
#include "model/encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace ondalink {

void PropertiesPanel::connectEditTracking() {
    m_title = title();
    for (const ElementKey field : kEditableKeys) {
        QWidget *control = editControl(field);
        if (auto *box = qobject_cast<QLineEdit *>(control))
            connect(box, &QLineEdit::textChanged, this, &PropertiesPanel::updateWidgets);
        else if (auto *list = qobject_cast<QComboBox *>(control))
            connect(list, &QComboBox::currentIndexChanged, this, &PropertiesPanel::updateWidgets);
        else if (auto *check = qobject_cast<QCheckBox *>(control))
            connect(check, &QCheckBox::toggled, this, &PropertiesPanel::updateWidgets);
        else if (auto *bar = qobject_cast<QScrollBar *>(control))
            connect(bar, &QScrollBar::valueChanged, this, &PropertiesPanel::updateWidgets);
        // A caption turned bold keeps its width: the columns do not move while the operator types.
        if (QLabel *caption = captionOf(control)) {
            QFont bold = caption->font();
            bold.setBold(true);
            caption->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(withoutMnemonic(caption->text())) +
                                     2);
        }
    }
}

QWidget *PropertiesPanel::editControl(ElementKey field) const {
    switch (field) {
    case ElementKey::Name:
        return txtElementName;
    case ElementKey::Ip:
        return txtElementIP;
    case ElementKey::Mask:
        return txtElementMask;
    case ElementKey::Gw:
        return txtElementGW;
    case ElementKey::Remote:
        return txtRemoteIP;
    case ElementKey::Input:
        return cmbAudioInput;
    case ElementKey::Type:
        return cmbAudioType;
    case ElementKey::Tx:
        return cmbAudioTX;
    case ElementKey::Sfn:
        return chkSFNEnabled;
    case ElementKey::Buf:
        return scrlBuffer;
    case ElementKey::Sdm:
        return cmbSilDetMode;
    case ElementKey::Sdl:
        return scrlSilDetLevel;
    case ElementKey::Sdt:
        return scrlSilDetTime;
    case ElementKey::Role: // no control of its own
    case ElementKey::Sn:
    case ElementKey::Ver:
    case ElementKey::Att:
    case ElementKey::Bound:
        break;
    }
    return nullptr;
}

// The caption that labels the control (Label9 labels the audio input only in the encoder layout).
QLabel *PropertiesPanel::captionOf(const QWidget *control) const {
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (QLabel *label : labels)
        if (label->buddy() == control)
            return label;
    return nullptr;
}

QString PropertiesPanel::fieldCaption(ElementKey field) const {
    return editControl(field)->accessibleName();
}

QStringList PropertiesPanel::fieldEntries(ElementKey field) const {
    const auto *list = qobject_cast<const QComboBox *>(editControl(field));
    QStringList texts;
    for (int i = 0; list && i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

void PropertiesPanel::editsLoaded() {
    m_presenter->editsLoaded();
    updateWidgets();
}

// What the presenter holds, rendered: the element's MAC and type, and the marks of the changed fields.
void PropertiesPanel::updateWidgets() {
    const QString none = QString::fromUtf16(kNoSelection);
    const QString &mac = m_presenter->selectedMac();
    lblElementMAC->setText(mac.isEmpty() ? none : mac);
    const std::optional<ElementRole> role = m_presenter->shownRole();
    lblElementType->setText(role ? roleText(*role) : none);
    const QList<ElementKey> changed = m_presenter->changedFields();
    for (const ElementKey field : kEditableKeys) {
        QLabel *caption = captionOf(editControl(field));
        if (!caption)
            continue;
        const bool marked = changed.contains(field);
        QFont font = caption->font();
        font.setBold(marked);
        caption->setFont(font);
        caption->setToolTip(marked ? m_presenter->changedTip(field) : QString());
    }
    //: After the panel's caption while a field has been changed and not saved.
    setTitle(changed.isEmpty() ? m_title : m_title + u' ' + tr("(changed)"));
}

void PropertiesPanel::focusRefusedField(const QList<ElementKey> &refused) {
    const std::optional<ElementKey> field = PanelPresenter::refusedFocus(refused, [this](ElementKey f) {
        const QWidget *control = editControl(f);
        return control->isVisibleTo(this) && control->isEnabled();
    });
    if (field)
        editControl(*field)->setFocus(Qt::OtherFocusReason);
}

} // namespace ondalink

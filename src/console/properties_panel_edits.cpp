// SPDX-License-Identifier: GPL-3.0-or-later
// The marks of the operator's unsaved edits and the focus after a refused Save, as the presenter
// decides them.
#include "console/properties_panel.h"

#include "console/form_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr EditableField kAllFields[] = {
    EditableField::Name,  EditableField::Ip,   EditableField::Mask, EditableField::Gw,  EditableField::Remote,
    EditableField::Input, EditableField::Type, EditableField::Tx,   EditableField::Sfn, EditableField::Buf,
    EditableField::Sdm,   EditableField::Sdl,  EditableField::Sdt};

} // namespace

void PropertiesPanel::connectEditTracking() {
    m_title = title();
    for (const EditableField field : kAllFields) {
        QWidget *control = editControl(field);
        if (auto *box = qobject_cast<QLineEdit *>(control))
            connect(box, &QLineEdit::textChanged, this, &PropertiesPanel::showPendingEdits);
        else if (auto *list = qobject_cast<QComboBox *>(control))
            connect(list, &QComboBox::currentIndexChanged, this, &PropertiesPanel::showPendingEdits);
        else if (auto *check = qobject_cast<QCheckBox *>(control))
            connect(check, &QCheckBox::toggled, this, &PropertiesPanel::showPendingEdits);
        else if (auto *bar = qobject_cast<QScrollBar *>(control))
            connect(bar, &QScrollBar::valueChanged, this, &PropertiesPanel::showPendingEdits);
        // A caption turned bold keeps its width: the columns do not move while the operator types.
        if (QLabel *caption = captionOf(control)) {
            QFont bold = caption->font();
            bold.setBold(true);
            caption->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(withoutMnemonic(caption->text())) +
                                     2);
        }
    }
}

QWidget *PropertiesPanel::editControl(EditableField field) const {
    switch (field) {
    case EditableField::Name:
        return txtElementName;
    case EditableField::Ip:
        return txtElementIP;
    case EditableField::Mask:
        return txtElementMask;
    case EditableField::Gw:
        return txtElementGW;
    case EditableField::Remote:
        return txtRemoteIP;
    case EditableField::Input:
        return cmbAudioInput;
    case EditableField::Type:
        return cmbAudioType;
    case EditableField::Tx:
        return cmbAudioTX;
    case EditableField::Sfn:
        return chkSFNEnabled;
    case EditableField::Buf:
        return scrlBuffer;
    case EditableField::Sdm:
        return cmbSilDetMode;
    case EditableField::Sdl:
        return scrlSilDetLevel;
    case EditableField::Sdt:
        return scrlSilDetTime;
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

QString PropertiesPanel::fieldCaption(EditableField field) const {
    return editControl(field)->accessibleName();
}

QStringList PropertiesPanel::fieldEntries(EditableField field) const {
    const auto *list = qobject_cast<const QComboBox *>(editControl(field));
    QStringList texts;
    for (int i = 0; list && i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

void PropertiesPanel::editsLoaded() {
    m_presenter->editsLoaded();
    showPendingEdits();
}

// The marks of the changed fields, rendered from the presenter.
void PropertiesPanel::showPendingEdits() {
    const QList<EditableField> changed = m_presenter->changedFields();
    for (const EditableField field : kAllFields) {
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

void PropertiesPanel::focusRefusedField(const QList<EditableField> &refused) {
    const std::optional<EditableField> field = PanelPresenter::refusedFocus(refused, [this](EditableField f) {
        const QWidget *control = editControl(f);
        return control->isVisibleTo(this) && control->isEnabled();
    });
    if (field)
        editControl(*field)->setFocus(Qt::OtherFocusReason);
}

} // namespace ondalink

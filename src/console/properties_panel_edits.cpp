// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's unsaved edits: which fields differ from the element as loaded, their marks, what
// the Save question lists, and where a refused Save puts the focus.
#include "console/properties_panel.h"

#include "console/form_helpers.h"
#include "link/configuration_write.h"
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
    default: // no control of its own
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

// Loading and a report's values are the element's own: marks off, and what is shown is the base.
void PropertiesPanel::editsLoaded() {
    m_edits.setLoaded(shownElement());
    showPendingEdits();
}

bool PropertiesPanel::hasPendingEdits() const {
    return !m_edits.changed(shownElement()).isEmpty();
}

void PropertiesPanel::showPendingEdits() {
    const ConfigurationWrite shown = shownElement();
    const QList<ElementKey> changed = m_edits.changed(shown);
    for (const ElementKey field : kEditableKeys) {
        QLabel *caption = captionOf(editControl(field));
        if (!caption)
            continue;
        const bool marked = changed.contains(field);
        QFont font = caption->font();
        font.setBold(marked);
        caption->setFont(font);
        //: Tooltip of a changed field's caption; %1: the value the element was loaded with.
        caption->setToolTip(marked ? tr("Changed; was %1").arg(editValueText(field, *m_edits.loaded()))
                                   : QString());
    }
    //: After the panel's caption while a field has been changed and not saved.
    setTitle(changed.isEmpty() ? m_title : m_title + u' ' + tr("(changed)"));
}

QString PropertiesPanel::editValueText(ElementKey field, const ConfigurationWrite &values) const {
    const auto text = [](const QString &typed) {
        //: An empty text field, in the list of changed fields.
        return typed.trimmed().isEmpty() ? tr("(empty)") : typed.trimmed();
    };
    const auto entry = [](const QComboBox *list, int index) {
        //: A list with nothing selected, in the list of changed fields.
        return index >= 0 && index < list->count() ? list->itemText(index) : tr("(none)");
    };
    switch (field) {
    case ElementKey::Name:
        return text(values.name);
    case ElementKey::Ip:
        return text(values.ip);
    case ElementKey::Mask:
        return text(values.mask);
    case ElementKey::Gw:
        return text(values.gw);
    case ElementKey::Remote:
        return text(values.remote);
    case ElementKey::Input:
        return entry(cmbAudioInput, values.input);
    case ElementKey::Type:
        return entry(cmbAudioType, values.type);
    case ElementKey::Tx:
        return entry(cmbAudioTX, values.tx);
    case ElementKey::Sfn:
        //: The SFN option's check box, in the list of changed fields.
        return values.sfn ? tr("checked") : tr("unchecked");
    case ElementKey::Buf:
        return bufferText(values.buf);
    case ElementKey::Sdm:
        return entry(cmbSilDetMode, values.sdm);
    case ElementKey::Sdl:
        return silDetLevelText(values.sdl);
    case ElementKey::Sdt:
        return silDetTimeText(values.sdt);
    default: // not editable
        break;
    }
    return {};
}

QStringList PropertiesPanel::pendingEditSummary() const {
    const ConfigurationWrite shown = shownElement();
    if (!m_edits.loaded() || !shown.hasSelection())
        return {};
    const ConfigurationWrite &loaded = *m_edits.loaded();
    QStringList summary{loaded.name.trimmed(), loaded.mac};
    for (const ElementKey field : m_edits.changed(shown))
        //: A changed field in the Save question's details: %1 its caption, %2 the value as loaded,
        //: %3 the value to be sent.
        summary << tr("%1: %2 → %3")
                       .arg(editControl(field)->accessibleName(), editValueText(field, loaded),
                            editValueText(field, shown));
    return summary;
}

void PropertiesPanel::focusRefusedField(bool databaseExists) {
    const std::optional<SaveRefusal> refusal = saveRefusal(shownElement(), databaseExists);
    if (!refusal)
        return;
    // A field the layout hides cannot take the focus: the first one the operator can reach does.
    for (const ElementKey field : refusal->fields) {
        QWidget *control = editControl(field);
        if (control->isVisibleTo(this) && control->isEnabled()) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

} // namespace ondalink

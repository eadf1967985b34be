// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the selected element into the panel, and clearing it.
#include "console/widgets/properties_panel.h"

#include "console/widgets/attenuation_bar.h"

#include "model/element_record.h"
#include "model/encodings.h"
#include "store/element_schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// A stored list index; anything that is not an entry of the list gives no selection.
int listIndex(std::optional<int> stored, const QComboBox *list) {
    return stored && *stored >= 0 && *stored < list->count() ? *stored : -1;
}

} // namespace

void PropertiesPanel::NodeClick(const QString &nodeKey, const QString &nodeText) {
    flushAttenuationTurn();
    m_surroundings.setPingNeutral();
    m_surroundings.setMonitoringButtons(false, false);
    switch (m_presenter->load(nodeKey, nodeText)) {
    case PanelPresenter::Load::Ignored:
        return;
    case PanelPresenter::Load::Missing:
        ClearPanel();
        Q_EMIT sectionMissing();
        return;
    case PanelPresenter::Load::Refused:
        // The panel still shows the previous element: give the monitoring buttons and polling the
        // state that element's layout gives, rather than leaving polling running with both disabled.
        lblElementType_Change();
        return;
    case PanelPresenter::Load::Loaded:
        break;
    }

    using K = ElementKey;
    const StoredElement &stored = *m_presenter->element();
    const ElementRecord element = stored.record();
    showNetworkAndAudio(stored, element);
    lblVersion->setText(versionText(element.ver, 2));
    // An index beyond the encoder list shows "<None>".
    const int bound = listIndex(stored.number(K::Bound), cmbEncoders);
    cmbEncoders->setCurrentIndex(bound >= 0 ? bound : 0);
    chkSFNEnabled->setChecked(element.sfn != 0);

    const ElementRole role = stored.role();
    if (role == ElementRole::Decoder) {
        setElementType(role);
        loadDecoderSettings(element);
        lblElementType_Change();
        cmbSilDetMode_Click();
    } else if (shownRole() != role) {
        setElementType(role);
    } else {
        // The same type text again: its layout still has to follow the new element (monitoring
        // off, the buttons of step 2 given back to an ENCODER).
        lblElementType_Change();
    }

    setSelected(nodeKey);
    lblSerialNumber->setText(stored.text(K::Sn));
    m_surroundings.setPingLabel(tr("<Click to test>"));
    editsLoaded();
}

// The levels as loaded: the presenter has written back those it corrects.
void PropertiesPanel::loadDecoderSettings(const ElementRecord &element) {
    scrlAtten->setValue(element.att);
    scrlBuffer->setValue(element.buf);
    scrlSilDetLevel->setValue(element.sdl);
    scrlSilDetTime->setValue(element.sdt);
    setSilDetMode(element.sdm);
}

// The fields every role's write carries.
void PropertiesPanel::showNetworkAndAudio(const StoredElement &stored, const ElementRecord &element) {
    using K = ElementKey;
    txtElementName->setText(element.name);
    txtElementIP->setText(element.ip);
    txtElementMask->setText(element.mask);
    txtElementGW->setText(element.gw);
    txtRemoteIP->setText(element.remote);
    cmbAudioInput->setCurrentIndex(listIndex(stored.listIndex(K::Input), cmbAudioInput));
    cmbAudioType->setCurrentIndex(listIndex(stored.listIndex(K::Type), cmbAudioType));
    cmbAudioTX->setCurrentIndex(listIndex(stored.listIndex(K::Tx), cmbAudioTX));
}

void PropertiesPanel::applySettings(const KeyValues &settings) {
    using K = ElementKey;
    StoredElement values(selectedMac());
    for (const auto &[key, value] : settings)
        values.addKeyLine(key.toLatin1(), value.toLatin1());
    const ElementRecord element = values.record();
    showNetworkAndAudio(values, element);
    if (shownRole() != ElementRole::Decoder)
        return;
    chkSFNEnabled->setChecked(element.sfn != 0);
    scrlBuffer->setValue(element.buf);
    if (values.has(K::Sdl))
        scrlSilDetLevel->setValue(element.sdl);
    if (values.has(K::Sdt))
        scrlSilDetTime->setValue(element.sdt);
    if (values.has(K::Sdm))
        setSilDetMode(element.sdm);
}

void PropertiesPanel::ClearPanel() {
    flushAttenuationTurn();
    const QString none = QString::fromUtf16(kNoSelection);
    setElementType(std::nullopt);
    setSelected({});
    lblSerialNumber->setText(none);
    m_surroundings.setPingLabel(tr("<Unknown>"));
    lblVersion->setText(none);
    lblLatency->setText(tr("0mS"));
    m_surroundings.setPingNeutral();
    for (QLineEdit *box : {txtElementName, txtElementIP, txtElementMask, txtElementGW, txtRemoteIP})
        box->clear();
    for (QComboBox *list : {cmbAudioInput, cmbAudioType, cmbAudioTX})
        list->setCurrentIndex(-1);
    m_presenter->clearEdits();
    updateWidgets();
}

} // namespace ondalink

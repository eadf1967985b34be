// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's own reactions: value labels, validation colours, and the layout by element type.
#include "console/widgets/properties_panel.h"

#include "console/widgets/attenuation_bar.h"
#include "model/encodings.h"
#include "model/ipv4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QColor kInvalidAddress(255, 128, 128);

void setEnabledAll(bool enabled, std::initializer_list<QWidget *> widgets) {
    for (QWidget *w : widgets)
        w->setEnabled(enabled);
}

} // namespace

PropertiesPanel::PropertiesPanel(ElementDatabase &database, Notifier &notifier,
                                 PanelSurroundings &surroundings, QWidget *parent)
    : QGroupBox(parent), m_database(database), m_notifier(notifier), m_surroundings(surroundings) {
    buildControls();
    m_presenter = new PanelPresenter(database, notifier, *this, PanelPresenter::kAttenuationTurnMs, this);
    connect(m_presenter, &PanelPresenter::attenuationChosen, this,
            [this](int position) { m_surroundings.attenuationChosen(position); });
    connect(m_presenter, &PanelPresenter::editsDiscarded, this, &PropertiesPanel::updateWidgets);
    connectHandlers();
    connectEditTracking();
}

void PropertiesPanel::connectHandlers() {
    connect(scrlBuffer, &QScrollBar::valueChanged, this, &PropertiesPanel::scrlBuffer_Change);
    connect(scrlSilDetLevel, &QScrollBar::valueChanged, this, &PropertiesPanel::scrlSilDetLevel_Change);
    connect(scrlSilDetTime, &QScrollBar::valueChanged, this, &PropertiesPanel::scrlSilDetTime_Change);
    connect(scrlAtten, &QScrollBar::valueChanged, this, &PropertiesPanel::scrlAtten_Change);
    // While the thumb is dragged the label follows it; the value itself changes on release.
    connect(scrlAtten, &QScrollBar::sliderMoved, this,
            [this](int position) { lblAttenDB->setText(attenuationText(position)); });
    connect(cmbSilDetMode, &QComboBox::currentIndexChanged, this, &PropertiesPanel::cmbSilDetMode_Click);
    connect(cmbAudioTX, &QComboBox::currentIndexChanged, this, &PropertiesPanel::cmbAudioTX_Click);
    for (QLineEdit *box : {txtElementIP, txtElementMask, txtElementGW, txtRemoteIP}) {
        connect(box, &QLineEdit::textChanged, this, [this, box] { txtAddress_Change(box); });
        connect(box, &QLineEdit::editingFinished, this, [this, box] { txtAddress_LostFocus(box); });
    }
    for (QLineEdit *box :
         {txtElementName, txtElementIP, txtElementMask, txtElementGW, txtRemoteIP, txtVLAN_Audio, txtVLAN_OM})
        box->installEventFilter(this);
}

bool PropertiesPanel::eventFilter(QObject *watched, QEvent *event) {
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && event->type() == QEvent::FocusIn) {
        // Deferred: a mouse press that brought the focus would place the cursor after us.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (box == txtElementName && event->type() == QEvent::FocusOut) {
        txtElementName_LostFocus();
    } else if (box && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        showAddressHint(box); // the layout shows or hides the remote address box
    }
    return QGroupBox::eventFilter(watched, event);
}

void PropertiesPanel::scrlBuffer_Change() {
    lblLatency->setText(bufferText(scrlBuffer->value()));
}

void PropertiesPanel::scrlSilDetLevel_Change() {
    lblSilDetLevel->setText(silDetLevelText(scrlSilDetLevel->value()));
}

void PropertiesPanel::scrlSilDetTime_Change() {
    lblSilDetTime->setText(silDetTimeText(scrlSilDetTime->value()));
}

void PropertiesPanel::scrlAtten_Change() {
    const int position = scrlAtten->value();
    lblAttenDB->setText(attenuationText(position));
    m_presenter->attenuationChanged(position, scrlAtten->isWheelTurning(), scrlAtten->hasFocus());
}

void PropertiesPanel::cmbSilDetMode_Click() {
    const bool automatic = PanelPresenter::silenceLevelsUsed(cmbSilDetMode->currentIndex());
    setEnabledAll(automatic,
                  {scrlSilDetLevel, scrlSilDetTime, lblSilDetLevel, lblSilDetTime, Label24, Label26});
}

void PropertiesPanel::cmbAudioTX_Click() {
    if (m_presenter->encoderLayout())
        txtRemoteIP->setVisible(m_presenter->remoteAddressShown(cmbAudioTX->currentIndex()));
}

void PropertiesPanel::txtAddress_Change(QLineEdit *box) {
    const QString text = box->text();
    const bool invalid = !text.isEmpty() && !isValidAddress(text);
    // The colour is not all: a screen reader and an operator who cannot tell it are told in words.
    const QString why = invalid ? tr("Not a valid IPv4 address") : QString();
    box->setToolTip(why);
    box->setAccessibleDescription(why);
    showAddressHint(box);
    if (!invalid) {
        box->setPalette(QPalette());
        return;
    }
    QPalette alarm = box->palette();
    alarm.setColor(QPalette::Base, kInvalidAddress);
    box->setPalette(alarm);
}

// The words beside an address box, while it is shown with a text that is no address.
void PropertiesPanel::showAddressHint(QLineEdit *box) {
    for (const auto &[field, hint] : m_addressHints)
        if (field == box)
            hint->setVisible(!box->isHidden() && !box->text().isEmpty() && !isValidAddress(box->text()));
}

// An address left in another form (blanks, leading zeros) shows the form the element reports back.
void PropertiesPanel::txtAddress_LostFocus(QLineEdit *box) {
    const std::optional<Ipv4Address> address = parseDottedAddress(box->text());
    if (address && address->toString() != box->text())
        box->setText(address->toString());
}

void PropertiesPanel::txtElementName_LostFocus() {
    const QString upper = txtElementName->text().toUpper();
    if (upper != txtElementName->text())
        txtElementName->setText(upper);
}

void PropertiesPanel::lblElementType_Change() {
    if (m_presenter->encoderLayout())
        encoderLayout();
    else
        decoderLayout();
}

void PropertiesPanel::encoderLayout() {
    txtRemoteIP->show();
    cmbAudioInput->show();
    cmbAudioTX->show();
    scrlAtten->hide();
    lblAttenDB->hide();
    Label9->setText(tr("&Audio source:"));
    Label9->setBuddy(cmbAudioInput);
    txtRemoteIP->setVisible(m_presenter->remoteAddressShown(cmbAudioTX->currentIndex()));
    m_surroundings.switchMonitoringOff();
    m_surroundings.setMonitoringButtons(true, false);
    m_surroundings.resetLevelDisplay(true);
    scrlBuffer->setValue(0);
    scrlBuffer->setEnabled(false);
    lblLatency->setText(tr("2.5mS"));
    setEnabledAll(false, {cmbSilDetMode, scrlSilDetLevel, scrlSilDetTime, lblSilDetLevel, lblSilDetTime,
                          lblLatency, Label20, Label24, Label26});
    showControlsOfRole(true);
}

void PropertiesPanel::decoderLayout() {
    txtRemoteIP->hide();
    cmbAudioInput->hide();
    cmbAudioTX->hide();
    scrlAtten->show();
    lblAttenDB->show();
    Label9->setText(tr("&Audio atten:"));
    Label9->setBuddy(scrlAtten);
    m_surroundings.switchMonitoringOff();
    m_surroundings.setMonitoringButtons(false, false);
    m_surroundings.resetLevelDisplay(false);
    scrlBuffer->setEnabled(true);
    lblLatency->setText(bufferText(scrlBuffer->value()));
    setEnabledAll(true, {cmbSilDetMode, scrlSilDetLevel, scrlSilDetTime, lblSilDetLevel, lblSilDetTime,
                         lblLatency, Label20, Label24, Label26});
    showControlsOfRole(false);
}

// What the other type has is hidden rather than greyed with values that are not this element's (or, as
// the SFN option of an encoder, never sent to it). The values stay in their controls, and each control
// keeps its place, so the form does not move.
void PropertiesPanel::showControlsOfRole(bool encoder) {
    for (QWidget *w : std::as_const(m_encoderOnly))
        w->setVisible(encoder);
    for (QWidget *w : std::as_const(m_decoderOnly))
        w->setVisible(!encoder);
}

QString PropertiesPanel::elementIp() const {
    return txtElementIP->text();
}

ConfigurationWrite PropertiesPanel::shownElement() const {
    ConfigurationWrite shown;
    shown.mac = selectedMac();
    shown.role = shownRole().value_or(ElementRole::Unknown);
    shown.name = txtElementName->text();
    shown.ip = txtElementIP->text();
    shown.mask = txtElementMask->text();
    shown.gw = txtElementGW->text();
    shown.remote = txtRemoteIP->text();
    shown.input = cmbAudioInput->currentIndex();
    shown.type = cmbAudioType->currentIndex();
    shown.tx = cmbAudioTX->currentIndex();
    shown.sfn = chkSFNEnabled->isChecked();
    shown.buf = scrlBuffer->value();
    shown.sdm = cmbSilDetMode->currentIndex();
    shown.sdl = scrlSilDetLevel->value();
    shown.sdt = scrlSilDetTime->value();
    shown.att = scrlAtten->value();
    return shown;
}

void PropertiesPanel::applyConfirmed(const ConfirmedState &state) {
    setElementType(roleFromValue(state.role));
    lblSerialNumber->setText(QString::number(state.sn));
    lblVersion->setText(versionText(state.ver, 1));
    if (state.att)
        scrlAtten->setValue(*state.att);
    scrlBuffer->setValue(state.buf);
    if (state.sdm)
        setSilDetMode(*state.sdm);
    if (state.sdl)
        scrlSilDetLevel->setValue(*state.sdl);
    if (state.sdt)
        scrlSilDetTime->setValue(*state.sdt);
    // What the report set is the element's own; a field it did not confirm stays changed.
    m_presenter->editsConfirmed(state.unconfirmed);
    updateWidgets();
}

void PropertiesPanel::setSelected(const QString &mac) {
    const bool changed = mac != selectedMac();
    m_presenter->setSelected(mac);
    updateWidgets();
    if (changed)
        Q_EMIT shownElementChanged(mac);
}

void PropertiesPanel::setElementType(std::optional<ElementRole> role) {
    if (!m_presenter->setShownRole(role))
        return;
    updateWidgets();
    lblElementType_Change();
}

void PropertiesPanel::setSilDetMode(int index) {
    // An index outside the list would leave a DECODER without a mode that Save can send.
    cmbSilDetMode->setCurrentIndex(index >= 0 && index < cmbSilDetMode->count() ? index : 0);
}

} // namespace ondalink

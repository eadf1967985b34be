// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/panel_view.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace ondalink {

class ElementDatabase;
class Notifier;
class StoredElement;

inline constexpr char16_t kNoSelection[] = u"-";
inline constexpr char16_t kTypeEncoder[] = u"ENCODER";
inline constexpr char16_t kTypeDecoder[] = u"DECODER";

// What the panel drives outside its own frame: the two monitoring buttons of the toolbar, the
// level display and its timer, the ping indicator and label, and the live attenuation.
class PanelSurroundings {
public:
    virtual ~PanelSurroundings() = default;
    // Toolbar buttons 6 ("Start audio monitoring") and 7 ("Stop audio monitoring").
    virtual void setMonitoringButtons(bool startEnabled, bool stopEnabled) = 0;
    virtual void stopLevelTimer() = 0; // tmrVolume
    // The monitoring switch chkGetVolume changed state.
    virtual void monitoringSwitchChanged(bool on) = 0;
    // VUMeter to width 0 and enabled or not; lblVolume to "-oodBFS".
    virtual void resetLevelDisplay(bool meterEnabled) = 0;
    virtual void setPingNeutral() = 0;                  // shpPing's neutral fill
    virtual void setPingLabel(const QString &text) = 0; // lblPing
    // The operator moved scrlAtten on a DECODER panel: send and store the position.
    virtual void attenuationChosen(int position) = 0;
};

// The "Element properties:" frame: the working copy of the selected element. Every value set on a
// control, by the operator or by code, runs that control's change handling.
class PropertiesPanel : public QGroupBox, public PanelView {
    Q_OBJECT
public:
    PropertiesPanel(ElementDatabase &database, Notifier &notifier, PanelSurroundings &surroundings,
                    QWidget *parent = nullptr);

    // Loads the element of a tree node (its key in colon form and its text) into the panel.
    void NodeClick(const QString &nodeKey, const QString &nodeText);
    void ClearPanel();

    // Applies the ENCODER or the DECODER layout chosen by lblElementType's text.
    void lblElementType_Change();
    void cmbSilDetMode_Click();
    void cmbAudioTX_Click();

    // The monitoring switch; hidden, checked while level polling runs.
    QCheckBox *monitoringSwitch() const { return chkGetVolume; }
    QComboBox *encoderList() const { return cmbEncoders; }

    // PanelView
    QString selectedMac() const override;
    QString elementType() const override;
    QString elementName() const override;
    QString elementIp() const override;
    QString elementMask() const override;
    QString elementGateway() const override;
    QString remoteIp() const override;
    int audioInputIndex() const override;
    int audioTypeIndex() const override;
    int audioTxIndex() const override;
    bool sfnEnabled() const override;
    int buffer() const override;
    int silDetMode() const override;
    int silDetLevel() const override;
    int silDetTime() const override;
    int attenuation() const override;
    // A changed text runs lblElementType_Change.
    void setElementType(const QString &text) override;
    void setSerialNumber(const QString &text) override;
    void setVersion(const QString &text) override;
    void setAttenuation(int position) override;
    void setBuffer(int position) override;
    void setSilDetMode(int index) override;
    void setSilDetLevel(int position) override;
    void setSilDetTime(int position) override;

Q_SIGNALS:
    // A clicked node's section is no longer in the file; the panel has been cleared.
    void sectionMissing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildNetworkColumn();
    QWidget *buildAudioColumn();
    QWidget *buildIdentityRow();
    void connectHandlers();

    void scrlBuffer_Change();
    void scrlSilDetLevel_Change();
    void scrlSilDetTime_Change();
    void scrlAtten_Change();
    void txtAddress_Change(QLineEdit *box);
    void txtElementName_LostFocus();
    void encoderLayout();
    void decoderLayout();
    void switchMonitoringOff();
    void loadDecoderSettings(const StoredElement &stored);

    ElementDatabase &m_database;
    Notifier &m_notifier;
    PanelSurroundings &m_surroundings;

    QLineEdit *txtElementName = nullptr;
    QLineEdit *txtElementIP = nullptr;
    QLineEdit *txtElementMask = nullptr;
    QLineEdit *txtElementGW = nullptr;
    QLineEdit *txtRemoteIP = nullptr;
    QLineEdit *txtVLAN_Audio = nullptr;
    QLineEdit *txtVLAN_OM = nullptr;
    QComboBox *cmbAudioType = nullptr;
    QComboBox *cmbAudioInput = nullptr;
    QComboBox *cmbAudioTX = nullptr;
    QComboBox *cmbSilDetMode = nullptr;
    QComboBox *cmbEncoders = nullptr;
    QCheckBox *chkSFNEnabled = nullptr;
    QCheckBox *chkGetVolume = nullptr;
    QScrollBar *scrlBuffer = nullptr;
    QScrollBar *scrlSilDetLevel = nullptr;
    QScrollBar *scrlSilDetTime = nullptr;
    QScrollBar *scrlAtten = nullptr;
    QLabel *lblElementType = nullptr;
    QLabel *lblElementMAC = nullptr;
    QLabel *lblSerialNumber = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblLatency = nullptr;
    QLabel *lblSilDetLevel = nullptr;
    QLabel *lblSilDetTime = nullptr;
    QLabel *lblAttenDB = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label20 = nullptr;
    QLabel *Label24 = nullptr;
    QLabel *Label26 = nullptr;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/presenters/panel_presenter.h"
#include "link/confirmation.h"
#include "model/configuration_write.h"

#include <QGroupBox>
#include <QList>

#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace ondalink {

class AttenuationBar;
class ElementDatabase;
struct ElementRecord;
class Notifier;

inline constexpr char16_t kNoSelection[] = u"-";

// What the panel drives outside its own frame: the two monitoring buttons of the toolbar, the
// level display and its timer, the ping indicator and label, and the live attenuation.
class PanelSurroundings {
public:
    virtual ~PanelSurroundings() = default;
    // The commands "Start audio monitoring" and "Stop audio monitoring".
    virtual void setMonitoringButtons(bool startEnabled, bool stopEnabled) = 0;
    // Level monitoring off (tmrVolume stopped): a layout change never leaves it running.
    virtual void switchMonitoringOff() = 0;
    // VUMeter to width 0 and enabled or not; lblVolume to "-oodBFS".
    virtual void resetLevelDisplay(bool meterEnabled) = 0;
    virtual void setPingNeutral() = 0;                  // shpPing's neutral fill
    virtual void setPingLabel(const QString &text) = 0; // lblPing
    // The operator moved scrlAtten on a DECODER panel (a key, a click, a released drag or a settled
    // wheel turn): send and store the position.
    virtual void attenuationChosen(int position) = 0;
};

// The "Element properties:" frame: the working copy of the selected element, rendered from its
// presenter's decisions. Every value set on a control, by the operator or by code, runs that control's
// change handling.
class PropertiesPanel : public QGroupBox, public PanelFields {
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

    QComboBox *encoderList() const { return cmbEncoders; }
    PanelPresenter &presenter() { return *m_presenter; }

    // The selected element (colon-form MAC), empty when none is; lblElementMAC shows it or "-".
    const QString &selectedMac() const { return m_presenter->selectedMac(); }
    // The type label reads the role's text, or "-" for none; a change runs lblElementType_Change.
    void setElementType(std::optional<ElementRole> role);
    // The type label's element kind; nullopt while it shows "-".
    std::optional<ElementRole> shownRole() const { return m_presenter->shownRole(); }
    QString elementIp() const; // txtElementIP as typed
    // The working copy as the controls hold it now.
    ConfigurationWrite shownElement() const override;
    QString fieldCaption(ElementKey field) const override;
    QStringList fieldEntries(ElementKey field) const override;
    // A confirming report's state: type, serial number, version and the decoder settings it carried.
    // Each control's own change handling runs, as for the operator's edits.
    void applyConfirmed(const ConfirmedState &state);
    // Puts a configuration's settings (key names and stored texts) into the controls that a write sends,
    // as edits of the shown element: the rest stays as loaded.
    void applySettings(const KeyValues &settings);
    // Sends a wheel turn over scrlAtten that has not rested yet (before the selection changes or
    // the link closes).
    void flushAttenuationTurn() { m_presenter->flushAttenuationTurn(); }
    // After a refused Save: the keyboard focus goes to the first reachable field the refusal names.
    void focusRefusedField(const QList<ElementKey> &refused);

Q_SIGNALS:
    // A clicked node's section is no longer in the file; the panel has been cleared.
    void sectionMissing();
    // The panel shows another element (its colon-form MAC), or none (empty).
    void shownElementChanged(const QString &mac);

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
    void txtAddress_LostFocus(QLineEdit *box);
    void showAddressHint(QLineEdit *box);
    void txtElementName_LostFocus();
    void encoderLayout();
    void decoderLayout();
    void showControlsOfRole(bool encoder);
    void loadDecoderSettings(const ElementRecord &element);
    void showNetworkAndAudio(const StoredElement &stored, const ElementRecord &element);
    void setSelected(const QString &mac);
    void setSilDetMode(int index);
    // Changed-field marks: bold captions and "(changed)" after the frame's caption.
    void connectEditTracking();
    // The one place the presenter's state reaches the widgets beyond the controls' own values.
    void updateWidgets();
    void editsLoaded();
    QWidget *editControl(ElementKey field) const;
    QLabel *captionOf(const QWidget *control) const;

    ElementDatabase &m_database;
    Notifier &m_notifier;
    PanelSurroundings &m_surroundings;
    PanelPresenter *m_presenter = nullptr;
    QString m_title; // the frame's caption without the changed mark
    // Each address box with the words that say its text is not an address.
    QList<std::pair<QLineEdit *, QLabel *>> m_addressHints;

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
    QScrollBar *scrlBuffer = nullptr;
    QScrollBar *scrlSilDetLevel = nullptr;
    QScrollBar *scrlSilDetTime = nullptr;
    AttenuationBar *scrlAtten = nullptr;
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
    // What one type has and the other has not, beyond what the layout by type shows and hides.
    QList<QWidget *> m_encoderOnly;
    QList<QWidget *> m_decoderOnly;
};

} // namespace ondalink

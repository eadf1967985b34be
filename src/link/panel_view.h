// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// What the link reads from and writes to the properties panel. The console's panel implements it
// with its controls; tests implement it with plain fields. Setters behave as a value set on the
// control: the control's own change handling runs (layout, value labels, live attenuation).
class PanelView {
public:
    virtual ~PanelView() = default;

    // lblElementMAC: the selected element's colon-form MAC, "-" when none is selected.
    virtual QString selectedMac() const = 0;
    virtual QString elementType() const = 0;    // lblElementType
    virtual QString elementName() const = 0;    // txtElementName
    virtual QString elementIp() const = 0;      // txtElementIP
    virtual QString elementMask() const = 0;    // txtElementMask
    virtual QString elementGateway() const = 0; // txtElementGW
    virtual QString remoteIp() const = 0;       // txtRemoteIP
    virtual int audioInputIndex() const = 0;    // cmbAudioInput, -1 when nothing is selected
    virtual int audioTypeIndex() const = 0;     // cmbAudioType
    virtual int audioTxIndex() const = 0;       // cmbAudioTX
    virtual bool sfnEnabled() const = 0;        // chkSFNEnabled
    virtual int buffer() const = 0;             // scrlBuffer
    virtual int silDetMode() const = 0;         // cmbSilDetMode
    virtual int silDetLevel() const = 0;        // scrlSilDetLevel
    virtual int silDetTime() const = 0;         // scrlSilDetTime
    virtual int attenuation() const = 0;        // scrlAtten

    virtual void setElementType(const QString &text) = 0;
    virtual void setSerialNumber(const QString &text) = 0;
    virtual void setVersion(const QString &text) = 0;
    virtual void setAttenuation(int position) = 0;
    virtual void setBuffer(int position) = 0;
    virtual void setSilDetMode(int index) = 0;
    virtual void setSilDetLevel(int position) = 0;
    virtual void setSilDetTime(int position) = 0;
};

} // namespace ondalink

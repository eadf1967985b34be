// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the selected element into the panel, and clearing it.
#include "properties_panel.h"

#include "model/element_record.h"
#include "model/encodings.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

constexpr int kCorruptKeyCount = 18;

std::optional<int> wholeNumber(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// A stored value that is not a whole number counts as missing: its default applies.
int storedNumber(const ElementDatabase &db, const QString &key, const QString &name, int defaultValue) {
    return wholeNumber(db.read(key, name, QString::number(defaultValue))).value_or(defaultValue);
}

// A stored list index; anything that is not an entry of the list gives no selection.
int listIndex(const QString &stored, const QComboBox *list) {
    const std::optional<int> index = wholeNumber(stored);
    return index && *index >= 0 && *index < list->count() ? *index : -1;
}

} // namespace

void PropertiesPanel::NodeClick(const QString &nodeKey, const QString &nodeText) {
    m_surroundings.setPingNeutral();
    m_surroundings.setMonitoringButtons(false, false);
    if (nodeText.isEmpty())
        return;

    const QString key = MacToKey(nodeKey);
    const int keyCount = key.isEmpty() ? 0 : m_database.keyCount(key);
    if (keyCount == 0) {
        // The file changed under the tree (a section without keys counts as absent): nothing to
        // load, and the stale node must not become the selected element.
        ClearPanel();
        Q_EMIT sectionMissing();
        return;
    }
    if (keyCount >= kCorruptKeyCount) {
        m_notifier.show(
            critical(twoLines(u"The data stored in your computer about this element, is corrupted (1)."_s,
                              u"Cannot load this element info."_s)));
        // The panel still shows the previous element: give the monitoring buttons and polling the
        // state that element's layout gives, rather than leaving polling running with both disabled.
        lblElementType_Change();
        return;
    }

    txtElementName->setText(m_database.read(key, u"name"_s));
    txtElementIP->setText(m_database.read(key, u"ip"_s));
    txtElementMask->setText(m_database.read(key, u"mask"_s));
    txtElementGW->setText(m_database.read(key, u"gw"_s));
    txtRemoteIP->setText(m_database.read(key, u"remote"_s));
    cmbAudioInput->setCurrentIndex(listIndex(m_database.read(key, u"input"_s), cmbAudioInput));
    cmbAudioType->setCurrentIndex(listIndex(m_database.read(key, u"type"_s), cmbAudioType));
    cmbAudioTX->setCurrentIndex(listIndex(m_database.read(key, u"tx"_s), cmbAudioTX));
    const double version = parseVersion(m_database.read(key, u"ver"_s, u"2"_s)).value_or(2.0);
    lblVersion->setText(versionText(version, 2));
    // An index beyond the encoder list shows "<None>".
    const int bound = listIndex(m_database.read(key, u"bound"_s, u"0"_s), cmbEncoders);
    cmbEncoders->setCurrentIndex(bound >= 0 ? bound : 0);
    chkSFNEnabled->setChecked(storedNumber(m_database, key, u"sfn"_s, 0) != 0);

    const ElementRole role = roleFromValue(wholeNumber(m_database.read(key, u"role"_s)).value_or(0));
    if (role == ElementRole::Decoder) {
        setElementType(role);
        loadDecoderSettings(key);
        lblElementType_Change();
        cmbSilDetMode_Click();
    } else if (m_shownRole != role) {
        setElementType(role);
    } else {
        // The same type text again: its layout still has to follow the new element (monitoring
        // off, the buttons of step 2 given back to an ENCODER).
        lblElementType_Change();
    }

    setSelected(nodeKey);
    lblSerialNumber->setText(m_database.read(key, u"sn"_s));
    m_surroundings.setPingLabel(u"<Click to test>"_s);
}

void PropertiesPanel::loadDecoderSettings(const QString &key) {
    // Stored values out of the controls' range on the side not corrected here (att above 255,
    // buf above 8, sdl or sdt below 1) are shown at the nearest end of the range, without a write.
    if (storedNumber(m_database, key, u"att"_s, 0) <= kAttenMin)
        m_database.write(key, u"att"_s, QString::number(kAttenMin));
    scrlAtten->setValue(storedNumber(m_database, key, u"att"_s, 0));

    scrlBuffer->setValue(storedNumber(m_database, key, u"buf"_s, 1));

    if (storedNumber(m_database, key, u"sdl"_s, 37) > kSilDetLevelMax)
        m_database.write(key, u"sdl"_s, QString::number(kSilDetLevelMax));
    scrlSilDetLevel->setValue(storedNumber(m_database, key, u"sdl"_s, 37));

    if (storedNumber(m_database, key, u"sdt"_s, 43) > kSilDetTimeMax)
        m_database.write(key, u"sdt"_s, QString::number(kSilDetTimeMax));
    scrlSilDetTime->setValue(storedNumber(m_database, key, u"sdt"_s, 43));

    setSilDetMode(storedNumber(m_database, key, u"sdm"_s, 0));
}

void PropertiesPanel::ClearPanel() {
    const QString none = QString::fromUtf16(kNoSelection);
    setElementType(std::nullopt);
    setSelected({});
    lblSerialNumber->setText(none);
    m_surroundings.setPingLabel(u"<Unknown>"_s);
    lblVersion->setText(none);
    lblLatency->setText(u"0mS"_s);
    m_surroundings.setPingNeutral();
    for (QLineEdit *box : {txtElementName, txtElementIP, txtElementMask, txtElementGW, txtRemoteIP})
        box->clear();
    for (QComboBox *list : {cmbAudioInput, cmbAudioType, cmbAudioTX})
        list->setCurrentIndex(-1);
}

} // namespace ondalink

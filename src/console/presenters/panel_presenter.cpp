// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/panel_presenter.h"

#include "model/encodings.h"
#include "model/mac_text.h"
#include "model/notifier.h"
#include "store/element_database.h"

namespace ondalink {

PanelPresenter::PanelPresenter(ElementDatabase &database, Notifier &notifier, PanelFields &fields,
                               int attenuationTurnMs, QObject *parent)
    : QObject(parent), m_database(database), m_notifier(notifier), m_fields(fields) {
    m_attenuationTurn.setSingleShot(true);
    m_attenuationTurn.setInterval(attenuationTurnMs);
    connect(&m_attenuationTurn, &QTimer::timeout, this, &PanelPresenter::attenuationTurnSettled);
}

PanelPresenter::Load PanelPresenter::load(const QString &nodeKey, const QString &nodeText) {
    if (nodeText.isEmpty())
        return Load::Ignored;
    const QString key = macToElementKey(nodeKey);
    std::optional<StoredElement> stored = key.isEmpty() ? std::nullopt : m_database.load(key);
    // The file changed under the tree: the stale node must not become the selected element.
    if (!stored)
        return Load::Missing;
    if (!stored->isPlausible()) {
        m_notifier.show({MessageId::SectionNotLoaded});
        return Load::Refused;
    }
    // Levels beyond the controls on one side are corrected, all in one replacement; those beyond on the
    // other side are only shown at the nearest end of the range. A failed write is shown all the same.
    if (const KeyValues corrections = stored->corrections(); !corrections.isEmpty())
        m_database.writeSection(stored->sectionKey(), corrections);
    m_element = std::move(stored);
    return Load::Loaded;
}

bool PanelPresenter::setShownRole(std::optional<ElementRole> role) {
    if (m_shownRole == role)
        return false;
    m_shownRole = role;
    return true;
}

void PanelPresenter::attenuationChanged(int position, bool wheelTurning, bool focused) {
    if (wheelTurning) {
        m_turnedPosition = position;
        m_attenuationTurn.start();
        return;
    }
    // Any other change replaces a turned position not sent yet; positions set by code while the focus
    // is elsewhere (loading, a report) are not the operator's.
    m_attenuationTurn.stop();
    if (m_shownRole == ElementRole::Decoder && focused)
        Q_EMIT attenuationChosen(position);
}

void PanelPresenter::attenuationTurnSettled() {
    if (m_shownRole == ElementRole::Decoder)
        Q_EMIT attenuationChosen(m_turnedPosition);
}

void PanelPresenter::flushAttenuationTurn() {
    if (!m_attenuationTurn.isActive())
        return;
    m_attenuationTurn.stop();
    attenuationTurnSettled();
}

void PanelPresenter::editsConfirmed(const QList<ElementKey> &unconfirmed) {
    m_edits.setConfirmed(m_fields.shownElement(), unconfirmed);
}

void PanelPresenter::discardPendingEdits() {
    editsLoaded();
    Q_EMIT editsDiscarded();
}

QString PanelPresenter::valueText(ElementKey field, const ConfigurationWrite &values) const {
    const ElementKeySchema &row = schemaOf(field);
    const PanelMember &member = row.write.member;
    if (member.text) {
        const QString typed = (values.*member.text).trimmed();
        //: An empty text field, in the list of changed fields.
        return typed.isEmpty() ? tr("(empty)") : typed;
    }
    if (member.flag)
        //: The SFN option's check box, in the list of changed fields.
        return values.*member.flag ? tr("checked") : tr("unchecked");
    if (!member.number)
        return {}; // not editable
    const int value = values.*member.number;
    if (row.positionText)
        return row.positionText(value, QLocale());
    const QStringList entries = m_fields.fieldEntries(field);
    //: A list with nothing selected, in the list of changed fields.
    return value >= 0 && value < entries.size() ? entries.at(value) : tr("(none)");
}

QString PanelPresenter::changedTip(ElementKey field) const {
    if (!m_edits.loaded())
        return {};
    //: Tooltip of a changed field's caption; %1: the value the element was loaded with.
    return tr("Changed; was %1").arg(valueText(field, *m_edits.loaded()));
}

QStringList PanelPresenter::pendingEditSummary() const {
    const ConfigurationWrite shown = m_fields.shownElement();
    if (!m_edits.loaded() || !shown.hasSelection())
        return {};
    const ConfigurationWrite &loaded = *m_edits.loaded();
    QStringList summary{loaded.name.trimmed(), loaded.mac};
    for (const ElementKey field : m_edits.changed(shown))
        //: A changed field in the Save question's details: %1 its caption, %2 the value as loaded,
        //: %3 the value to be sent.
        summary << tr("%1: %2 → %3")
                       .arg(m_fields.fieldCaption(field), valueText(field, loaded), valueText(field, shown));
    return summary;
}

std::optional<ElementKey> PanelPresenter::refusedFocus(const QList<ElementKey> &refused,
                                                       const std::function<bool(ElementKey)> &reachable) {
    // A field the layout hides cannot take the focus: the first one the operator can reach does.
    for (const ElementKey field : refused)
        if (reachable(field))
            return field;
    return std::nullopt;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/presenters/unsaved_edits_guard.h"
#include "model/configuration_write.h"
#include "model/pending_edits.h"
#include "store/element_schema.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

namespace ondalink {

class ElementDatabase;
class Notifier;

// The panel's fields as the presenter reads them; the properties panel implements it.
class PanelFields {
public:
    virtual ~PanelFields() = default;
    // The working copy as the controls hold it now.
    virtual ConfigurationWrite shownElement() const = 0;
    // The field's accessible name: what the Save question calls it.
    virtual QString fieldCaption(ElementKey field) const = 0;
    // The entries of a list field; none for any other field.
    virtual QStringList fieldEntries(ElementKey field) const = 0;
};

// What the properties panel decides: what loading an element does to the database and the panel, the
// controls the shown type uses, when a move of scrlAtten is the operator's and is sent, the fields the
// operator changed and how the Save question lists them, and the field a refused Save focuses.
class PanelPresenter : public QObject, public EditedElement {
    Q_OBJECT
public:
    // How long a wheel turn over scrlAtten rests before its position is sent: one datagram per turn.
    static constexpr int kAttenuationTurnMs = 300;

    PanelPresenter(ElementDatabase &database, Notifier &notifier, PanelFields &fields,
                   int attenuationTurnMs = kAttenuationTurnMs, QObject *parent = nullptr);

    enum class Load {
        Ignored, // a node without text: nothing to load
        Missing, // the section is gone (or has no keys): the panel is cleared
        Refused, // implausible: the operator is told and the previous element stays
        Loaded,
    };
    // Loading a tree node (its key in colon form and its text). A decoder's levels beyond the
    // controls on one side are corrected in the database first; the loaded section is element().
    Load load(const QString &nodeKey, const QString &nodeText);
    const std::optional<StoredElement> &element() const { return m_element; }

    void setSelected(const QString &mac) { m_selectedMac = mac; }
    const QString &selectedMac() const override { return m_selectedMac; }
    // What the type label reads; nullopt while it shows "-". False when it reads that already.
    bool setShownRole(std::optional<ElementRole> role);
    std::optional<ElementRole> shownRole() const { return m_shownRole; }

    // Which controls the shown type uses: the encoder's for an ENCODER, the decoder's otherwise.
    bool encoderLayout() const { return m_shownRole == ElementRole::Encoder; }
    // The remote address belongs to an encoder that sends unicast (or has no TX type yet).
    bool remoteAddressShown(int tx) const { return !encoderLayout() || tx <= 0; }
    // The silence detector's level and time count only while it detects by itself.
    static bool silenceLevelsUsed(int mode) { return mode <= 0; }

    // scrlAtten took a value. A wheel turn is the operator's move although it brings no focus; its
    // notches settle first. Any other change is the operator's only while the bar has the focus.
    void attenuationChanged(int position, bool wheelTurning, bool focused);
    // Sends a turn that has not rested yet: it belongs to the element it was made on.
    void flushAttenuationTurn();
    bool attenuationTurnPending() const { return m_attenuationTurn.isActive(); }

    // Loading and a report's values are the element's own: what the panel shows is the base.
    void editsLoaded() { m_edits.setLoaded(m_fields.shownElement()); }
    void clearEdits() { m_edits.clear(); }
    // A report set the panel; the fields it did not confirm stay changed.
    void editsConfirmed(const QList<ElementKey> &unconfirmed);
    QList<ElementKey> changedFields() const { return m_edits.changed(m_fields.shownElement()); }
    // A changed field's caption tooltip: the value it was loaded with.
    QString changedTip(ElementKey field) const;

    bool hasPendingEdits() const override { return !changedFields().isEmpty(); }
    // The element's name and MAC as loaded, then "Caption: old → new" for each changed field.
    QStringList pendingEditSummary() const override;
    void discardPendingEdits() override;

    // The field a refused Save focuses: the first the refusal names that the operator can reach.
    static std::optional<ElementKey> refusedFocus(const QList<ElementKey> &refused,
                                                  const std::function<bool(ElementKey)> &reachable);

Q_SIGNALS:
    // The operator moved scrlAtten on a DECODER panel: send and store the position.
    void attenuationChosen(int position);
    // The edits were let go: the marks are to be shown again.
    void editsDiscarded();

private:
    void attenuationTurnSettled();
    QString valueText(ElementKey field, const ConfigurationWrite &values) const;

    ElementDatabase &m_database;
    Notifier &m_notifier;
    PanelFields &m_fields;
    std::optional<StoredElement> m_element;
    QString m_selectedMac;
    std::optional<ElementRole> m_shownRole;
    // Runs once a wheel turn has rested; active while the turned position is unsent.
    QTimer m_attenuationTurn;
    int m_turnedPosition = 0;
    PendingEdits m_edits;
};

} // namespace ondalink

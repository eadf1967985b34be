// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/element_link.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace ondalink {

class Notifier;

// The shown element as far as the question about its unsaved edits goes.
class EditedElement {
public:
    virtual ~EditedElement() = default;
    // The shown element (colon-form MAC), empty when none is.
    virtual const QString &selectedMac() const = 0;
    virtual bool hasPendingEdits() const = 0;
    // What the question names: the element's name and MAC as loaded, then its changed fields.
    virtual QStringList pendingEditSummary() const = 0;
    // The operator let the edits go: what is shown is no longer pending.
    virtual void discardPendingEdits() = 0;
};

// Asks Save / Discard / Cancel before anything replaces the panel while it holds unsaved edits
// (another selection, a reload of the list, a discovery, the window's close). A Save whose write
// leaves goes on only once the element has confirmed it: the confirmation is refused for an element
// no longer shown, so the panel has to keep it until then.
class UnsavedEditsGuard : public QObject {
    Q_OBJECT
public:
    using Save = std::function<ElementLink::SaveOutcome()>;
    UnsavedEditsGuard(EditedElement &element, ElementLink &link, Notifier &notifier, Save save,
                      QObject *parent = nullptr);

    // True when the caller may go on now: nothing is pending, or the operator discarded it. False
    // after Cancel, or a Save; proceed then runs later, once, if the write is confirmed with nothing
    // left pending. Each call forgets the proceed of an earlier one.
    bool settle(std::function<void()> proceed);

private:
    void reportHandled();

    EditedElement &m_element;
    Notifier &m_notifier;
    Save m_save;
    std::function<void()> m_afterSave; // waits for the confirmation of m_savedMac's write
    QString m_savedMac;
    bool m_confirmed = false;
};

} // namespace ondalink

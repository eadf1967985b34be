// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/unsaved_edits_guard.h"

#include "model/notifier.h"

#include <QTimer>

namespace ondalink {

UnsavedEditsGuard::UnsavedEditsGuard(EditedElement &element, ElementLink &link, Notifier &notifier, Save save,
                                     QObject *parent)
    : QObject(parent), m_element(element), m_notifier(notifier), m_save(std::move(save)) {
    connect(&link, &ElementLink::elementConfirmed, this,
            [this] { m_confirmed = m_confirmed || (m_afterSave && m_element.selectedMac() == m_savedMac); });
    connect(&link, &ElementLink::configurationTimedOut, this, [this] { m_afterSave = {}; });
    // The list is shown again once a report's messages are over: the saved element is in it then.
    connect(&link, &ElementLink::reloadTreeRequested, this, [this](bool afterReport) {
        if (afterReport && m_confirmed)
            reportHandled();
    });
}

bool UnsavedEditsGuard::settle(std::function<void()> proceed) {
    m_afterSave = {};
    m_confirmed = false;
    if (!m_element.hasPendingEdits())
        return true;
    const QStringList summary = m_element.pendingEditSummary();
    switch (m_notifier.show({MessageId::UnsavedEdits, summary.mid(0, 2)})) {
    case Answer::Discard:
        // Let go: whatever replaces the panel next (one command may reload more than once) goes on.
        m_element.discardPendingEdits();
        return true;
    case Answer::Save:
        if (m_save() == ElementLink::SaveOutcome::Sent) {
            m_afterSave = std::move(proceed);
            m_savedMac = m_element.selectedMac();
        }
        return false;
    default:
        return false;
    }
}

void UnsavedEditsGuard::reportHandled() {
    m_confirmed = false;
    std::function<void()> proceed = std::exchange(m_afterSave, {});
    // A field the element did not take is still pending: the operator decides again.
    if (!proceed || m_element.hasPendingEdits())
        return;
    // Out of the report's handling first: what follows may replace the list or open a window.
    QTimer::singleShot(0, this, std::move(proceed));
}

} // namespace ondalink

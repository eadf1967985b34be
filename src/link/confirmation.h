// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/element_report.h"
#include "model/configuration_write.h"
#include "model/messages.h"
#include "store/element_schema.h"

#include <QStringList>

#include <optional>

namespace ondalink {

// What a confirming report puts into the panel: the element's reported state, brought into the
// controls' ranges. Decoder settings the report did not carry are left as the panel holds them.
struct ConfirmedState {
    quint8 role = 0; // raw: the type label reads its role text
    qint32 sn = 0;
    double ver = 0.0;
    int buf = 0;
    std::optional<int> att;
    std::optional<int> sdm;
    std::optional<int> sdl;
    std::optional<int> sdt;
    // The fields whose reported value differs from the panel's: not confirmed.
    QList<ElementKey> unconfirmed;

    friend bool operator==(const ConfirmedState &, const ConfirmedState &) = default;
};

// How a report that arrived outside a discovery answers the configuration write of the selected
// element, before anything is stored or shown.
struct Confirmation {
    enum class Refusal {
        None,
        OtherElement,   // not from the selected element (or none is selected)
        CorruptSection, // the stored section has too many keys to be ours
    };
    Refusal refusal = Refusal::None;
    KeyValues keys;               // stored in one replacement of the file, in this order
    QList<ElementKey> mismatches; // the fields that differ from the panel, in key order
    bool failed = false;          // a mismatch or an unknown role: no success message
    ConfirmedState state;
};

// Compares a report (its MAC found) with what the panel shows. storedKeyCount is the key count of
// the element's section in the database (0 when it is missing).
Confirmation confirm(const ElementReport &report, const ConfigurationWrite &shown, int storedKeyCount);

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/element_schema.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace ondalink {

// One setting that differs between two configurations of an element, as each holds it.
struct FieldChange {
    ElementKey key = ElementKey::Name;
    QString before;
    QString after;

    friend bool operator==(const FieldChange &, const FieldChange &) = default;
};

// Whether two stored texts of a key are the same setting: addresses as their four numbers
// ("010.000.000.001" is 10.0.0.1), numbers as numbers, a name without its padding and letter case
// (a confirmation takes those as equal too). Texts that are neither compare as they are.
bool sameSetting(ElementKey key, QStringView left, QStringView right);

// The settings that differ from before to after, in key order. Only the keys after holds are
// compared (an encoder's report leaves out the decoder's settings that its section may still hold);
// one before lacks reads as its load default there. The serial and the version are the unit's, not
// its settings, and bound is nobody's.
QList<FieldChange> configurationChanges(const KeyValues &before, const KeyValues &after);

// Every key of ours a section holds, as stored, in key order.
KeyValues sectionSettings(const StoredElement &element);

// What the operator reads for the field: "Silence level".
QString settingLabel(ElementKey key);
// "Name: ENC 1 → ENC 9; Audio input: 0 → 1" (names without their padding).
QString describeChanges(const QList<FieldChange> &changes);

} // namespace ondalink

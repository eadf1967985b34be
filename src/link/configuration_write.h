// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/configuration_write.h"
#include "model/messages.h"
#include "model/pending_edits.h"

#include <QList>

#include <QByteArray>
#include <QString>

#include <optional>

namespace ondalink {

// Why Save refuses the panel, and the fields that fail the check, in panel order (none when the
// reason is no field's). nullopt when the panel may be sent.
struct SaveRefusal {
    PhraseId reason = PhraseId::NoSelection;
    QList<ElementKey> fields;
};
std::optional<SaveRefusal> saveRefusal(const ConfigurationWrite &write, bool databaseExists);

// The first line of the message with which Save refuses the panel, or nullopt when it may be sent.
// The checks run in a fixed order and the first failure alone is reported.
std::optional<QString> saveCheckFailure(const ConfigurationWrite &write, bool databaseExists);

// The datagram: 35 bytes, or 40 for a decoder. nullopt when an address is not valid or a field has
// no value its byte can carry (no selection, a value outside the control's range): such a datagram
// is never sent.
std::optional<QByteArray> packConfigurationWrite(const ConfigurationWrite &write);
static_assert(configurationWriteLength(ElementRole::Encoder) == 35 &&
                  configurationWriteLength(ElementRole::Decoder) == 40,
              "a write is 35 bytes, 40 for a decoder, every byte one field's");

} // namespace ondalink

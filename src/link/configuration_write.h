// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace ondalink {

class ElementDatabase;
class ElementLink;
class PanelView;

// The first line of the message with which Save refuses the panel, or nullopt when it may be sent.
// The checks run in a fixed order and the first failure alone is reported.
std::optional<QString> saveCheckFailure(const PanelView &panel, const ElementDatabase &database);

// Toolbar "Save changes": the checks, the confirmation, then SendConfiguration.
void SaveChanges(ElementLink &link);

// Packs the panel, starts timerRemoteSent and sends to the stored address of the selected element
// on the element port. False, after telling the operator, when nothing could be sent.
bool SendConfiguration(ElementLink &link);

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ipv4.h"

#include <QList>
#include <QString>

namespace ondalink {

struct ElementListing;

// An element as a sentence names it: its stored name without the padding, or its colon-form MAC when
// the name is blank.
QString elementLabel(const ElementListing &element);
// The listed element of that colon-form MAC; nullptr when it is not listed.
const ElementListing *listedElement(const QList<ElementListing> &listing, const QString &mac);
// The listed elements stored with that address, in file order.
QList<const ElementListing *> elementsAt(const QList<ElementListing> &listing, Ipv4Address address);

} // namespace ondalink

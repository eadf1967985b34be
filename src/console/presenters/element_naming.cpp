// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/presenters/element_naming.h"

#include "model/mac_text.h"
#include "store/element_database.h"

namespace ondalink {

QString elementLabel(const ElementListing &element) {
    const QString name = element.name.trimmed();
    return name.isEmpty() ? elementKeyToMac(element.key) : name;
}

const ElementListing *listedElement(const QList<ElementListing> &listing, const QString &mac) {
    const QString key = macToElementKey(mac);
    if (key.isEmpty())
        return nullptr;
    for (const ElementListing &element : listing) {
        if (element.key == key)
            return &element;
    }
    return nullptr;
}

QList<const ElementListing *> elementsAt(const QList<ElementListing> &listing, Ipv4Address address) {
    QList<const ElementListing *> found;
    for (const ElementListing &element : listing) {
        if (parseDottedAddress(element.ip) == address)
            found.append(&element);
    }
    return found;
}

} // namespace ondalink

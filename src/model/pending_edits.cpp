// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/pending_edits.h"

#include "model/encodings.h"
#include "model/ipv4.h"

namespace ondalink {

namespace {

// The same address when both texts stand for one (" 10.1.2.3" and "010.001.002.003" send the same
// four bytes), otherwise the same text.
bool sameAddress(const QString &a, const QString &b) {
    const std::optional<Ipv4Address> first = parseDottedAddress(a);
    const std::optional<Ipv4Address> second = parseDottedAddress(b);
    return first && second ? *first == *second : a == b;
}

} // namespace

void PendingEdits::setConfirmed(const ConfigurationWrite &shown, const QList<ElementKey> &unconfirmed) {
    const std::optional<ConfigurationWrite> before = m_loaded;
    m_loaded = shown;
    if (!before || before->mac != shown.mac)
        return;
    const ConfigurationWrite &was = *before;
    ConfigurationWrite &now = *m_loaded;
    for (const ElementKey field : unconfirmed) {
        if (!isConfirmedByReport(field)) // a decoder setting goes into the panel as reported
            continue;
        const PanelMember &m = schemaOf(field).write.member;
        if (m.text)
            now.*m.text = was.*m.text;
        else if (m.number)
            now.*m.number = was.*m.number;
        else
            now.*m.flag = was.*m.flag;
    }
}

QList<ElementKey> PendingEdits::changed(const ConfigurationWrite &shown) const {
    QList<ElementKey> fields;
    if (!m_loaded || m_loaded->mac != shown.mac || !shown.hasSelection())
        return fields;
    for (const ElementKey field : carried(shown.role))
        if (!same(field, *m_loaded, shown))
            fields.append(field);
    return fields;
}

QList<ElementKey> PendingEdits::carried(ElementRole role) {
    QList<ElementKey> fields;
    for (const ElementKey key : kEditableKeys)
        if (isWrittenFor(key, role))
            fields.append(key);
    return fields;
}

bool PendingEdits::same(ElementKey field, const ConfigurationWrite &a, const ConfigurationWrite &b) {
    const ElementKeySchema &k = schemaOf(field);
    const PanelMember &m = k.write.member;
    if (m.text) // the bytes the element would be sent
        return wireFormOf(k) == WireForm::Name ? padName(a.*m.text) == padName(b.*m.text)
                                               : sameAddress(a.*m.text, b.*m.text);
    if (m.number)
        return a.*m.number == b.*m.number;
    if (m.flag)
        return a.*m.flag == b.*m.flag;
    return true; // no field a write carries
}

} // namespace ondalink

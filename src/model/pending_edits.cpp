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
    for (const ElementKey field : unconfirmed) {
        switch (field) {
        case ElementKey::Name:
            m_loaded->name = before->name;
            break;
        case ElementKey::Ip:
            m_loaded->ip = before->ip;
            break;
        case ElementKey::Mask:
            m_loaded->mask = before->mask;
            break;
        case ElementKey::Gw:
            m_loaded->gw = before->gw;
            break;
        case ElementKey::Remote:
            m_loaded->remote = before->remote;
            break;
        case ElementKey::Input:
            m_loaded->input = before->input;
            break;
        case ElementKey::Type:
            m_loaded->type = before->type;
            break;
        case ElementKey::Tx:
            m_loaded->tx = before->tx;
            break;
        default: // a report's decoder settings go into the panel as they are: never unconfirmed
            break;
        }
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
    switch (field) {
    case ElementKey::Name:
        return padName(a.name) == padName(b.name); // the bytes the element would be sent
    case ElementKey::Ip:
        return sameAddress(a.ip, b.ip);
    case ElementKey::Mask:
        return sameAddress(a.mask, b.mask);
    case ElementKey::Gw:
        return sameAddress(a.gw, b.gw);
    case ElementKey::Remote:
        return sameAddress(a.remote, b.remote);
    case ElementKey::Input:
        return a.input == b.input;
    case ElementKey::Type:
        return a.type == b.type;
    case ElementKey::Tx:
        return a.tx == b.tx;
    case ElementKey::Sfn:
        return a.sfn == b.sfn;
    case ElementKey::Buf:
        return a.buf == b.buf;
    case ElementKey::Sdm:
        return a.sdm == b.sdm;
    case ElementKey::Sdl:
        return a.sdl == b.sdl;
    case ElementKey::Sdt:
        return a.sdt == b.sdt;
    case ElementKey::Role: // no field a write carries
    case ElementKey::Sn:
    case ElementKey::Ver:
    case ElementKey::Att:
    case ElementKey::Bound:
        break;
    }
    return true;
}

} // namespace ondalink

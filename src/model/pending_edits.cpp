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

void PendingEdits::setConfirmed(const ConfigurationWrite &shown, const QList<EditableField> &unconfirmed) {
    const std::optional<ConfigurationWrite> before = m_loaded;
    m_loaded = shown;
    if (!before || before->mac != shown.mac)
        return;
    for (const EditableField field : unconfirmed) {
        switch (field) {
        case EditableField::Name:
            m_loaded->name = before->name;
            break;
        case EditableField::Ip:
            m_loaded->ip = before->ip;
            break;
        case EditableField::Mask:
            m_loaded->mask = before->mask;
            break;
        case EditableField::Gw:
            m_loaded->gw = before->gw;
            break;
        case EditableField::Remote:
            m_loaded->remote = before->remote;
            break;
        case EditableField::Input:
            m_loaded->input = before->input;
            break;
        case EditableField::Type:
            m_loaded->type = before->type;
            break;
        case EditableField::Tx:
            m_loaded->tx = before->tx;
            break;
        default: // a report's decoder settings go into the panel as they are: never unconfirmed
            break;
        }
    }
}

QList<EditableField> PendingEdits::changed(const ConfigurationWrite &shown) const {
    QList<EditableField> fields;
    if (!m_loaded || m_loaded->mac != shown.mac || !shown.hasSelection())
        return fields;
    for (const EditableField field : carried(shown.role))
        if (!same(field, *m_loaded, shown))
            fields.append(field);
    return fields;
}

QList<EditableField> PendingEdits::carried(ElementRole role) {
    using F = EditableField;
    QList<EditableField> fields{F::Name, F::Ip, F::Mask, F::Gw, F::Remote, F::Input, F::Type, F::Tx};
    if (role == ElementRole::Decoder)
        fields.append({F::Sfn, F::Buf, F::Sdm, F::Sdl, F::Sdt});
    return fields;
}

bool PendingEdits::same(EditableField field, const ConfigurationWrite &a, const ConfigurationWrite &b) {
    switch (field) {
    case EditableField::Name:
        return padName(a.name) == padName(b.name); // the bytes the element would be sent
    case EditableField::Ip:
        return sameAddress(a.ip, b.ip);
    case EditableField::Mask:
        return sameAddress(a.mask, b.mask);
    case EditableField::Gw:
        return sameAddress(a.gw, b.gw);
    case EditableField::Remote:
        return sameAddress(a.remote, b.remote);
    case EditableField::Input:
        return a.input == b.input;
    case EditableField::Type:
        return a.type == b.type;
    case EditableField::Tx:
        return a.tx == b.tx;
    case EditableField::Sfn:
        return a.sfn == b.sfn;
    case EditableField::Buf:
        return a.buf == b.buf;
    case EditableField::Sdm:
        return a.sdm == b.sdm;
    case EditableField::Sdl:
        return a.sdl == b.sdl;
    case EditableField::Sdt:
        return a.sdt == b.sdt;
    }
    return true;
}

std::optional<EditableField> PendingEdits::fieldNamed(PhraseId caption) {
    switch (caption) {
    case PhraseId::ElementName:
        return EditableField::Name;
    case PhraseId::ElementIp:
        return EditableField::Ip;
    case PhraseId::ElementMask:
        return EditableField::Mask;
    case PhraseId::ElementGw:
        return EditableField::Gw;
    case PhraseId::RemoteIp:
        return EditableField::Remote;
    case PhraseId::AudioInput:
        return EditableField::Input;
    case PhraseId::AudioType:
        return EditableField::Type;
    case PhraseId::AudioTx:
    case PhraseId::TxType:
        return EditableField::Tx;
    default:
        return std::nullopt;
    }
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/confirmation.h"

#include "model/encodings.h"
#include "model/ipv4.h"

using namespace Qt::StringLiterals;

namespace ondalink {

Confirmation confirm(const ElementReport &report, const ConfigurationWrite &shown, int storedKeyCount) {
    const ElementRecord &r = report.record;
    Confirmation out;
    if (!shown.hasSelection() || shown.mac != r.mac) {
        out.refusal = Confirmation::Refusal::OtherElement;
        return out;
    }
    if (!isPlausibleKeyCount(storedKeyCount)) {
        out.refusal = Confirmation::Refusal::CorruptSection;
        return out;
    }

    // Each field that equals the panel is stored from the panel; one that differs is named and kept.
    const auto compare = [&out](bool equal, ElementKey key, const QString &stored) {
        if (equal)
            out.keys.append({keyName(key), stored});
        else
            out.mismatches.append(key);
    };
    const auto index = [&compare](quint8 reported, int selected, ElementKey key) {
        compare(reported == selected, key, QString::number(selected));
    };
    // An address is the four numbers it stands for: " 10.1.2.3" and "010.001.002.003" were sent as
    // the element's 10.1.2.3, and are stored in that plain form.
    const auto address = [&compare](const QString &reported, const QString &selected, ElementKey key) {
        const std::optional<Ipv4Address> sent = parseDottedAddress(selected);
        const std::optional<Ipv4Address> held = parseDottedAddress(reported);
        if (sent && held)
            compare(*sent == *held, key, sent->toString());
        else
            compare(reported == selected, key, selected);
    };
    for (const ElementKeySchema &k : schema_rows::kSchema) {
        if (!isConfirmedByReport(k.key))
            continue;
        const RecordMember &reported = k.member;
        const PanelMember &selected = k.write.member;
        switch (wireFormOf(k)) {
        case WireForm::Name:
            compare(sameName(r.*reported.text, shown.*selected.text), k.key, padName(shown.*selected.text));
            break;
        case WireForm::Address:
            address(r.*reported.text, shown.*selected.text, k.key);
            break;
        case WireForm::Byte:
            index(r.*reported.byte, panelNumber(selected, shown), k.key);
            break;
        case WireForm::Serial: // no write carries them
        case WireForm::Version:
            break;
        }
    }
    out.failed = !out.mismatches.isEmpty() || r.kind() == ElementRole::Unknown;

    ConfirmedState &state = out.state;
    state.role = r.role;
    state.sn = r.sn;
    state.ver = r.ver;
    state.unconfirmed = out.mismatches;
    out.keys.append({keyName(ElementKey::Role), QString::number(r.role)});
    out.keys.append({keyName(ElementKey::Sn), QString::number(r.sn)});
    out.keys.append({keyName(ElementKey::Ver), shortestDecimal(r.ver)});

    // The decoder settings are brought into the controls' ranges; those the report did not carry
    // are left as the panel and the database hold them.
    const auto stored = [&](ElementKey key, quint8 value) {
        const int clamped = clampedToRange(key, value);
        out.keys.append({keyName(key), QString::number(clamped)});
        return clamped;
    };
    const auto carried = [&](OptionalField field, ElementKey key, quint8 value) {
        return report.carries(field) ? std::optional<int>(stored(key, value)) : std::nullopt;
    };
    state.att = carried(OptionalField::Att, ElementKey::Att, r.att);
    state.buf = stored(ElementKey::Buf, r.buf);
    // Every mode a report carries is one the list has.
    state.sdm = carried(OptionalField::Sdm, ElementKey::Sdm, r.sdm);
    state.sdl = carried(OptionalField::Sdl, ElementKey::Sdl, r.sdl);
    state.sdt = carried(OptionalField::Sdt, ElementKey::Sdt, r.sdt);
    return out;
}

} // namespace ondalink

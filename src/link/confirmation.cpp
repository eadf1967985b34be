// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/confirmation.h"

#include "model/encodings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// A section with this many keys was not written by us; nothing is stored into it.
constexpr int kCorruptSectionKeys = 18;

} // namespace

Confirmation confirm(const ElementReport &report, const ConfigurationWrite &shown, int storedKeyCount) {
    const ElementRecord &r = report.record;
    Confirmation out;
    if (!shown.hasSelection() || shown.mac != r.mac) {
        out.refusal = Confirmation::Refusal::OtherElement;
        return out;
    }
    if (storedKeyCount >= kCorruptSectionKeys) {
        out.refusal = Confirmation::Refusal::CorruptSection;
        return out;
    }

    // Each field that equals the panel is stored from the panel; one that differs is named and kept.
    const auto compare = [&out](bool equal, const QString &key, const QString &stored,
                                const QString &caption) {
        if (equal)
            out.keys.append({key, stored});
        else
            out.mismatches.append(caption);
    };
    const auto index = [&compare](quint8 reported, int selected, const QString &key, const QString &caption) {
        compare(reported == selected, key, QString::number(selected), caption);
    };
    compare(sameName(r.name, shown.name), u"name"_s, PadName(shown.name), u"Element Name"_s);
    compare(r.ip == shown.ip, u"ip"_s, shown.ip, u"Element IP"_s);
    compare(r.mask == shown.mask, u"mask"_s, shown.mask, u"Element Mask"_s);
    compare(r.gw == shown.gw, u"gw"_s, shown.gw, u"Element GW"_s);
    compare(r.remote == shown.remote, u"remote"_s, shown.remote, u"Remote IP"_s);
    index(r.input, shown.input, u"input"_s, u"Audio Input"_s);
    index(r.type, shown.type, u"type"_s, u"Audio Type"_s);
    index(r.tx, shown.tx, u"tx"_s, u"Audio TX"_s);
    out.failed = !out.mismatches.isEmpty() || r.kind() == ElementRole::Unknown;

    ConfirmedState &state = out.state;
    state.role = r.role;
    state.sn = r.sn;
    state.ver = r.ver;
    out.keys.append({u"role"_s, QString::number(r.role)});
    out.keys.append({u"sn"_s, QString::number(r.sn)});
    out.keys.append({u"ver"_s, shortestDecimal(r.ver)});

    // The decoder settings are brought into the controls' ranges; those the report did not carry
    // are left as the panel and the database hold them.
    const auto carried = [&](OptionalField field, quint8 value, int min, int max, const QString &key) {
        if (!report.carries(field))
            return std::optional<int>();
        const int clamped = std::clamp<int>(value, min, max);
        out.keys.append({key, QString::number(clamped)});
        return std::optional<int>(clamped);
    };
    state.att = carried(OptionalField::Att, r.att, kAttenMin, kAttenMax, u"att"_s);
    state.buf = std::clamp<int>(r.buf, kBufferMin, kBufferMax);
    out.keys.append({u"buf"_s, QString::number(state.buf)});
    // Every mode a report carries is one the list has.
    state.sdm = carried(OptionalField::Sdm, r.sdm, 0, 2, u"sdm"_s);
    state.sdl = carried(OptionalField::Sdl, r.sdl, kSilDetLevelMin, kSilDetLevelMax, u"sdl"_s);
    state.sdt = carried(OptionalField::Sdt, r.sdt, kSilDetTimeMin, kSilDetTimeMax, u"sdt"_s);
    return out;
}

} // namespace ondalink

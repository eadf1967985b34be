// SPDX-License-Identifier: GPL-3.0-or-later
// Both directions of the wire against the simulator's own codec: a configuration write packed from
// any panel is either refused or read back field for field by the element; a report the element
// encodes (cut or padded to any length) decodes to its fields, or to the first failing check.
#include "element_wire.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "link/configuration_write.h"
#include "link/datagrams.h"
#include "link/element_report.h"
#include "model/encodings.h"
#include "store/element_schema.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace ondalink;

namespace {

quint32 hostOrder(const std::array<quint8, 4> &o) {
    return (quint32{o[0]} << 24) | (quint32{o[1]} << 16) | (quint32{o[2]} << 8) | o[3];
}

QString addressText(FuzzedDataProvider &in) {
    if (in.ConsumeBool())
        return QString::fromLatin1(in.ConsumeRandomLengthString(20));
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts.append(QString::number(in.ConsumeIntegralInRange(0, 300))
                         .rightJustified(in.ConsumeIntegralInRange(1, 4), u'0'));
    return parts.join(u'.');
}

void configurationWrite(FuzzedDataProvider &in) {
    ConfigurationWrite panel;
    const ElementRole roles[] = {ElementRole::Decoder, ElementRole::Encoder, ElementRole::Unknown};
    panel.role = roles[in.ConsumeIntegralInRange(0, 2)];
    panel.ip = addressText(in);
    panel.mask = addressText(in);
    panel.gw = addressText(in);
    panel.remote = addressText(in);
    panel.input = in.ConsumeIntegralInRange(-1, 2);
    panel.type = in.ConsumeIntegralInRange(-1, 2);
    panel.tx = in.ConsumeIntegralInRange(-1, 2);
    panel.sfn = in.ConsumeBool();
    panel.buf = in.ConsumeIntegralInRange(-1, 9);
    panel.sdm = in.ConsumeIntegralInRange(-1, 3);
    panel.sdl = in.ConsumeIntegralInRange(0, 155);
    panel.sdt = in.ConsumeIntegralInRange(0, 221);
    panel.name = QString::fromUtf8(in.ConsumeRandomLengthString(24));

    const bool decoder = panel.role == ElementRole::Decoder;
    const auto in01 = [](int v) { return v == 0 || v == 1; };
    const bool addressesOk = isValidAddress(panel.ip) && isValidAddress(panel.mask) &&
                             isValidAddress(panel.gw) && isValidAddress(panel.remote);
    const bool decoderOk =
        !decoder || (panel.buf >= kBufferMin && panel.buf <= kBufferMax && panel.sdm >= 0 && panel.sdm <= 2 &&
                     panel.sdl >= kSilDetLevelMin && panel.sdl <= kSilDetLevelMax &&
                     panel.sdt >= kSilDetTimeMin && panel.sdt <= kSilDetTimeMax);
    const bool sendable = addressesOk && in01(panel.input) && in01(panel.type) && in01(panel.tx) && decoderOk;

    const auto packed = packConfigurationWrite(panel);
    FUZZ_CHECK(packed.has_value() == sendable);
    if (!packed)
        return;
    FUZZ_CHECK(packed->size() == (decoder ? sim::kDecoderWriteLength : sim::kEncoderWriteLength));
    const sim::WriteResult got = sim::applyConfigWrite({}, *packed, decoder ? sim::kDecoder : sim::kEncoder);
    FUZZ_CHECK(got.accepted);
    const sim::ElementSettings &s = got.settings;
    FUZZ_CHECK(
        s.ip == hostOrder(*addressToBytes(panel.ip)) && s.mask == hostOrder(*addressToBytes(panel.mask)) &&
        s.gw == hostOrder(*addressToBytes(panel.gw)) && s.remote == hostOrder(*addressToBytes(panel.remote)));
    FUZZ_CHECK(s.input == panel.input && s.type == panel.type && s.tx == panel.tx);
    FUZZ_CHECK(s.name == nameToBytes(panel.name));
    if (decoder)
        FUZZ_CHECK(s.sfn == (panel.sfn ? 1 : 0) && s.buf == panel.buf && s.sdm == panel.sdm &&
                   s.sdl == panel.sdl && s.sdt == panel.sdt);
}

void report(FuzzedDataProvider &in) {
    sim::ElementIdentity id;
    const quint8 roles[] = {1, 2, 0, 3, 255};
    id.role = roles[in.ConsumeIntegralInRange(0, 4)];
    id.serial = in.ConsumeIntegral<quint32>();
    id.versionHigh = in.ConsumeIntegral<quint8>();
    id.versionLow = in.ConsumeIntegral<quint8>();
    sim::ElementSettings s;
    s.ip = in.ConsumeIntegral<quint32>();
    s.mask = in.ConsumeIntegral<quint32>();
    s.gw = in.ConsumeIntegral<quint32>();
    s.remote = in.ConsumeIntegral<quint32>();
    // Mostly valid coded fields, so that the checks after the first are reached too.
    const auto coded = [&] {
        return in.ConsumeBool() ? in.ConsumeIntegral<quint8>() : quint8(in.ConsumeBool());
    };
    s.input = coded();
    s.type = coded();
    s.tx = coded();
    s.name = QByteArray::fromStdString(in.ConsumeBytesAsString(16));
    for (quint8 *b : {&s.sfn, &s.buf, &s.att, &s.sdm, &s.sdl, &s.sdt})
        *b = in.ConsumeIntegral<quint8>();
    sim::Faults faults;
    if (in.ConsumeBool())
        faults.reportLength = in.ConsumeIntegralInRange(0, 60);
    const QByteArray bytes = sim::applyFaults(sim::encodeReport(id, s), faults);

    ElementReport r;
    const ReportCheck check = decodeReport(bytes, r);
    if (bytes.size() < kReportCommonLength) {
        FUZZ_CHECK(check == ReportCheck::TooShort);
        return;
    }
    const ElementRecord &e = r.record;
    const QByteArray name = bytes.sliced(19, 16);
    FUZZ_CHECK(e.ip == sim::dotted(s.ip) && e.mask == sim::dotted(s.mask) && e.gw == sim::dotted(s.gw) &&
               e.remote == sim::dotted(s.remote));
    FUZZ_CHECK(e.input == s.input && e.type == s.type && e.tx == s.tx && e.role == id.role);
    FUZZ_CHECK(e.name == reportedName(name) && e.name.size() == kNameLength);
    const bool serialOk = id.serial >= 1 && id.serial <= 0x7FFFFFFFu;
    FUZZ_CHECK(e.sn == (serialOk ? qint32(id.serial) : 0));

    const bool decoder = roleFromValue(id.role) == ElementRole::Decoder;
    const int versionAt = decoder ? 41 : 40;
    const bool versionThere = bytes.size() >= versionAt + 2;
    const auto version = versionFromBytes(id.versionHigh, id.versionLow);
    ReportCheck expected = ReportCheck::Ok;
    if (s.input > 1)
        expected = ReportCheck::AudioInput;
    else if (s.type > 1)
        expected = ReportCheck::AudioType;
    else if (s.tx > 1)
        expected = ReportCheck::TxType;
    else if (id.role > 2)
        expected = ReportCheck::ElementType;
    else if (!serialOk)
        expected = ReportCheck::SerialNumber;
    else if (versionThere && !version)
        expected = ReportCheck::Version;
    FUZZ_CHECK(check == expected);
    if (check != ReportCheck::Ok)
        return;

    FUZZ_CHECK(e.ver == (versionThere ? *version : 2.0));
    const bool full = bytes.size() >= (decoder ? sim::kDecoderReportLength : sim::kEncoderReportLength);
    if (full)
        FUZZ_CHECK(e.sfn == s.sfn && e.buf == s.buf);
    if (full && decoder)
        FUZZ_CHECK(e.att == s.att && e.sdl == s.sdl && e.sdt == s.sdt &&
                   r.carries(OptionalField::Sdm) == (s.sdm <= 2));
    // Whatever a valid report holds can be stored: no value can break a line of nms.ini.
    const KeyValues keys = discoveryKeys(r.record, r.carried);
    FUZZ_CHECK(keys.size() == 13 || (decoder && keys.size() <= 17));
    for (const auto &[key, value] : keys)
        for (QChar c : value)
            FUZZ_CHECK(c.unicode() <= 0xFF && c != u'\r' && c != u'\n' && c != u'\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        configurationWrite(in);
    else
        report(in);
    return 0;
}

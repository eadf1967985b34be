// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/configuration_write.h"

#include "model/encodings.h"
#include "model/messages.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// A byte of the datagram, only when the value lies in the control's range.
std::optional<char> rangedByte(ElementKey key, int value) {
    if (!schemaOf(key).range->contains(value))
        return std::nullopt;
    return static_cast<char>(static_cast<quint8>(value));
}

bool appendAll(QByteArray &bytes, const QList<std::optional<char>> &fields) {
    for (const auto &field : fields) {
        if (!field)
            return false;
        bytes.append(*field);
    }
    return true;
}

} // namespace

std::optional<SaveRefusal> saveRefusal(const ConfigurationWrite &write, bool databaseExists) {
    using F = ElementKey;
    if (!write.hasSelection())
        return SaveRefusal{PhraseId::NoSelection, {}};
    const auto failing = [](std::initializer_list<std::pair<F, bool>> checks) {
        QList<F> fields;
        for (const auto &[field, failed] : checks)
            if (failed)
                fields.append(field);
        return fields;
    };
    // A decoder's write carries the silence-detector mode: with no mode selected there is no byte
    // to send, and sending "Auto detect" instead would change the element behind the operator's back.
    const bool modeMissing = write.role == ElementRole::Decoder && !kSilDetModeRange.contains(write.sdm);
    if (const QList<F> audio = failing({{F::Input, write.input < 0},
                                        {F::Type, write.type < 0},
                                        {F::Tx, write.tx < 0},
                                        {F::Sdm, modeMissing}});
        !audio.isEmpty())
        return SaveRefusal{PhraseId::AudioFieldsWrong, audio};
    if (write.name.isEmpty())
        return SaveRefusal{PhraseId::NameFieldWrong, {F::Name}};
    if (const QList<F> addresses = failing({{F::Ip, !isValidAddress(write.ip)},
                                            {F::Mask, !isValidAddress(write.mask)},
                                            {F::Gw, !isValidAddress(write.gw)},
                                            {F::Remote, !isValidAddress(write.remote)}});
        !addresses.isEmpty())
        return SaveRefusal{PhraseId::IpFieldsWrong, addresses};
    if (!databaseExists)
        return SaveRefusal{PhraseId::DatabaseCorrupted, {}};
    return std::nullopt;
}

std::optional<QString> saveCheckFailure(const ConfigurationWrite &write, bool databaseExists) {
    const std::optional<SaveRefusal> refusal = saveRefusal(write, databaseExists);
    return refusal ? std::optional(phrase(refusal->reason)) : std::nullopt;
}

std::optional<QByteArray> packConfigurationWrite(const ConfigurationWrite &write) {
    using F = ElementKey;
    QByteArray bytes;
    bytes.reserve(40);
    for (const QString &address : {write.ip, write.mask, write.gw, write.remote}) {
        const auto octets = addressToBytes(address);
        if (!octets)
            return std::nullopt;
        for (quint8 octet : *octets)
            bytes.append(static_cast<char>(octet));
    }
    if (!appendAll(bytes, {rangedByte(F::Input, write.input), rangedByte(F::Type, write.type),
                           rangedByte(F::Tx, write.tx)}))
        return std::nullopt;
    bytes.append(nameToBytes(write.name));
    if (write.role != ElementRole::Decoder)
        return bytes;
    // Taken from the controls whether or not they are enabled.
    if (!appendAll(bytes, {rangedByte(F::Sfn, write.sfn ? 1 : 0), rangedByte(F::Buf, write.buf),
                           rangedByte(F::Sdm, write.sdm), rangedByte(F::Sdl, write.sdl),
                           rangedByte(F::Sdt, write.sdt)}))
        return std::nullopt;
    return bytes;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/configuration_write.h"

#include "model/encodings.h"
#include "model/messages.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// The field's bytes as the write sends them from the panel; nullopt when an address is not valid or
// a value lies outside the control's range. The controls are read whether or not they are enabled.
std::optional<QByteArray> fieldBytes(const ElementKeySchema &k, const ConfigurationWrite &write) {
    const PanelMember &m = k.write.member;
    switch (wireFormOf(k)) {
    case WireForm::Address: {
        const auto octets = addressToBytes(write.*m.text);
        if (!octets)
            return std::nullopt;
        QByteArray bytes;
        for (const quint8 octet : *octets)
            bytes.append(static_cast<char>(octet));
        return bytes;
    }
    case WireForm::Name:
        return nameToBytes(write.*m.text);
    case WireForm::Byte: {
        const int value = panelNumber(m, write);
        if (!k.range->contains(value))
            return std::nullopt;
        return QByteArray(1, static_cast<char>(static_cast<quint8>(value)));
    }
    case WireForm::Serial: // no write carries them
    case WireForm::Version:
        break;
    }
    return std::nullopt;
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
    QByteArray datagram(configurationWriteLength(write.role), '\0');
    for (const ElementKeySchema &k : schema_rows::kSchema) {
        if (!isWrittenFor(k.key, write.role))
            continue;
        const std::optional<QByteArray> bytes = fieldBytes(k, write);
        if (!bytes)
            return std::nullopt;
        datagram.replace(k.write.at, bytes->size(), *bytes);
    }
    return datagram;
}

} // namespace ondalink

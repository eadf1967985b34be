// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/configuration_compare.h"

#include "model/ipv4.h"

#include <QCoreApplication>

#include <optional>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

bool isAddress(ElementKey key) {
    return key == ElementKey::Ip || key == ElementKey::Mask || key == ElementKey::Gw ||
           key == ElementKey::Remote;
}

bool isCompared(ElementKey key) {
    return key != ElementKey::Sn && key != ElementKey::Ver && key != ElementKey::Bound;
}

std::optional<QString> valueOf(const KeyValues &values, ElementKey key) {
    for (const auto &[name, value] : values) {
        if (elementKeyNamed(name.toLatin1()) == key)
            return value;
    }
    return std::nullopt;
}

QString shown(ElementKey key, const QString &text) {
    return key == ElementKey::Name ? text.trimmed() : text;
}

} // namespace

bool sameSetting(ElementKey key, QStringView left, QStringView right) {
    if (key == ElementKey::Name)
        return left.trimmed().compare(right.trimmed(), Qt::CaseInsensitive) == 0;
    if (isAddress(key)) {
        const auto a = parseDottedAddress(left);
        const auto b = parseDottedAddress(right);
        if (a && b)
            return a->value == b->value;
    } else if (schemaOf(key).member.text == nullptr) {
        const auto a = wholeNumber(left.toLatin1());
        const auto b = wholeNumber(right.toLatin1());
        if (a && b)
            return *a == *b;
    }
    return left.trimmed() == right.trimmed();
}

QList<FieldChange> configurationChanges(const KeyValues &before, const KeyValues &after) {
    QList<FieldChange> changes;
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (!isCompared(k.key))
            continue;
        const auto now = valueOf(after, k.key);
        if (!now)
            continue;
        const QString then = valueOf(before, k.key).value_or(QString(k.loadDefault));
        if (!sameSetting(k.key, then, *now))
            changes.append({k.key, shown(k.key, then), shown(k.key, *now)});
    }
    return changes;
}

KeyValues sectionSettings(const StoredElement &element) {
    KeyValues values;
    for (const ElementKeySchema &k : elementKeySchema()) {
        if (element.has(k.key))
            values.append({keyName(k.key), element.text(k.key)});
    }
    return values;
}

QString settingLabel(ElementKey key) {
    switch (key) {
    case ElementKey::Name:
        return QCoreApplication::translate("ondalink::Setting", "Name");
    case ElementKey::Ip:
        return QCoreApplication::translate("ondalink::Setting", "IP address");
    case ElementKey::Mask:
        return QCoreApplication::translate("ondalink::Setting", "Subnet mask");
    case ElementKey::Gw:
        return QCoreApplication::translate("ondalink::Setting", "Gateway");
    case ElementKey::Remote:
        return QCoreApplication::translate("ondalink::Setting", "Remote IP");
    case ElementKey::Input:
        return QCoreApplication::translate("ondalink::Setting", "Audio input");
    case ElementKey::Type:
        return QCoreApplication::translate("ondalink::Setting", "Audio type");
    case ElementKey::Tx:
        return QCoreApplication::translate("ondalink::Setting", "Transmission");
    case ElementKey::Role:
        return QCoreApplication::translate("ondalink::Setting", "Type");
    case ElementKey::Sn:
        return QCoreApplication::translate("ondalink::Setting", "Serial number");
    case ElementKey::Ver:
        return QCoreApplication::translate("ondalink::Setting", "Version");
    case ElementKey::Sfn:
        return QCoreApplication::translate("ondalink::Setting", "SFN");
    case ElementKey::Buf:
        return QCoreApplication::translate("ondalink::Setting", "Buffer");
    case ElementKey::Att:
        return QCoreApplication::translate("ondalink::Setting", "Attenuation");
    case ElementKey::Sdm:
        return QCoreApplication::translate("ondalink::Setting", "Silence detector mode");
    case ElementKey::Sdl:
        return QCoreApplication::translate("ondalink::Setting", "Silence level");
    case ElementKey::Sdt:
        return QCoreApplication::translate("ondalink::Setting", "Silence time");
    case ElementKey::Bound:
        return QCoreApplication::translate("ondalink::Setting", "Bounded to");
    }
    return keyName(key);
}

QString describeChanges(const QList<FieldChange> &changes) {
    QStringList parts;
    parts.reserve(changes.size());
    for (const FieldChange &change : changes)
        parts.append(settingLabel(change.key) + u": "_s + change.before + u" → "_s + change.after);
    return parts.join(u"; "_s);
}

} // namespace ondalink

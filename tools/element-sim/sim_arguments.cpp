// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_arguments.h"

#include "element_wire.h"
#include "level_signal.h"
#include "model/encodings.h"

using namespace Qt::StringLiterals;

namespace ondalink::sim {

namespace {

struct ByteField {
    const char16_t *option;
    quint8 ElementSettings::*member;
};

// Offsets of the coded fields a corrupt report can carry; the serial takes four bytes.
struct CodedField {
    const char16_t *name;
    int offset;
    int size;
};
constexpr CodedField kCodedFields[] = {
    {u"input", 16, 1}, {u"type", 17, 1}, {u"tx", 18, 1}, {u"role", 35, 1}, {u"sn", 36, 4},
};

constexpr ByteField kByteFields[] = {
    {u"input", &ElementSettings::input}, {u"type", &ElementSettings::type}, {u"tx", &ElementSettings::tx},
    {u"sfn", &ElementSettings::sfn},     {u"buf", &ElementSettings::buf},   {u"att", &ElementSettings::att},
    {u"sdm", &ElementSettings::sdm},     {u"sdl", &ElementSettings::sdl},   {u"sdt", &ElementSettings::sdt},
};

std::optional<qint64> number(const QString &text, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<quint32> address(const QString &text) {
    const auto bytes = addressToBytes(text);
    if (!bytes)
        return std::nullopt;
    return (quint32((*bytes)[0]) << 24) | (quint32((*bytes)[1]) << 16) | (quint32((*bytes)[2]) << 8) |
           (*bytes)[3];
}

} // namespace

SimArguments::SimArguments() {
    m_parser.setApplicationDescription(
        u"Plays one or more Network Elements: answers the paging request, configuration writes, "
        "attenuation datagrams and level requests. With --probe it pages instead and prints the reports."_s);
    m_parser.addHelpOption();
    const auto add = [this](const QString &name, const QString &help, const QString &value = {}) {
        m_parser.addOption(QCommandLineOption(name, help, value));
    };
    add(u"role"_s, u"encoder (default) or decoder."_s, u"role"_s);
    add(u"name"_s, u"Element name, blank-filled or cut to 16 characters."_s, u"text"_s);
    add(u"serial"_s, u"Serial number, 0..4294967295 (default 1001)."_s, u"n"_s);
    add(u"firmware"_s, u"Firmware version in tenths, e.g. 3.4 (default)."_s, u"x.y"_s);
    add(u"firmware-bytes"_s, u"The two version bytes as they go on the wire."_s, u"a,b"_s);
    for (const QString &name : {u"ip"_s, u"mask"_s, u"gw"_s, u"remote"_s})
        add(name, u"Initial "_s + name + u" address."_s, u"address"_s);
    for (const ByteField &field : kByteFields)
        add(QString::fromUtf16(field.option), u"Initial raw value, 0..255."_s, u"n"_s);
    add(u"bind"_s, u"Local address of the sockets (default any)."_s, u"address"_s);
    add(u"paging-port"_s, u"Paging port (default 1901; 0 picks one)."_s, u"port"_s);
    add(u"config-port"_s, u"Configuration port (default 2976; 0 picks one)."_s, u"port"_s);
    add(u"level-port"_s, u"Attenuation and level port (default 2977; 0 picks one)."_s, u"port"_s);
    add(u"interface"_s, u"Own this interface: hear its broadcasts, move its address on a write."_s,
        u"name"_s);
    add(u"ip-command"_s, u"iproute2 program (default ip)."_s, u"path"_s);
    add(u"count"_s, u"Play this many elements: addresses, serials and names counted up."_s, u"n"_s);
    add(u"peak"_s, u"Positive peak of the level signal, 0..8388607 (default 4194304)."_s, u"n"_s);
    add(u"drift"_s, u"Let the peak swing over this period (ms)."_s, u"ms"_s);
    add(u"level"_s, u"Signal shape: sine (default), zero, negative."_s, u"shape"_s);
    add(u"corrupt"_s, u"Report field to force: input|type|tx|role|sn=VALUE, or OFFSET=BYTE. Repeatable."_s,
        u"field=value"_s);
    add(u"report-length"_s, u"Send reports of this length, cut or zero-filled."_s, u"n"_s);
    add(u"delay"_s, u"Answer after this many milliseconds."_s, u"ms"_s);
    add(u"no-reply"_s, u"Apply what arrives but never answer."_s);
    add(u"control-port"_s,
        u"Take run-time commands as datagrams on 127.0.0.1:PORT (0 picks one), one command each: "
        "\"level N\" sets the peak, \"silent\" sends a zero signal, \"loud\" the signal again, "
        "\"down\" drops every datagram as if the element were off, \"up\" answers again, "
        "\"status\" only replies, \"set KEY VALUE\" changes a setting as the element's own front panel "
        "would, behind the program's back (name, mask, gw, remote, input, type, tx, sfn, buf; on a decoder "
        "also att, sdm, sdl, sdt; the value as nms.ini stores it), which its next report carries. The sender "
        "gets \"ok: ...\" or \"refused: ...\"; each command "
        "is logged."_s,
        u"port"_s);
    add(u"tell"_s, u"Client mode: send this command to --control-port on this host, print the reply."_s,
        u"command"_s);
    add(u"log"_s, u"Append the log to this file instead of standard error."_s, u"file"_s);
    add(u"probe"_s, u"Client mode: page this address and print the reports."_s, u"address[:port]"_s);
    add(u"payload"_s, u"With --probe: send these bytes (hex) instead of the paging request."_s, u"hex"_s);
    add(u"probe-wait"_s,
        u"How long the probe collects reports, or --tell waits for the reply (ms, default 1500)."_s, u"ms"_s);
}

bool SimArguments::helpRequested() const {
    return m_parser.isSet(u"help"_s);
}

bool SimArguments::fail(const QString &message) {
    m_error = message;
    return false;
}

bool SimArguments::parse(const QStringList &arguments) {
    m_options = RunOptions{};
    m_error.clear();
    if (!m_parser.parse(arguments))
        return fail(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        return fail(u"unexpected argument: "_s + m_parser.positionalArguments().constFirst());
    return read();
}

bool SimArguments::read() {
    SimConfig &c = m_options.element;
    const auto value = [this](const QString &name) { return m_parser.value(name); };
    const auto isSet = [this](const QString &name) { return m_parser.isSet(name); };
    const auto wrong = [this](const QString &name) {
        return fail(u"bad value for --"_s + name + u": "_s + m_parser.value(name));
    };
    // Reads an integer option into target when set; false when it is out of range.
    const auto integer = [&](const QString &name, qint64 low, qint64 high, auto &target) {
        if (!isSet(name))
            return true;
        const auto n = number(value(name), low, high);
        if (!n)
            return wrong(name);
        target = static_cast<std::remove_reference_t<decltype(target)>>(*n);
        return true;
    };

    if (isSet(u"role"_s)) {
        const QString role = value(u"role"_s).toLower();
        if (role == u"encoder" || role == u"1")
            c.identity.role = kEncoder;
        else if (role == u"decoder" || role == u"2")
            c.identity.role = kDecoder;
        else
            return wrong(u"role"_s);
    }
    c.settings.name =
        c.identity.role == kDecoder ? QByteArrayLiteral("SIM DECODER") : QByteArrayLiteral("SIM ENCODER");
    if (isSet(u"name"_s))
        c.settings.name = value(u"name"_s).toLatin1();
    c.settings.name = c.settings.name.leftJustified(16, ' ', true);
    if (!integer(u"serial"_s, 0, 0xFFFFFFFFLL, c.identity.serial))
        return false;
    if (isSet(u"firmware"_s)) {
        const auto bytes = versionBytes(value(u"firmware"_s));
        if (!bytes)
            return wrong(u"firmware"_s);
        std::tie(c.identity.versionHigh, c.identity.versionLow) = *bytes;
    }
    if (isSet(u"firmware-bytes"_s)) {
        const QStringList parts = value(u"firmware-bytes"_s).split(u',');
        const auto high = parts.size() == 2 ? number(parts[0], 0, 255) : std::nullopt;
        const auto low = parts.size() == 2 ? number(parts[1], 0, 255) : std::nullopt;
        if (!high || !low)
            return wrong(u"firmware-bytes"_s);
        c.identity.versionHigh = static_cast<quint8>(*high);
        c.identity.versionLow = static_cast<quint8>(*low);
    }

    for (const auto &[name, member] :
         {std::pair{u"ip"_s, &ElementSettings::ip}, std::pair{u"mask"_s, &ElementSettings::mask},
          std::pair{u"gw"_s, &ElementSettings::gw}, std::pair{u"remote"_s, &ElementSettings::remote}}) {
        if (!isSet(name))
            continue;
        const auto parsed = address(value(name));
        if (!parsed)
            return wrong(name);
        c.settings.*member = *parsed;
    }
    for (const ByteField &field : kByteFields)
        if (!integer(QString::fromUtf16(field.option), 0, 255, c.settings.*field.member))
            return false;

    if (isSet(u"bind"_s)) {
        const QHostAddress bind(value(u"bind"_s));
        if (bind.protocol() != QAbstractSocket::IPv4Protocol)
            return wrong(u"bind"_s);
        c.endpoint.bindAddress = bind;
        // An element bound to its own address reports that address unless told otherwise.
        if (!isSet(u"ip"_s) && bind != QHostAddress(QHostAddress::AnyIPv4))
            c.settings.ip = bind.toIPv4Address();
    }
    if (!integer(u"paging-port"_s, 0, 65535, c.endpoint.pagingPort) ||
        !integer(u"config-port"_s, 0, 65535, c.endpoint.configPort) ||
        !integer(u"level-port"_s, 0, 65535, c.endpoint.levelPort))
        return false;
    if (isSet(u"interface"_s))
        c.endpoint.interfaceName = value(u"interface"_s);
    if (isSet(u"ip-command"_s))
        c.endpoint.ipCommand = value(u"ip-command"_s);
    if (!integer(u"count"_s, 1, 4096, m_options.count))
        return false;
    if (m_options.count > 1 && c.endpoint.bindAddress == QHostAddress(QHostAddress::AnyIPv4))
        return fail(u"--count needs --bind: each element binds its own address"_s);

    if (!integer(u"peak"_s, 0, kLargestSample, c.level.peak) ||
        !integer(u"drift"_s, 0, 86400000, c.level.driftPeriodMs))
        return false;
    if (isSet(u"level"_s)) {
        const QString shape = value(u"level"_s).toLower();
        if (shape == u"sine")
            c.level.shape = LevelShape::Sine;
        else if (shape == u"zero")
            c.level.shape = LevelShape::Zero;
        else if (shape == u"negative")
            c.level.shape = LevelShape::Negative;
        else
            return wrong(u"level"_s);
    }

    for (const QString &item : m_parser.values(u"corrupt"_s)) {
        const qsizetype equals = item.indexOf(u'=');
        const QString field = item.left(equals).trimmed().toLower();
        const QString text = equals < 0 ? QString() : item.mid(equals + 1);
        BytePatch patch;
        int size = 1;
        if (const auto offset = number(field, 0, 2047))
            patch.offset = static_cast<int>(*offset);
        else {
            const auto *const known =
                std::find_if(std::begin(kCodedFields), std::end(kCodedFields),
                             [&](const CodedField &f) { return field == QStringView(f.name); });
            if (known == std::end(kCodedFields))
                return fail(u"unknown field in --corrupt: "_s + item);
            patch.offset = known->offset;
            size = known->size;
        }
        const auto n = number(text, 0, size == 4 ? 0xFFFFFFFFLL : 255);
        if (!n)
            return fail(u"bad value in --corrupt: "_s + item);
        for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
            patch.bytes.append(static_cast<char>((*n >> shift) & 0xFF));
        c.faults.patches.append(patch);
    }
    if (!integer(u"report-length"_s, 0, 65507, c.faults.reportLength) ||
        !integer(u"delay"_s, 0, 3600000, c.faults.replyDelayMs))
        return false;
    c.faults.noReply = isSet(u"no-reply"_s);
    m_options.logPath = value(u"log"_s);
    if (!integer(u"control-port"_s, 0, 65535, m_options.controlPort))
        return false;
    if (isSet(u"tell"_s)) {
        m_options.tell = value(u"tell"_s);
        if (m_options.controlPort <= 0)
            return fail(u"--tell needs --control-port: where the simulator listens"_s);
    }

    if (isSet(u"probe"_s)) {
        m_options.probe = true;
        QString target = value(u"probe"_s);
        const qsizetype colon = target.indexOf(u':');
        if (colon >= 0) {
            const auto port = number(target.mid(colon + 1), 1, 65535);
            if (!port)
                return wrong(u"probe"_s);
            m_options.probePort = static_cast<quint16>(*port);
            target.truncate(colon);
        }
        m_options.probePayload = kPagingRequest.toByteArray();
        if (isSet(u"payload"_s)) {
            const QString hex = value(u"payload"_s).remove(u' ');
            const auto decoded = QByteArray::fromHex(hex.toLatin1());
            if (decoded.size() * 2 != hex.size())
                return wrong(u"payload"_s);
            m_options.probePayload = decoded;
        }
        m_options.probeAddress = QHostAddress(target);
        if (m_options.probeAddress.protocol() != QAbstractSocket::IPv4Protocol)
            return wrong(u"probe"_s);
    }
    return integer(u"probe-wait"_s, 1, 600000, m_options.probeWaitMs);
}

} // namespace ondalink::sim

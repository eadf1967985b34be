// SPDX-License-Identifier: GPL-3.0-or-later
#include "icmp.h"

#include "arp.h"
#include "model/encodings.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

namespace ondalink::ICMP {

namespace {

// The address the panel means: a text that passes IsValidAddress is read as four decimal octets
// (as the configuration write sends it), so "192.168.1.010" is .10, not octal .8, and blanks
// around the parts do not make it unreachable. Anything else goes through inet_addr.
quint32 echoAddress(const QString &address) {
    if (const auto bytes = addressToBytes(address)) {
        const quint32 host = (quint32{(*bytes)[0]} << 24) | (quint32{(*bytes)[1]} << 16) |
                             (quint32{(*bytes)[2]} << 8) | quint32{(*bytes)[3]};
        return qToBigEndian(host);
    }
    return ARP::AddressValue(address);
}

} // namespace

bool StartSockets(EchoProber &prober) {
    return prober.startSockets();
}

void StopSockets(EchoProber &prober) {
    prober.stopSockets();
}

EchoReply EchoProbe(const QString &address, EchoProber &prober) {
    const quint32 value = echoAddress(address);
    if (value == 0xFFFFFFFFu || value == 0)
        return EchoReply{kEchoNoEcho, 0};
    return prober.echo(value, kEchoTimeoutMs);
}

QString EchoStatusText(qint32 status) {
    switch (status) {
    case 0:
        return u"Success!"_s;
    case 11001:
        return u"Buffer Too Small"_s;
    case 11002:
        return u"Destination Net Unreachable"_s;
    case 11003:
        return u"Destination Host Unreachable"_s;
    case 11004:
        return u"Destination Protocol Unreachable"_s;
    case 11005:
        return u"Destination Port Unreachable"_s;
    case 11006:
        return u"No Resources"_s;
    case 11007:
        return u"Bad Option"_s;
    case 11008:
        return u"Hardware Error"_s;
    case 11009:
        return u"Packet Too Big"_s;
    case 11010:
        return u"Request Timed Out"_s;
    case 11011:
        return u"Bad Request"_s;
    case 11012:
        return u"Bad Route"_s;
    case 11013:
        return u"TimeToLive Expired Transit"_s;
    case 11014:
        return u"TimeToLive Expired Reassembly"_s;
    case 11015:
        return u"Parameter Problem"_s;
    case 11016:
        return u"Source Quench"_s;
    case 11017:
        return u"Option Too Big"_s;
    case 11018:
        return u"Bad Destination"_s;
    case 11032:
        return u"Negotiating IPSEC"_s;
    case 11050:
        return u"General Failure"_s;
    default:
        return u"Unknown Response"_s;
    }
}

} // namespace ondalink::ICMP

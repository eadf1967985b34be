// SPDX-License-Identifier: GPL-3.0-or-later
// Datagrams through the endpoint's queue, the dispatch by length and the report handler (decoding,
// checks, MAC lookup, discovery storing, confirmation) on a real nms.ini, with fakes for ARP, panel
// and message boxes. Every datagram is handled once, in order; what a discovery stores reads back.
// Input: a control byte (bit 0: the panel shows the first valid report's element; bits 1-2: the ARP
// answer's shape), then datagrams, each behind a byte: bit 7 a discovery waiting at arrival,
// bits 0-6 the length (127 means a 1440-byte level reply).
#include "diag/mac_lookup.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "link/element_link.h"
#include "link/element_report.h"
#include "link/element_report_handler.h"
#include "link/receive_dispatch.h"
#include "link_test_peer.h"
#include "model/encodings.h"
#include "model/mac_text.h"
#include "store/atomic_file.h"
#include "store/element_database.h"
#include "store/ini_text.h"

#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <memory>

using namespace ondalink;

namespace {

// Answers every address at once with 02:00 and the address, or with a hardware address of a
// shape the lookup must refuse.
struct AddressResolver : MacResolver {
    bool sendArp(quint32 address, QByteArray &hw) override {
        hw = QByteArray("\x02\x00", 2).append(reinterpret_cast<const char *>(&address), 4);
        if (shape == 1)
            hw.chop(1); // not 6 bytes: found, but no MAC text
        else if (shape == 2)
            hw.fill('\0', 6); // first word zero: not found
        return true;
    }
    int shape = 0;
};

struct Harness {
    testing::RecordingNotifier notifier;
    AddressResolver resolver;
    ConfigurationWrite panel;
    ElementDatabase database{fuzzing::scratchFolder() + QStringLiteral("/nms.ini")};
    std::unique_ptr<ElementLink> link;
    int levelReplies = 0;

    Harness() {
        LinkSettings settings;
        settings.macLookupMs = 0; // an address without an answer gives up at once
        link = std::make_unique<ElementLink>(
            database, notifier, resolver, [this] { return panel; }, settings);
        ElementLinkTestPeer(*link).reportHandler().setRepeatQuietMs(0);
        QObject::connect(link.get(), &ElementLink::levelReplyReceived, link.get(),
                         [this] { ++levelReplies; });
    }
};

// An element whose section already holds 18 keys (02:00:0A:00:00:01, the answer for 10.0.0.1).
QByteArray seedDatabase() {
    QByteArray text = "[02000A000001]\r\n";
    for (int i = 0; i < 18; ++i)
        text += "K" + QByteArray::number(i) + "=1\r\n";
    return text + "[00A0C9000001]\r\nNAME=OLD             \r\nROLE=2\r\n";
}

void showOnPanel(ConfigurationWrite &panel, const ElementRecord &r, const QString &mac) {
    panel.mac = mac;
    panel.name = r.name;
    panel.ip = r.ip;
    panel.mask = r.mask;
    panel.gw = r.gw;
    panel.remote = r.remote;
    panel.input = r.input;
    panel.type = r.type;
    panel.tx = r.tx;
    panel.role = r.kind();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const auto h = std::make_unique<Harness>();
    if (size < 1)
        return 0;
    h->notifier.messages.clear();
    h->panel = ConfigurationWrite();
    h->resolver.shape = (data[0] >> 1) & 3;
    h->levelReplies = 0;
    FUZZ_CHECK(replaceFileAtomically(h->database.path(), seedDatabase()));

    QList<std::pair<QByteArray, bool>> datagrams;
    for (size_t at = 1; at < size;) {
        const bool discovery = data[at] & 0x80;
        const qsizetype length = (data[at] & 0x7F) == 0x7F ? 1440 : (data[at] & 0x7F);
        ++at;
        QByteArray bytes(reinterpret_cast<const char *>(data + at),
                         qMin<qsizetype>(length, qsizetype(size - at)));
        at += size_t(bytes.size());
        bytes.resize(length, '\0');
        datagrams.append({bytes, discovery});
    }

    // What the handler must have stored by the end: the keys of each valid report of a discovery.
    QMap<QString, KeyValues> expected;
    bool panelSet = false;
    int queued = 0;
    int levelReplies = 0;
    for (const auto &[bytes, discovery] : datagrams) {
        const DatagramKind kind = classifyDatagram(bytes.size());
        queued += kind != DatagramKind::Ignored;
        levelReplies += kind == DatagramKind::LevelReply;
        ElementReport report;
        QString mac;
        if (kind != DatagramKind::ElementReport || decodeReport(bytes, report) != ReportCheck::Ok ||
            !lookupMac(report.record.ip, mac, QStringLiteral(":"), h->resolver) || mac.isEmpty())
            continue;
        if (!panelSet && (data[0] & 1)) {
            showOnPanel(h->panel, report.record, mac);
            panelSet = true;
        }
        if (discovery)
            for (const auto &kv : discoveryKeys(report.record, report.carried)) {
                KeyValues &keys = expected[macToElementKey(mac)];
                auto it = std::find_if(keys.begin(), keys.end(),
                                       [&](const auto &p) { return p.first == kv.first; });
                if (it == keys.end())
                    keys.append(kv);
                else
                    it->second = kv.second;
            }
    }

    ElementLinkTestPeer link(*h->link);
    QEventLoop loop;
    QTimer hang;
    hang.setSingleShot(true);
    QObject::connect(&hang, &QTimer::timeout, &loop, [] { FUZZ_CHECK(!"the queue never drained"); });
    QObject::connect(&link.dispatch(), &ReceiveDispatch::datagramHandled, &loop, [&] {
        if (link.drained())
            loop.quit();
    });
    const quint64 before = link.dispatch().dispatchedCount();
    for (const auto &[bytes, discovery] : datagrams) {
        link.setDiscovering(discovery);
        link.endpoint().deliver(bytes);
    }
    link.setDiscovering(false);
    if (link.endpoint().hasPending()) {
        hang.start(10000);
        loop.exec();
    }

    FUZZ_CHECK(link.dispatch().dispatchedCount() - before == quint64(queued));
    FUZZ_CHECK(!link.reportHandler().busy() && h->levelReplies == levelReplies);
    for (const Message &m : h->notifier.messages)
        FUZZ_CHECK(!render(m).primary.isEmpty() && !asksYesNo(m.id));
    const QString selected = macToElementKey(h->panel.mac);
    const QByteArray stored = readWholeFile(h->database.path()).bytes;
    const ini::Text text(stored);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (it.key() == selected || it.key() == QStringLiteral("02000A000001"))
            continue; // a confirmation or the damaged section may have had the last word
        const auto section = text.findSection(it.key().toLatin1());
        FUZZ_CHECK(section.has_value());
        for (const auto &[key, value] : it.value()) {
            const auto line = text.findKey(*section, key.toLatin1());
            FUZZ_CHECK(line && line->value == value.toLatin1());
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::startQt();
    return 0;
}

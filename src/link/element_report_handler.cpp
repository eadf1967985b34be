// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_report_handler.h"

#include "diag/arp.h"
#include "link/panel_view.h"
#include "model/encodings.h"
#include "model/mac_text.h"
#include "store/element_database.h"

#include <QDir>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// ARP attempts start 1 ms apart and back off to 50 ms: an element that answers at once costs
// nothing, one that never answers costs about a hundred attempts over the lookup's bound.
constexpr int kFirstRetryMs = 1;
constexpr int kLastRetryMs = 50;

// A section with this many keys was not written by us; nothing is stored into it.
constexpr int kCorruptSectionKeys = 18;

// Most discovered elements stored by one replacement of the file.
constexpr qsizetype kStoreBatch = 256;

const QString kCorrupted = u"Feedback is corrupted."_s;
const QString kCannotSaveInfo = u"Cannot save this element info."_s;

Message fieldMismatch(const QString &field) {
    return critical(twoLines(u"An error occured while saving '"_s + field + u"':"_s, kCorrupted));
}

Message databaseNotWritten(const ElementDatabase &database) {
    return critical(
        twoLines(u"The local database could not be written: "_s + QDir::toNativeSeparators(database.path()),
                 kCannotSaveInfo));
}

} // namespace

ElementReportHandler::ElementReportHandler(ElementDatabase &database, Notifier &notifier,
                                           MacResolver &resolver, PanelView &panel, ReportHandlerHooks hooks,
                                           int macLookupMs, QObject *parent)
    : QObject(parent), m_database(database), m_resolver(resolver), m_panel(panel), m_hooks(std::move(hooks)),
      m_messages(notifier) {
    m_timerGetMAC.setSingleShot(true);
    m_timerGetMAC.setInterval(macLookupMs);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &ElementReportHandler::retryLookup);
}

ElementReportHandler::~ElementReportHandler() = default;

void ElementReportHandler::HandleElementReport(const QByteArray &datagram, bool discoveryAtArrival,
                                               std::function<void()> done) {
    Q_ASSERT(!m_busy);
    ElementReport report;
    const ReportCheck check = decodeReport(datagram, report);
    if (check == ReportCheck::TooShort) {
        // Not a report: stray traffic is not worth a message, and nothing here can be stored.
        ++m_shortDropped;
        if (done)
            done();
        return;
    }
    m_report = std::move(report);
    m_busy = true;
    m_done = std::move(done);
    m_discoveryAtArrival = discoveryAtArrival;
    m_messages.setHeld(true);

    if (check != ReportCheck::Ok) {
        finish({critical(reportCheckMessage(check))});
        return;
    }
    if (m_hooks.stopResponseTimer)
        m_hooks.stopResponseTimer();
    m_timerGetMAC.start();
    m_retryMs = kFirstRetryMs;
    attemptLookup();
}

void ElementReportHandler::attemptLookup() {
    QString mac;
    if (ARP::LookupMac(m_report.record.ip, mac, u":"_s, m_resolver)) {
        macLookupEnded(mac);
        return;
    }
    m_retryTimer.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, kLastRetryMs);
}

void ElementReportHandler::retryLookup() {
    if (!m_timerGetMAC.isActive()) {
        macLookupEnded({});
        return;
    }
    attemptLookup();
}

void ElementReportHandler::macLookupEnded(const QString &mac) {
    if (mac.isEmpty()) {
        finish({critical(twoLines(u"An error occured while retrieving 'Element MAC':"_s, kCorrupted))});
        return;
    }
    m_report.record.mac = mac;
    if (m_discoveryAtArrival) {
        finish(storeDiscovered());
        return;
    }
    // What a discovery handled before this report is in the file before this report is compared.
    QList<Message> messages = storeBatch();
    messages.append(confirmWrite());
    finish(messages);
}

QList<Message> ElementReportHandler::storeDiscovered() {
    m_unstored.append({MacToKey(m_report.record.mac), discoveryKeys(m_report.record, m_report.carried)});
    // Every replacement rewrites the whole file: a burst of answers stored one by one would cost as
    // the square of its size. Those that arrive together are stored together.
    if (m_hooks.morePending && m_hooks.morePending() && m_unstored.size() < kStoreBatch)
        return {};
    return storeBatch();
}

QList<Message> ElementReportHandler::storeBatch() {
    if (m_unstored.isEmpty() || m_database.writeSections(std::exchange(m_unstored, {})))
        return {};
    return {databaseNotWritten(m_database)};
}

void ElementReportHandler::flushStored() {
    m_messages.present(storeBatch());
}

QList<Message> ElementReportHandler::confirmWrite() {
    const ElementRecord &r = m_report.record;
    if (m_panel.selectedMac() != r.mac)
        return {critical(
            twoLines(u"The response received does not match the selected element."_s, kCannotSaveInfo))};
    const QString section = MacToKey(r.mac);
    if (m_database.keyCount(section) >= kCorruptSectionKeys)
        return {critical(twoLines(u"The data stored in your computer about this element, is corrupted."_s,
                                  kCannotSaveInfo))};

    QList<Message> messages;
    KeyValues keys;
    bool failed = false;
    // The panel is read once, before anything is shown: a message box lets the operator select
    // another element, and its panel must not receive this element's values.
    const auto compare = [&](bool equal, const QString &key, const QString &stored, const QString &field) {
        if (equal) {
            keys.append({key, stored});
        } else {
            messages.append(fieldMismatch(field));
            failed = true;
        }
    };
    const auto index = [&](quint8 reported, int selected, const QString &key, const QString &field) {
        compare(reported == selected, key, QString::number(selected), field);
    };
    const QString name = m_panel.elementName();
    compare(sameName(r.name, name), u"name"_s, PadName(name), u"Element Name"_s);
    compare(r.ip == m_panel.elementIp(), u"ip"_s, m_panel.elementIp(), u"Element IP"_s);
    compare(r.mask == m_panel.elementMask(), u"mask"_s, m_panel.elementMask(), u"Element Mask"_s);
    compare(r.gw == m_panel.elementGateway(), u"gw"_s, m_panel.elementGateway(), u"Element GW"_s);
    compare(r.remote == m_panel.remoteIp(), u"remote"_s, m_panel.remoteIp(), u"Remote IP"_s);
    index(r.input, m_panel.audioInputIndex(), u"input"_s, u"Audio Input"_s);
    index(r.type, m_panel.audioTypeIndex(), u"type"_s, u"Audio Type"_s);
    index(r.tx, m_panel.audioTxIndex(), u"tx"_s, u"Audio TX"_s);

    const QString roleName = roleText(r.role);
    failed = failed || (r.role != kRoleEncoder && r.role != kRoleDecoder);
    keys.append({u"role"_s, QString::number(r.role)});
    keys.append({u"sn"_s, QString::number(r.sn)});
    keys.append({u"ver"_s, shortestDecimal(r.ver)});

    // The decoder settings are brought into the controls' ranges; those the report did not carry
    // are left as the panel and the database hold them.
    const int att = std::clamp<int>(r.att, kAttenMin, kAttenMax);
    const int buf = std::clamp<int>(r.buf, kBufferMin, kBufferMax);
    const int sdl = std::clamp<int>(r.sdl, kSilDetLevelMin, kSilDetLevelMax);
    const int sdt = std::clamp<int>(r.sdt, kSilDetTimeMin, kSilDetTimeMax);
    if (m_report.carries(OptionalField::Att))
        keys.append({u"att"_s, QString::number(att)});
    keys.append({u"buf"_s, QString::number(buf)});
    if (m_report.carries(OptionalField::Sdm))
        keys.append({u"sdm"_s, QString::number(r.sdm)});
    if (m_report.carries(OptionalField::Sdl))
        keys.append({u"sdl"_s, QString::number(sdl)});
    if (m_report.carries(OptionalField::Sdt))
        keys.append({u"sdt"_s, QString::number(sdt)});

    // One replacement of the file: the confirmed keys are stored together or not at all.
    const bool written = m_database.writeSection(section, keys);

    m_panel.setElementType(roleName);
    m_panel.setSerialNumber(QString::number(r.sn));
    m_panel.setVersion(versionText(r.ver, 1));
    if (m_report.carries(OptionalField::Att))
        m_panel.setAttenuation(att);
    m_panel.setBuffer(buf);
    if (m_report.carries(OptionalField::Sdm))
        m_panel.setSilDetMode(r.sdm);
    if (m_report.carries(OptionalField::Sdl))
        m_panel.setSilDetLevel(sdl);
    if (m_report.carries(OptionalField::Sdt))
        m_panel.setSilDetTime(sdt);

    if (!written)
        messages.append(databaseNotWritten(m_database));
    else if (!failed)
        messages.append(information(u"New configuration has been sucessfuly saved and loaded!"_s,
                                    u"Configuration changed"_s));
    return messages;
}

void ElementReportHandler::finish(const QList<Message> &messages) {
    m_messages.present(messages);
    // A message box runs the event loop, so the discovery may have ended meanwhile: read the flag now.
    if (!(m_hooks.discoveryRunning && m_hooks.discoveryRunning()) && m_hooks.reloadTree)
        m_hooks.reloadTree();
    m_busy = false;
    m_messages.setHeld(false);
    if (auto done = std::exchange(m_done, {}))
        done();
}

} // namespace ondalink

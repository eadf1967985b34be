// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/element_report_handler.h"

#include "model/encodings.h"
#include "model/log.h"
#include "model/mac_text.h"
#include "store/element_database.h"

#include <QDir>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

// Most discovered elements stored by one replacement of the file.
constexpr qsizetype kStoreBatch = 256;

Message databaseNotWritten(const ElementDatabase &database) {
    return {MessageId::DatabaseNotWritten, {QDir::toNativeSeparators(database.path())}};
}

// A message as one line of the event log.
QString oneLine(const Message &message) {
    const MessageText text = render(message);
    return (text.primary + u' ' + text.informative).simplified();
}

} // namespace

ElementReportHandler::ElementReportHandler(ElementDatabase &database, Notifier &notifier,
                                           MacResolver &resolver, ReportHandlerHooks hooks, int macLookupMs,
                                           QObject *parent)
    : QObject(parent), m_database(database), m_hooks(std::move(hooks)), m_lookups(resolver, macLookupMs),
      m_messages(notifier) {
    connect(&m_lookups, &MacLookups::ended, this, &ElementReportHandler::lookupEnded);
}

ElementReportHandler::~ElementReportHandler() = default;

void ElementReportHandler::handleReport(const QByteArray &datagram, Ipv4Address sender,
                                        bool discoveryAtArrival, std::function<void()> done) {
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
    if (check != ReportCheck::Ok) {
        const Message message = reportCheckMessage(check);
        qCInfo(lcLink).noquote() << "report from" << report.record.ip
                                 << "refused:" << render(message).primary;
        m_tally.refused += discoveryAtArrival ? 1 : 0;
        Q_EMIT elementRefused(report.record.ip, QString(), oneLine(message), sender);
        begin(std::move(report), sender, discoveryAtArrival, std::move(done));
        finish({message});
        return;
    }
    const QString address = report.record.ip;
    // A drift answer says nothing about the write that waits for its answer.
    if (m_hooks.stopResponseTimer && !answersDriftPage(address, sender, discoveryAtArrival))
        m_hooks.stopResponseTimer();
    // Behind an earlier report of the same address, in its order; otherwise at once when the MAC
    // is known.
    if (!m_parked.contains(address)) {
        // A routed element: no ARP exchange can find it, so none is waited for.
        if (m_hooks.arpReaches && !m_hooks.arpReaches(address)) {
            begin(std::move(report), sender, discoveryAtArrival, std::move(done));
            macLookupEnded(QString(), false);
            return;
        }
        if (const auto mac = m_lookups.tryNow(address)) {
            begin(std::move(report), sender, discoveryAtArrival, std::move(done));
            macLookupEnded(*mac);
            return;
        }
        m_lookups.start(address);
    }
    m_parked[address].append({std::move(report), sender, discoveryAtArrival});
    if (++m_parkedCount > kMaxParked)
        m_dispatchWaits = std::move(done);
    else if (done)
        done();
}

void ElementReportHandler::begin(ElementReport report, Ipv4Address sender, bool discoveryAtArrival,
                                 std::function<void()> done) {
    Q_ASSERT(!m_busy);
    m_report = std::move(report);
    m_sender = sender;
    m_busy = true;
    m_done = std::move(done);
    m_discoveryAtArrival = discoveryAtArrival;
    m_stored = false;
    m_additionAnswer =
        !discoveryAtArrival && m_hooks.answersAddition && m_hooks.answersAddition(m_report.record.ip);
    m_driftAnswer = !m_additionAnswer && answersDriftPage(m_report.record.ip, sender, discoveryAtArrival);
    m_addedKey.clear();
    m_messages.setHeld(true);
}

void ElementReportHandler::lookupEnded(const QString &address, const QString &mac) {
    const QList<Parked> waiting = m_parked.take(address);
    for (const Parked &parked : waiting)
        m_hooks.post([this, parked, mac](std::function<void()> done) {
            --m_parkedCount;
            begin(parked.report, parked.sender, parked.discoveryAtArrival, std::move(done));
            macLookupEnded(mac);
        });
    if (m_dispatchWaits && m_parkedCount - waiting.size() <= kMaxParked)
        std::exchange(m_dispatchWaits, {})();
}

void ElementReportHandler::macLookupEnded(QString mac, bool arpTried) {
    if (mac.isEmpty() && m_hooks.macWithoutArp)
        mac = m_hooks.macWithoutArp(m_report.record.ip, arpTried);
    if (mac.isEmpty()) {
        qCInfo(lcLink).noquote() << "report from" << m_report.record.ip << "refused: no MAC";
        m_tally.refused += m_discoveryAtArrival ? 1 : 0;
        const Message message{MessageId::ReportFieldCorrupted, {phrase(PhraseId::ElementMac)}};
        Q_EMIT elementRefused(m_report.record.ip, QString(), oneLine(message), m_sender);
        finish({message});
        return;
    }
    m_report.record.mac = mac;
    if (m_discoveryAtArrival) {
        finish(storeDiscovered());
        return;
    }
    if (m_driftAnswer) {
        if (m_hooks.driftAnswered)
            m_hooks.driftAnswered(m_report);
        finish({});
        return;
    }
    // What a discovery handled before this report is in the file before this report is compared.
    QList<Message> messages = storeBatch();
    messages.append(m_additionAnswer ? storeAdded() : confirmWrite());
    finish(messages);
}

QList<Message> ElementReportHandler::storeDiscovered() {
    m_stored = true;
    ++m_tally.stored;
    m_tally.storedKeys.insert(macToElementKey(m_report.record.mac));
    Q_EMIT elementStored(m_report.record.mac, m_report.record.name, true);
    m_unstored.append(
        {macToElementKey(m_report.record.mac), discoveryKeys(m_report.record, m_report.carried)});
    // Every replacement rewrites the whole file: a burst of answers stored one by one would cost as
    // the square of its size. Those that arrive together are stored together.
    if (m_hooks.morePending && m_hooks.morePending() && m_unstored.size() < kStoreBatch)
        return {};
    return storeBatch();
}

QList<Message> ElementReportHandler::storeBatch() {
    if (m_unstored.isEmpty())
        return {};
    m_stored = true;
    const auto batch = std::exchange(m_unstored, {});
    if (m_database.writeSections(batch)) {
        Q_EMIT databaseWritten(static_cast<int>(batch.size()));
        Q_EMIT configurationsStored(batch, ConfigurationOrigin::Discovery);
        return {};
    }
    const Message failed = databaseNotWritten(m_database);
    Q_EMIT databaseWriteFailed(oneLine(failed));
    return {failed};
}

// The element's section is replaced whole: keys an earlier element of that MAC had stored go.
QList<Message> ElementReportHandler::storeAdded() {
    m_stored = true;
    const QString key = macToElementKey(m_report.record.mac);
    const KeyValues keys = discoveryKeys(m_report.record, m_report.carried);
    if (!m_database.replaceSections({{key, keys}}))
        return {databaseNotWritten(m_database)};
    m_addedKey = key;
    Q_EMIT configurationsStored({{key, keys}}, ConfigurationOrigin::Addition);
    return {};
}

void ElementReportHandler::flushStored() {
    m_messages.present(storeBatch());
}

QList<Message> ElementReportHandler::confirmWrite() {
    // The panel is read once, before anything is shown: a message box lets the operator select
    // another element, and its panel must not receive this element's values.
    const ConfigurationWrite shown = m_hooks.shown ? m_hooks.shown() : ConfigurationWrite();
    const QString section = macToElementKey(m_report.record.mac);
    const Confirmation confirmation = confirm(m_report, shown, m_database.keyCount(section));
    switch (confirmation.refusal) {
    case Confirmation::Refusal::OtherElement:
        qCInfo(lcLink).noquote() << "report from" << m_report.record.ip
                                 << "refused: not from the selected element";
        return {refused(MessageId::OtherElement)};
    case Confirmation::Refusal::CorruptSection:
        qCInfo(lcLink).noquote() << "report from" << m_report.record.ip << "refused: its section is damaged";
        return {refused(MessageId::SectionCorrupted)};
    case Confirmation::Refusal::None:
        break;
    }
    QList<Message> messages;
    for (const ElementKey field : confirmation.mismatches)
        messages.append(Message(MessageId::FieldNotSaved, {phrase(*schemaOf(field).caption)}));
    // One replacement of the file: the confirmed keys are stored together or not at all.
    m_stored = true;
    const bool written = m_database.writeSection(section, confirmation.keys);
    Q_EMIT confirmed(confirmation.state, !confirmation.failed);
    if (written) {
        Q_EMIT elementStored(m_report.record.mac, m_report.record.name, false);
        Q_EMIT databaseWritten(1);
        Q_EMIT configurationsStored({{section, confirmation.keys}}, ConfigurationOrigin::ConfirmedWrite);
        if (!confirmation.failed)
            messages.append(MessageId::ConfigurationSaved);
    } else {
        messages.append(databaseNotWritten(m_database));
        Q_EMIT databaseWriteFailed(oneLine(messages.last()));
    }
    return messages;
}

Message ElementReportHandler::refused(const Message &message) {
    Q_EMIT elementRefused(m_report.record.ip, m_report.record.mac, oneLine(message), m_sender);
    return message;
}

bool ElementReportHandler::answersDriftPage(const QString &address, Ipv4Address sender,
                                            bool discoveryAtArrival) const {
    return !discoveryAtArrival && m_hooks.answersDriftPage && m_hooks.answersDriftPage(address, sender);
}

void ElementReportHandler::finish(const QList<Message> &messages) {
    // Nobody asked the operator's question a drift page asks: what is wrong with its answer is logged.
    if (std::exchange(m_driftAnswer, false)) {
        for (const Message &message : messages)
            qCInfo(lcLink).noquote() << "drift answer from" << m_report.record.ip
                                     << "not compared:" << oneLine(message);
    } else {
        m_messages.present(messages);
    }
    // A message box runs the event loop, so the discovery may have ended meanwhile: read the flag now.
    // A report that stored nothing leaves the list as it is: rebuilding it for every corrupt report of
    // a flood would keep the window repainting.
    if (m_stored && !(m_hooks.discoveryRunning && m_hooks.discoveryRunning()) && m_hooks.reloadTree)
        m_hooks.reloadTree();
    if (std::exchange(m_additionAnswer, false) && m_hooks.additionHandled)
        m_hooks.additionHandled(m_addedKey);
    m_busy = false;
    m_messages.setHeld(false);
    if (auto done = std::exchange(m_done, {}))
        done();
}

} // namespace ondalink

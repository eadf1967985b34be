// SPDX-License-Identifier: GPL-3.0-or-later
#include "configuration_write.h"

#include "link/datagrams.h"
#include "link/element_link.h"
#include "link/panel_view.h"
#include "model/encodings.h"
#include "model/notifier.h"
#include "store/element_database.h"

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kCannotSave = u"Cannot save."_s;
const QString kAudioFields = u"Please verify that all audio fields are correct!"_s;

} // namespace

std::optional<QString> saveCheckFailure(const PanelView &panel, const ElementDatabase &database) {
    if (panel.selectedMac() == u"-"_s)
        return u"No Network Element selected!"_s;
    if (panel.audioInputIndex() < 0 || panel.audioTypeIndex() < 0 || panel.audioTxIndex() < 0)
        return kAudioFields;
    // A decoder's write carries the silence-detector mode: with no mode selected there is no byte
    // to send, and sending "Auto detect" instead would change the element behind the operator's back.
    if (panel.elementType() == u"DECODER"_s && (panel.silDetMode() < 0 || panel.silDetMode() > 2))
        return kAudioFields;
    if (panel.elementName().isEmpty())
        return u"Please verify that the name field is correct!"_s;
    if (!IsValidAddress(panel.elementIp()) || !IsValidAddress(panel.elementMask()) ||
        !IsValidAddress(panel.elementGateway()) || !IsValidAddress(panel.remoteIp()))
        return u"Please verify that all IP fields are correct!"_s;
    if (!database.exists())
        return u"The local database in your computer, is corrupted!"_s;
    return std::nullopt;
}

void SaveChanges(ElementLink &link) {
    Notifier &notifier = link.notifier();
    if (const auto failure = saveCheckFailure(link.panel(), link.database())) {
        notifier.show(critical(twoLines(*failure, kCannotSave), u"Error!"_s));
        return;
    }
    const QString text = u"This configuration will be sent to selected Network Element and\r"
                         u"will also be saved to local database in your computer. \r"
                         u"Are you sure?"_s;
    if (notifier.show(question(text, u"Send configuration"_s)) != Answer::Yes)
        return;
    SendConfiguration(link);
}

bool SendConfiguration(ElementLink &link) {
    Notifier &notifier = link.notifier();
    // Read after the confirmation: the panel is what it is now, not what it was before the box.
    const auto datagram = packConfigurationWrite(link.panel());
    if (!datagram) {
        const QString reason = saveCheckFailure(link.panel(), link.database()).value_or(kAudioFields);
        notifier.show(critical(twoLines(reason, kCannotSave), u"Error!"_s));
        return false;
    }
    QString failure;
    if (!link.storedDestination(&failure)) {
        notifier.show(critical(twoLines(failure, kCannotSave)));
        return false;
    }
    link.timerRemoteSent().start();
    const SendResult sent = link.trySendToElement(link.settings().elementPort, *datagram);
    if (!sent.ok) {
        // Nothing left, so nothing can answer: no time-out message on top of this one.
        link.timerRemoteSent().stop();
        notifier.show(critical(sendFailureText(sent, kCannotSave)));
        return false;
    }
    return true;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// The English of the catalogue as render() gives it to a box; how a box shows it is QtNotifier's
// (tests/console/message_catalogue_test.cpp).
#include "model/messages.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

const QString kManager = u"Korvalen Ondalink Manager"_s;
constexpr auto kCritical = MessageIcon::Critical;
constexpr auto kInformation = MessageIcon::Information;
constexpr auto kQuestion = MessageIcon::Question;

struct Row {
    Message message;
    QString title;
    QString text;        // the first line(s)
    QString informative; // the lines below
    MessageIcon icon;
    QString details = {}; // behind the details button
};

const Message kNoMac(MessageId::ReportFieldCorrupted, {u"Element MAC"_s});

// clang-format off
const Row kRows[] = {    {{MessageId::AlreadyRunning}, u"Korvalen Ondalink NMS"_s,
     u"Korvalen Ondalink NMS is already running (check the icon in system tray)!"_s, {}, kInformation},
    {{MessageId::PortOccupied}, kManager, u"Unable to use UDP port 2976: occupied."_s, {}, kCritical},
    {{MessageId::PortOccupied, {u"ondalink-nmsd, process 812, user ondalink-nmsd"_s}}, kManager,
     u"Unable to use UDP port 2976: occupied."_s,
     u"ondalink-nmsd, process 812, user ondalink-nmsd uses it. One program per computer talks to the "
     u"elements: stop that one first (the service: systemctl stop ondalink-nmsd)."_s, kCritical},
    {{MessageId::DiscoveryConfirm}, u"Auto Discovery"_s,
     u"Performing an 'Auto Discovery' will delete the local database in your computer\n"
     u"and create a new one, based on the Network Elements found (if any). "_s, u"Are you sure?"_s, kQuestion},
    {{MessageId::DatabaseNotRecreated, {u"Cannot write /x/nms.ini: Permission denied"_s}}, kManager,
     u"The local database in your computer could not be recreated: Cannot write /x/nms.ini: Permission denied"_s,
     u"Auto Discovery has been stopped."_s, kCritical},
    {{MessageId::SaveRefused, {u"No Network Element selected!"_s}}, u"Error!"_s,
     u"No Network Element selected!"_s, u"Cannot save."_s, kCritical},
    {{MessageId::SendConfirm}, u"Send configuration"_s,
     u"This configuration will be sent to selected Network Element and\n"
     u"will also be saved to local database in your computer. "_s, u"Are you sure?"_s, kQuestion},
    // The same three lines; below them, the element and what changed.
    {{MessageId::SendConfirm, {u"DEC 1           "_s, u"00:A0:C9:00:00:01"_s, u"System IP: 1.2.3.4 → 1.2.3.5"_s}},
     u"Send configuration"_s,
     u"This configuration will be sent to selected Network Element and\n"
     u"will also be saved to local database in your computer. "_s, u"Are you sure?"_s, kQuestion,
     u"Element: DEC 1 (00:A0:C9:00:00:01)\nChanged fields:\nSystem IP: 1.2.3.4 → 1.2.3.5"_s},
    {{MessageId::SendConfirm, {QString(), u"00:A0:C9:00:00:01"_s}}, u"Send configuration"_s,
     u"This configuration will be sent to selected Network Element and\n"
     u"will also be saved to local database in your computer. "_s, u"Are you sure?"_s, kQuestion,
     u"Element: 00:A0:C9:00:00:01\nNo field has been changed."_s},
    {{MessageId::SaveNotSent, {u"Why."_s}}, kManager, u"Why."_s, u"Cannot save."_s, kCritical},
    {{MessageId::ResponseTimedOut}, kManager,
     u"Waiting for a response from Network Element has timed out!"_s, u"Cannot save."_s, kCritical},
    {{MessageId::AttenuationNotStored}, kManager,
     u"The attenuation was sent, but the local database could not be written."_s,
     u"Cannot save this element info."_s, kCritical},
    {{MessageId::MonitoringStopped, {u"Why."_s}}, kManager, u"Why."_s,
     u"Audio monitoring has been stopped."_s, kCritical},
    {kNoMac, kManager, u"An error occured while retrieving 'Element MAC':"_s, u"Feedback is corrupted."_s,
     kCritical},
    {{MessageId::FieldNotSaved, {u"Audio TX"_s}}, kManager, u"An error occured while saving 'Audio TX':"_s,
     u"Feedback is corrupted."_s, kCritical},
    {{MessageId::OtherElement}, kManager, u"The response received does not match the selected element."_s,
     u"Cannot save this element info."_s, kCritical},
    {{MessageId::SectionCorrupted}, kManager,
     u"The data stored in your computer about this element, is corrupted."_s,
     u"Cannot save this element info."_s, kCritical},
    {{MessageId::DatabaseNotWritten, {u"/x/nms.ini"_s}}, kManager,
     u"The local database could not be written: /x/nms.ini"_s, u"Cannot save this element info."_s, kCritical},
    {{MessageId::ConfigurationSaved}, u"Configuration changed"_s,
     u"New configuration has been sucessfuly saved and loaded!"_s, {}, kInformation},
    {{MessageId::SectionNotLoaded}, kManager,
     u"The data stored in your computer about this element, is corrupted (1)."_s,
     u"Cannot load this element info."_s, kCritical},
    {{MessageId::DatabaseMissing}, u"Information"_s, u"Local database is empty."_s,
     u"Please click 'Auto Discover' icon to probe the network."_s, kInformation},
    {{MessageId::DatabaseEmpty}, u"Information"_s, u"Local database is empty."_s,
     u"Please click the 'Auto Discover' icon to probe the network."_s, kInformation},
    {{MessageId::PingUnavailable}, u"Ping failed"_s, u"Windows Sockets not responding correctly."_s, {},
     kCritical},
    {{MessageId::UpdateConfirm}, u"Update from network"_s,
     u"Performing an 'Update from network' will page the network and store or update the Network Elements "
     u"that answer.\nElements that do not answer stay in the local database in your computer."_s,
     u"Are you sure?"_s, kQuestion},
    {{MessageId::BackupNotKept, {u"Disk full"_s, u"nms.ini.bak"_s}}, kManager,
     u"The local database in your computer could not be copied to nms.ini.bak: Disk full"_s,
     u"Update from network has been stopped."_s, kCritical},
};

// clang-format on

// The texts the program has always said, word for word; the other messages are the program's own.
TEST(MessageCatalogue, TheFixedMessagesHaveTheirEnglishLinesTitleAndIcon) {
    for (const Row &row : kRows) {
        SCOPED_TRACE(messageIdName(row.message.id).toStdString());
        const MessageText text = render(row.message);
        EXPECT_EQ(std::tuple(text.title, text.primary, text.informative, text.icon, text.details),
                  std::tuple(row.title, row.text, row.informative, row.icon, row.details));
    }
    // A question, and only a question, has the question's icon.
    for (const MessageId id : allMessageIds())
        EXPECT_EQ(messageIcon(id) == kQuestion, messageButtons(id) != MessageButtons::Ok)
            << qPrintable(messageIdName(id));
}

TEST(MessageCatalogue, TheFixedPhrasesHaveTheirEnglishTextAndEveryPhraseTakesItsDataOnce) {
    // clang-format off
    const std::tuple<PhraseId, QStringList, QString> rows[] = {
        {PhraseId::ElementName, {}, u"Element Name"_s},
        {PhraseId::ElementIp, {}, u"Element IP"_s},
        {PhraseId::ElementMask, {}, u"Element Mask"_s},
        {PhraseId::ElementGw, {}, u"Element GW"_s},
        {PhraseId::RemoteIp, {}, u"Remote IP"_s},
        {PhraseId::AudioInput, {}, u"Audio Input"_s},
        {PhraseId::AudioType, {}, u"Audio Type"_s},
        {PhraseId::AudioTx, {}, u"Audio TX"_s},
        {PhraseId::TxType, {}, u"TX Type"_s},
        {PhraseId::ElementType, {}, u"Element Type"_s},
        {PhraseId::SerialNumber, {}, u"Serial Number"_s},
        {PhraseId::Version, {}, u"Version"_s},
        {PhraseId::ElementMac, {}, u"Element MAC"_s},
        {PhraseId::NoSelection, {}, u"No Network Element selected!"_s},
        {PhraseId::AudioFieldsWrong, {}, u"Please verify that all audio fields are correct!"_s},
        {PhraseId::NameFieldWrong, {}, u"Please verify that the name field is correct!"_s},
        {PhraseId::IpFieldsWrong, {}, u"Please verify that all IP fields are correct!"_s},
        {PhraseId::DatabaseCorrupted, {}, u"The local database in your computer, is corrupted!"_s},
        // Data that looks like a placeholder stays as it came.
        {PhraseId::StoredAddressInvalid, {u"%2 x"_s},
         u"The IP address stored for the selected Network Element is not valid: \"%2 x\"."_s},
        {PhraseId::NetworkRefused, {u"10.0.0.1"_s, u"2978"_s, u"Network unreachable (%1)"_s},
         u"The network refused the datagram to 10.0.0.1 port 2978: Network unreachable (%1)."_s},
        {PhraseId::CannotRead, {u"/x/%2"_s, u"Is a directory"_s}, u"Cannot read /x/%2: Is a directory"_s},
    };
    // clang-format on
    for (const auto &[id, args, english] : rows)
        EXPECT_EQ(phrase(id, args), english);
    for (const PhraseId id : allPhraseIds())
        EXPECT_FALSE(phrase(id, {}).isEmpty()) << qPrintable(phraseIdName(id));
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// The English of every message as its box shows it: title, lines, icon and buttons.
#include "console/qt_notifier.h"
#include "fakes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

const QString kManager = u"Korvalen Ondalink Manager"_s;
constexpr auto kCritical = QMessageBox::Critical;
constexpr auto kInformation = QMessageBox::Information;
constexpr auto kQuestion = QMessageBox::Question;

struct Row {
    Message message;
    QString title;
    QString text;        // the first line(s)
    QString informative; // the lines below
    QMessageBox::Icon icon;
    QString details = {}; // behind the details button
    bool saveDiscardCancel = false;
};

const QString kAdd = u"Add element by address"_s;
const QString kRestore = u"Restore previous database"_s;
const QString kImport = u"Import elements"_s;
const Message kNoMac(MessageId::ReportFieldCorrupted, {u"Element MAC"_s});

// clang-format off
const Row kRows[] = {
    {{MessageId::AlreadyRunning}, u"Korvalen Ondalink NMS"_s,
     u"Korvalen Ondalink NMS is already running (check the icon in system tray)!"_s, {}, kInformation},
    {{MessageId::PortOccupied}, kManager, u"Unable to use UDP port 2976: occupied."_s, {}, kCritical},
    {{MessageId::DiscoveryConfirm}, u"Auto Discovery"_s,
     u"Performing an 'Auto Discovery' will delete the local database in your computer\n"
     u"and create a new one, based on the Network Elements found (if any). "_s, u"Are you sure?"_s, kQuestion},
    {{MessageId::DatabaseNotRecreated, {u"Cannot write /x/nms.ini: Permission denied"_s}}, kManager,
     u"The local database in your computer could not be recreated: Cannot write /x/nms.ini: Permission denied"_s,
     u"Auto Discovery has been stopped."_s, kCritical},
    {{MessageId::PagingNotSent, {u"the UDP port is not open"_s, u"nms.ini.bak"_s}}, kManager,
     u"The paging request could not be sent: the UDP port is not open."_s,
     u"No Network Element can answer. The previous database, if any, is kept as nms.ini.bak."_s, kCritical},
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
    {{MessageId::AttenuationNotSent, {u"Why."_s}}, kManager, u"Why."_s, u"Nothing was sent."_s, kCritical},
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
    {{MessageId::RepeatedReports, {u"1"_s}, kNoMac}, kManager, u"1 more report gave the same message:"_s,
     u"An error occured while retrieving 'Element MAC':\nFeedback is corrupted."_s, kCritical},
    {{MessageId::RepeatedReports, {u"19"_s}, {MessageId::ConfigurationSaved}}, kManager,
     u"19 more reports gave the same message:"_s, u"New configuration has been sucessfuly saved and loaded!"_s,
     kCritical},
    {{MessageId::SuppressedReports, {u"1"_s}, kNoMac}, kManager,
     u"1 more report failed as well; its message was:"_s,
     u"An error occured while retrieving 'Element MAC':\nFeedback is corrupted."_s, kCritical},
    {{MessageId::SuppressedReports, {u"12"_s}, kNoMac}, kManager,
     u"12 more reports failed as well; the last message was:"_s,
     u"An error occured while retrieving 'Element MAC':\nFeedback is corrupted."_s, kCritical},
    {{MessageId::SectionNotLoaded}, kManager,
     u"The data stored in your computer about this element, is corrupted (1)."_s,
     u"Cannot load this element info."_s, kCritical},
    {{MessageId::ListNotLoaded, {u"Cannot read /x/nms.ini: Is a directory"_s}}, kManager,
     u"Cannot read /x/nms.ini: Is a directory"_s, u"The list of elements cannot be loaded."_s, kCritical},
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
    {{MessageId::AdditionAddressInvalid, {u"10.0"_s}}, kAdd, u"\"10.0\" is not the IPv4 address of a Network Element."_s,
     u"Please type an address such as 192.168.10.20."_s, kCritical},
    {{MessageId::AdditionMacInvalid, {u"00:11"_s}}, kAdd, u"\"00:11\" is not a MAC address."_s,
     u"Please type its 12 hexadecimal digits, such as 00:1A:2B:3C:4D:5E."_s, kCritical},
    {{MessageId::AdditionNeedsMac, {u"10.1.0.11"_s}}, kAdd,
     u"The Network Element at 10.1.0.11 is not on this network, so its MAC address cannot be found."_s,
     u"Please type its MAC address, printed on the unit."_s, kCritical},
    {{MessageId::AdditionNotSent, {u"10.1.0.11"_s, u"1901"_s, u"Network unreachable"_s}}, kAdd,
     u"The paging request could not be sent to 10.1.0.11 port 1901: Network unreachable."_s,
     u"The element was not added."_s, kCritical},
    {{MessageId::AdditionNoAnswer, {u"10.1.0.11"_s, u"1901"_s, u"3"_s}}, kAdd,
     u"No answer from 10.1.0.11 port 1901 within 3 s."_s,
     u"The element was not added. Please check the address and that the element is on."_s, kCritical},
    {{MessageId::NoBackup, {u"nms.ini.bak"_s}}, kRestore,
     u"There is no previous database to restore: nms.ini.bak is missing."_s,
     u"It is kept by Auto Discovery, Update from network and Import."_s, kInformation},
    {{MessageId::RestoreConfirm, {u"nms.ini.bak"_s, u"1"_s, u"nms.ini"_s, u"12"_s}}, kRestore,
     u"Put the previous database back? nms.ini.bak lists 1 element; the current nms.ini lists 12 elements."_s,
     u"The current database becomes the previous one, so that this can be undone."_s, kQuestion},
    {{MessageId::RestoreFailed, {u"Permission denied"_s}}, kRestore,
     u"The previous database could not be restored: Permission denied"_s, u"Nothing has been changed."_s,
     kCritical},
    {{MessageId::ExportFailed, {u"Disk full"_s}}, kManager, u"The elements could not be exported: Disk full"_s,
     u"Nothing has been written."_s, kCritical},
    {{MessageId::Exported, {u"2"_s, u"/tmp/e.csv"_s}}, u"Export elements"_s, u"2 elements exported to /tmp/e.csv."_s,
     {}, kInformation},
    {{MessageId::ImportNotRead, {u"Cannot read /tmp/e.csv: No such file"_s}}, kImport,
     u"Cannot read /tmp/e.csv: No such file"_s, u"Nothing has been imported."_s, kCritical},
    {{MessageId::ImportRefused, {u"e.csv"_s, u"Line 2: x\nLine 3: y"_s}}, kImport,
     u"e.csv cannot be imported; nothing has been changed. Wrong rows:"_s, u"Line 2: x\nLine 3: y"_s, kCritical},
    {{MessageId::ImportReplaceConfirm, {u"4"_s, u"1"_s, u"e.csv"_s, u"nms.ini.bak"_s}}, kImport,
     u"Replace the local database (4 elements) with the 1 element of e.csv?"_s,
     u"The current database is kept as nms.ini.bak."_s, kQuestion},
    {{MessageId::ImportMergeConfirm, {u"3"_s, u"e.json"_s, u"nms.ini.bak"_s}}, kImport,
     u"Merge the 3 elements of e.json into the local database?"_s,
     u"Elements of the same MAC address are replaced; the current database is kept as nms.ini.bak."_s, kQuestion},
    {{MessageId::ImportNotWritten, {u"Disk full"_s}}, kImport, u"The local database could not be written: Disk full"_s,
     u"Nothing has been imported."_s, kCritical},
    {{MessageId::SharedAddresses, {u"10.0.0.5: A [00:A0:C9:00:00:01], B [00:A0:C9:00:00:02]"_s}},
     u"Duplicate IP"_s, u"Several elements have the same IP address:"_s,
     u"10.0.0.5: A [00:A0:C9:00:00:01], B [00:A0:C9:00:00:02]"_s, QMessageBox::Warning},
    {{MessageId::UnsavedEdits, {u"ENC 1           "_s, u"00:A0:C9:00:00:02"_s}}, u"Unsaved changes"_s,
     u"The changes to ENC 1 (00:A0:C9:00:00:02) have not been saved."_s,
     u"Save them to the element before going on?"_s, kQuestion, {}, true},
    {{MessageId::EventsNotSaved, {u"/x/events.csv"_s, u"Disk full"_s}}, u"Event log"_s,
     u"The events could not be saved in /x/events.csv: Disk full"_s, {}, QMessageBox::Warning},
};

// clang-format on

TEST(MessageCatalogue, EveryMessageShowsItsEnglishLinesTitleIconAndButtons) {
    std::set<MessageId> covered;
    for (const Row &row : kRows) {
        SCOPED_TRACE(::testing::PrintToString(row.message));
        covered.insert(row.message.id);
        const std::unique_ptr<QMessageBox> box(QtNotifier::build(row.message, nullptr));
        EXPECT_EQ(std::tuple(box->windowTitle(), box->text(), box->informativeText(), box->icon(),
                             box->detailedText()),
                  std::tuple(row.title, row.text, row.informative, row.icon, row.details));
        const bool question = row.icon == kQuestion;
        const auto [buttons, defaultButton] =
            row.saveDiscardCancel ? std::pair(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Cancel)
            : question            ? std::pair(QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                                  : std::pair(QMessageBox::StandardButtons(QMessageBox::Ok), QMessageBox::Ok);
        EXPECT_EQ(box->standardButtons(), buttons);
        EXPECT_EQ(static_cast<QAbstractButton *>(box->defaultButton()), box->button(defaultButton));
        if (question) {
            EXPECT_EQ(box->escapeButton(), box->button(defaultButton));
        }
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a name or an address is never markup";
    }
    for (const MessageId id : allMessageIds())
        EXPECT_TRUE(covered.count(id)) << "no row for message " << qPrintable(messageIdName(id));
}

TEST(MessageCatalogue, EveryPhraseHasItsEnglishTextAndTakesItsDataOnce) {
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
        {PhraseId::NoStoredAddress, {}, u"No IP address is stored for the selected Network Element."_s},
        {PhraseId::StoredAddressInvalid, {u"%2 x"_s},
         u"The IP address stored for the selected Network Element is not valid: \"%2 x\"."_s},
        {PhraseId::StoredAddressNotUnicast, {u"224.0.0.1"_s},
         u"The IP address stored for the selected Network Element is not a unicast address: 224.0.0.1."_s},
        {PhraseId::NetworkRefused, {u"10.0.0.1"_s, u"2978"_s, u"Network unreachable (%1)"_s},
         u"The network refused the datagram to 10.0.0.1 port 2978: Network unreachable (%1)."_s},
        {PhraseId::PortNotOpen, {}, u"the UDP port is not open"_s},
        {PhraseId::NoBroadcastInterface, {}, u"no network interface is up with an IPv4 address that can broadcast"_s},
        {PhraseId::NotAnAddress, {u"nowhere"_s}, u"\"nowhere\" is not an IPv4 address"_s},
        {PhraseId::CannotRead, {u"/x/%2"_s, u"Is a directory"_s}, u"Cannot read /x/%2: Is a directory"_s},
        {PhraseId::CannotWrite, {u"/x"_s, u"Permission denied"_s}, u"Cannot write /x: Permission denied"_s},
        {PhraseId::NotRegularFile, {}, u"not a regular file"_s},
    };
    // clang-format on
    std::set<PhraseId> covered;
    for (const auto &[id, args, english] : rows) {
        covered.insert(id);
        EXPECT_EQ(phrase(id, args), english);
    }
    for (const PhraseId id : allPhraseIds())
        EXPECT_TRUE(covered.count(id)) << "no row for phrase " << qPrintable(phraseIdName(id));
}

} // namespace
} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/messages.h"

#include <QCoreApplication>
#include <QMetaEnum>

namespace ondalink {

namespace {

QString arg(const QStringList &args, qsizetype i) {
    return args.value(i);
}

// The lines of a message as one text, for a storm count that repeats it.
QString lines(const MessageText &text) {
    return text.informative.isEmpty() ? text.primary : text.primary + u'\n' + text.informative;
}

QString innerLines(const Message &message) {
    return message.inner.empty() ? QString() : lines(render(message.inner.front()));
}

// Whole messages; their lines in the context "Message".
class MessageTexts {
    Q_DECLARE_TR_FUNCTIONS(Message)
public:
    static MessageText render(const Message &message);

private:
    static QString defaultTitle() {
        //: Title of every message box that names no title of its own.
        return tr("Korvalen Ondalink Manager");
    }
    static QString feedbackCorrupted() {
        //: Second line of a message about a report whose contents are wrong.
        return tr("Feedback is corrupted.");
    }
    static QString cannotSave() {
        //: Second line: the configuration was not saved.
        return tr("Cannot save.");
    }
    static QString cannotSaveInfo() {
        //: Second line: what an element reported was not stored.
        return tr("Cannot save this element info.");
    }
    static QString areYouSure() {
        //: Last line of a Yes/No question.
        return tr("Are you sure?");
    }
    static QString localDatabaseEmpty() {
        //: First line when the element list is empty.
        return tr("Local database is empty.");
    }
    // "1 element", "2 elements": the count as its text.
    static QString elements(const QString &count) {
        return count == u"1" ? tr("1 element") : tr("%1 elements").arg(count);
    }
    static QString addElementTitle() {
        //: Title of the messages of Add element by address.
        return tr("Add element by address");
    }
    static QString restoreTitle() {
        //: Title of the messages of Restore previous database.
        return tr("Restore previous database");
    }
    static QString importTitle() {
        //: Title of the messages of Import elements.
        return tr("Import elements");
    }
    static QString typeTheMac() { return tr("Please type its MAC address, printed on the unit."); }
    static QString notAdded() { return tr("The element was not added."); }
    static QString nothingImported() { return tr("Nothing has been imported."); }
    static QString information() {
        //: Title of the boxes that say the element list is empty.
        return tr("Information");
    }
    // An element as "NAME (MAC)" from the name and MAC arguments, or its MAC alone when it has no name.
    static QString elementNamed(const QStringList &args) {
        const QString name = arg(args, 0).trimmed();
        //: An element named in a message: %1 its name, %2 its MAC.
        return name.isEmpty() ? arg(args, 1) : tr("%1 (%2)").arg(name, arg(args, 1));
    }
    // What a Save will send, below its question: the element, then the changed fields' lines.
    static QString sendDetails(const QStringList &args) {
        if (args.isEmpty())
            return {};
        //: First line of the Save question's details; %1: the element, as its name and MAC.
        QStringList lines{tr("Element: %1").arg(elementNamed(args))};
        const QStringList changes = args.mid(2);
        //: The Save question's details, when no field has been changed since the element was loaded.
        lines << (changes.isEmpty() ? tr("No field has been changed.") : tr("Changed fields:"));
        lines << changes;
        return lines.join(u'\n');
    }
};

// Pieces of messages, in the context "Phrase".
class PhraseTexts {
    Q_DECLARE_TR_FUNCTIONS(Phrase)
public:
    static QString text(PhraseId id);
};

// Each argument once, whatever an earlier one contains.
QString withArgs(const QString &text, const QStringList &args) {
    switch (args.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(args[0]);
    case 2:
        return text.arg(args[0], args[1]);
    default:
        return text.arg(args[0], args[1], args[2]);
    }
}

} // namespace

MessageIcon messageIcon(MessageId id) {
    switch (id) {
    case MessageId::DiscoveryConfirm:
    case MessageId::SendConfirm:
    case MessageId::UpdateConfirm:
    case MessageId::RestoreConfirm:
    case MessageId::ImportReplaceConfirm:
    case MessageId::ImportMergeConfirm:
    case MessageId::UnsavedEdits:
    case MessageId::ReplaceConfirm:
        return MessageIcon::Question;
    case MessageId::SharedAddresses:
    case MessageId::EventsNotSaved:
    case MessageId::ReplacementNotConfirmed:
        return MessageIcon::Warning;
    case MessageId::NoBackup:
    case MessageId::Exported:
    case MessageId::AlreadyRunning:
    case MessageId::ConfigurationSaved:
    case MessageId::DatabaseMissing:
    case MessageId::DatabaseEmpty:
        return MessageIcon::Information;
    case MessageId::PortOccupied:
    case MessageId::DatabaseNotRecreated:
    case MessageId::PagingNotSent:
    case MessageId::SaveRefused:
    case MessageId::SaveNotSent:
    case MessageId::ResponseTimedOut:
    case MessageId::AttenuationNotSent:
    case MessageId::AttenuationNotStored:
    case MessageId::MonitoringStopped:
    case MessageId::ReportFieldCorrupted:
    case MessageId::FieldNotSaved:
    case MessageId::OtherElement:
    case MessageId::SectionCorrupted:
    case MessageId::DatabaseNotWritten:
    case MessageId::RepeatedReports:
    case MessageId::SuppressedReports:
    case MessageId::SectionNotLoaded:
    case MessageId::ListNotLoaded:
    case MessageId::PingUnavailable:
    case MessageId::BackupNotKept:
    case MessageId::AdditionAddressInvalid:
    case MessageId::AdditionMacInvalid:
    case MessageId::AdditionNeedsMac:
    case MessageId::AdditionNotSent:
    case MessageId::AdditionNoAnswer:
    case MessageId::RestoreFailed:
    case MessageId::ExportFailed:
    case MessageId::ImportNotRead:
    case MessageId::ImportRefused:
    case MessageId::ImportNotWritten:
    case MessageId::HistoryNotRead:
    case MessageId::HistoryNotSaved:
        break;
    }
    return MessageIcon::Critical;
}

// Every other question is a Yes/No one.
MessageButtons messageButtons(MessageId id) {
    if (id == MessageId::UnsavedEdits)
        return MessageButtons::SaveDiscardCancel;
    return messageIcon(id) == MessageIcon::Question ? MessageButtons::YesNo : MessageButtons::Ok;
}

Answer unansweredAnswer(MessageId id) {
    switch (messageButtons(id)) {
    case MessageButtons::YesNo:
        return Answer::No;
    case MessageButtons::SaveDiscardCancel:
        return Answer::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return Answer::Ok;
}

bool asksYesNo(MessageId id) {
    return messageButtons(id) == MessageButtons::YesNo;
}

MessageText MessageTexts::render(const Message &message) {
    const QStringList &a = message.args;
    MessageText t;
    t.icon = messageIcon(message.id);
    t.buttons = messageButtons(message.id);
    t.title = defaultTitle();
    switch (message.id) {
    case MessageId::AlreadyRunning:
        //: Title of the box that says another copy of the program runs.
        t.title = tr("Korvalen Ondalink NMS");
        t.primary = tr("Korvalen Ondalink NMS is already running (check the icon in system tray)!");
        break;
    case MessageId::PortOccupied:
        t.primary = tr("Unable to use UDP port 2976: occupied.");
        // The holder is named when it is one of ours (the monitoring service, or the window of
        // another user).
        if (!a.isEmpty())
            //: %1 names the program, its process and its user.
            t.informative = tr("%1 uses it. One program per computer talks to the elements: stop "
                               "that one first (the service: systemctl stop ondalink-nmsd).")
                                .arg(a.value(0));
        break;
    case MessageId::DiscoveryConfirm:
        //: Title of the question before a discovery.
        t.title = tr("Auto Discovery");
        //: The line break and the blank at the end are part of the text.
        t.primary = tr("Performing an 'Auto Discovery' will delete the local database in your computer\n"
                       "and create a new one, based on the Network Elements found (if any). ");
        t.informative = areYouSure();
        break;
    case MessageId::DatabaseNotRecreated:
        //: %1: why, as the system says it.
        t.primary = tr("The local database in your computer could not be recreated: %1").arg(arg(a, 0));
        t.informative = tr("Auto Discovery has been stopped.");
        break;
    case MessageId::PagingNotSent:
        //: %1: why, as the network says it.
        t.primary = tr("The paging request could not be sent: %1.").arg(arg(a, 0));
        //: %1: the name of the file that keeps the previous database.
        t.informative =
            tr("No Network Element can answer. The previous database, if any, is kept as %1.").arg(arg(a, 1));
        break;
    case MessageId::SaveRefused:
        //: Title of the box that refuses to save what the panel shows.
        t.title = tr("Error!");
        t.primary = arg(a, 0);
        t.informative = cannotSave();
        break;
    case MessageId::SendConfirm:
        //: Title of the question before a configuration is sent.
        t.title = tr("Send configuration");
        //: The line break and the blank at the end are part of the text.
        t.primary = tr("This configuration will be sent to selected Network Element and\n"
                       "will also be saved to local database in your computer. ");
        t.informative = areYouSure();
        t.details = sendDetails(a);
        break;
    case MessageId::SaveNotSent:
        t.primary = arg(a, 0);
        t.informative = cannotSave();
        break;
    case MessageId::ResponseTimedOut:
        t.primary = tr("Waiting for a response from Network Element has timed out!");
        t.informative = cannotSave();
        break;
    case MessageId::AttenuationNotSent:
        t.primary = arg(a, 0);
        t.informative = tr("Nothing was sent.");
        break;
    case MessageId::AttenuationNotStored:
        t.primary = tr("The attenuation was sent, but the local database could not be written.");
        t.informative = cannotSaveInfo();
        break;
    case MessageId::MonitoringStopped:
        t.primary = arg(a, 0);
        t.informative = tr("Audio monitoring has been stopped.");
        break;
    case MessageId::ReportFieldCorrupted:
        //: %1: the caption of the field.
        t.primary = tr("An error occured while retrieving '%1':").arg(arg(a, 0));
        t.informative = feedbackCorrupted();
        break;
    case MessageId::FieldNotSaved:
        //: %1: the caption of the field whose reported value differs from the one sent.
        t.primary = tr("An error occured while saving '%1':").arg(arg(a, 0));
        t.informative = feedbackCorrupted();
        break;
    case MessageId::OtherElement:
        t.primary = tr("The response received does not match the selected element.");
        t.informative = cannotSaveInfo();
        break;
    case MessageId::SectionCorrupted:
        t.primary = tr("The data stored in your computer about this element, is corrupted.");
        t.informative = cannotSaveInfo();
        break;
    case MessageId::DatabaseNotWritten:
        //: %1: the path of the database file.
        t.primary = tr("The local database could not be written: %1").arg(arg(a, 0));
        t.informative = cannotSaveInfo();
        break;
    case MessageId::ConfigurationSaved:
        //: Title of the box that confirms a saved configuration.
        t.title = tr("Configuration changed");
        t.primary = tr("New configuration has been sucessfuly saved and loaded!");
        break;
    case MessageId::RepeatedReports:
        //: Followed by the lines of the repeated message.
        t.primary = arg(a, 0) == u"1" ? tr("1 more report gave the same message:")
                                      : tr("%1 more reports gave the same message:").arg(arg(a, 0));
        t.informative = innerLines(message);
        break;
    case MessageId::SuppressedReports:
        //: Followed by the lines of the last message not shown.
        t.primary = arg(a, 0) == u"1"
                        ? tr("1 more report failed as well; its message was:")
                        : tr("%1 more reports failed as well; the last message was:").arg(arg(a, 0));
        t.informative = innerLines(message);
        break;
    case MessageId::SectionNotLoaded:
        t.primary = tr("The data stored in your computer about this element, is corrupted (1).");
        t.informative = tr("Cannot load this element info.");
        break;
    case MessageId::ListNotLoaded:
        t.primary = arg(a, 0);
        t.informative = tr("The list of elements cannot be loaded.");
        break;
    case MessageId::DatabaseMissing:
        t.title = information();
        t.primary = localDatabaseEmpty();
        t.informative = tr("Please click 'Auto Discover' icon to probe the network.");
        break;
    case MessageId::DatabaseEmpty:
        t.title = information();
        t.primary = localDatabaseEmpty();
        t.informative = tr("Please click the 'Auto Discover' icon to probe the network.");
        break;
    case MessageId::PingUnavailable:
        //: Title of the box that says the ping cannot start.
        t.title = tr("Ping failed");
        t.primary = tr("Windows Sockets not responding correctly.");
        break;
    case MessageId::UpdateConfirm:
        //: Title of the question before an update from the network.
        t.title = tr("Update from network");
        t.primary =
            tr("Performing an 'Update from network' will page the network and store or update the "
               "Network Elements that answer.\nElements that do not answer stay in the local database "
               "in your computer.");
        t.informative = areYouSure();
        break;
    case MessageId::BackupNotKept:
        //: %1: why, as the system says it; %2: the name of the file that keeps the previous database.
        t.primary =
            tr("The local database in your computer could not be copied to %2: %1").arg(arg(a, 0), arg(a, 1));
        t.informative = tr("Update from network has been stopped.");
        break;
    case MessageId::AdditionAddressInvalid:
        t.title = addElementTitle();
        //: %1: the text typed.
        t.primary = tr("\"%1\" is not the IPv4 address of a Network Element.").arg(arg(a, 0));
        t.informative = tr("Please type an address such as 192.168.10.20.");
        break;
    case MessageId::AdditionMacInvalid:
        t.title = addElementTitle();
        //: %1: the text typed.
        t.primary = tr("\"%1\" is not a MAC address.").arg(arg(a, 0));
        t.informative = tr("Please type its 12 hexadecimal digits, such as 00:1A:2B:3C:4D:5E.");
        break;
    case MessageId::AdditionNeedsMac:
        t.title = addElementTitle();
        //: %1: the element's address.
        t.primary =
            tr("The Network Element at %1 is not on this network, so its MAC address cannot be found.")
                .arg(arg(a, 0));
        t.informative = typeTheMac();
        break;
    case MessageId::AdditionNotSent:
        t.title = addElementTitle();
        //: %1: address, %2: port, %3: why, as the network says it.
        t.primary = tr("The paging request could not be sent to %1 port %2: %3.")
                        .arg(arg(a, 0), arg(a, 1), arg(a, 2));
        t.informative = notAdded();
        break;
    case MessageId::AdditionNoAnswer:
        t.title = addElementTitle();
        //: %1: address, %2: port, %3: seconds waited.
        t.primary = tr("No answer from %1 port %2 within %3 s.").arg(arg(a, 0), arg(a, 1), arg(a, 2));
        t.informative = notAdded() + u' ' + tr("Please check the address and that the element is on.");
        break;
    case MessageId::NoBackup:
        t.title = restoreTitle();
        //: %1: the name of the file that keeps the previous database.
        t.primary = tr("There is no previous database to restore: %1 is missing.").arg(arg(a, 0));
        t.informative = tr("It is kept by Auto Discovery, Update from network and Import.");
        break;
    case MessageId::RestoreConfirm:
        t.title = restoreTitle();
        //: %1: the backup's file name, %2: how many elements it lists, %3: the database's file name, %4: how
        //: many it lists.
        t.primary = tr("Put the previous database back? %1 lists %2; the current %3 lists %4.")
                        .arg(arg(a, 0), elements(arg(a, 1)), arg(a, 2), elements(arg(a, 3)));
        t.informative = tr("The current database becomes the previous one, so that this can be undone.");
        break;
    case MessageId::RestoreFailed:
        t.title = restoreTitle();
        //: %1: why.
        t.primary = tr("The previous database could not be restored: %1").arg(arg(a, 0));
        t.informative = tr("Nothing has been changed.");
        break;
    case MessageId::ExportFailed:
        //: %1: why.
        t.primary = tr("The elements could not be exported: %1").arg(arg(a, 0));
        t.informative = tr("Nothing has been written.");
        break;
    case MessageId::Exported:
        //: Title of the box that confirms an export.
        t.title = tr("Export elements");
        //: %1: how many elements, %2: the file's path.
        t.primary = tr("%1 exported to %2.").arg(elements(arg(a, 0)), arg(a, 1));
        break;
    case MessageId::ImportNotRead:
        t.title = importTitle();
        t.primary = arg(a, 0);
        t.informative = nothingImported();
        break;
    case MessageId::ImportRefused:
        t.title = importTitle();
        //: %1: the file's name; the wrong rows follow, each with its line number.
        t.primary = tr("%1 cannot be imported; nothing has been changed. Wrong rows:").arg(arg(a, 0));
        t.informative = arg(a, 1);
        break;
    case MessageId::ImportReplaceConfirm:
        t.title = importTitle();
        //: %1: how many elements the database lists, %2: how many the file lists, %3: the file's name.
        t.primary = tr("Replace the local database (%1) with the %2 of %3?")
                        .arg(elements(arg(a, 0)), elements(arg(a, 1)), arg(a, 2));
        //: %1: the name of the file that keeps the previous database.
        t.informative = tr("The current database is kept as %1.").arg(arg(a, 3));
        break;
    case MessageId::ImportMergeConfirm:
        t.title = importTitle();
        //: %1: how many elements the file lists, %2: the file's name.
        t.primary = tr("Merge the %1 of %2 into the local database?").arg(elements(arg(a, 0)), arg(a, 1));
        //: %1: the name of the file that keeps the previous database.
        t.informative =
            tr("Elements of the same MAC address are replaced; the current database is kept as %1.")
                .arg(arg(a, 2));
        break;
    case MessageId::ImportNotWritten:
        t.title = importTitle();
        //: %1: why.
        t.primary = tr("The local database could not be written: %1").arg(arg(a, 0));
        t.informative = nothingImported();
        break;
    case MessageId::SharedAddresses:
        //: Title of the warning about elements that share an IP address.
        t.title = tr("Duplicate IP");
        t.primary = tr("Several elements have the same IP address:");
        t.informative = a.join(u'\n');
        break;
    case MessageId::UnsavedEdits:
        //: Title of the question before the shown element's unsaved changes would be lost.
        t.title = tr("Unsaved changes");
        //: %1: the element, as its name and MAC.
        t.primary = tr("The changes to %1 have not been saved.").arg(elementNamed(a));
        t.informative = tr("Save them to the element before going on?");
        break;
    case MessageId::EventsNotSaved:
        //: Title of the box that says the event log's CSV was not written.
        t.title = tr("Event log");
        //: %1: the file's path, %2: why.
        t.primary = tr("The events could not be saved in %1: %2").arg(arg(a, 0), arg(a, 1));
        break;
    case MessageId::ReplaceConfirm:
        //: Title of the questions and warnings of replacing a failed element by a spare.
        t.title = tr("Replace element");
        //: %1: the spare, as its name and MAC; %2: the failed element, as its name and MAC.
        t.primary =
            tr("%1 has confirmed the configuration of %2.").arg(elementNamed(a.mid(2)), elementNamed(a));
        //: %1: the failed element, as its name and MAC; %2: the spare.
        t.informative = tr("Remove %1 from the local database? Its history goes with %2.")
                            .arg(elementNamed(a), elementNamed(a.mid(2)));
        break;
    case MessageId::ReplacementNotConfirmed:
        t.title = tr("Replace element");
        //: %1: the spare, as its name and MAC; %2: the failed element, as its name and MAC.
        t.primary =
            tr("%1 did not confirm the configuration of %2.").arg(elementNamed(a.mid(2)), elementNamed(a));
        t.informative = tr("Nothing has been removed from the local database.");
        break;
    case MessageId::HistoryNotRead:
        //: Title of the boxes about an element's configuration history.
        t.title = tr("Configuration history");
        //: %1: the element's MAC, %2: why.
        t.primary = tr("The configuration history of %1 could not be read: %2").arg(arg(a, 0), arg(a, 1));
        break;
    case MessageId::HistoryNotSaved:
        t.title = tr("Configuration history");
        //: %1: the file's path, %2: why.
        t.primary = tr("The history could not be saved in %1: %2").arg(arg(a, 0), arg(a, 1));
        break;
    }
    return t;
}

QString PhraseTexts::text(PhraseId id) {
    switch (id) {
    case PhraseId::ElementName:
        //: A field's caption, named in messages.
        return tr("Element Name");
    case PhraseId::ElementIp:
        return tr("Element IP");
    case PhraseId::ElementMask:
        return tr("Element Mask");
    case PhraseId::ElementGw:
        return tr("Element GW");
    case PhraseId::RemoteIp:
        return tr("Remote IP");
    case PhraseId::AudioInput:
        return tr("Audio Input");
    case PhraseId::AudioType:
        return tr("Audio Type");
    case PhraseId::AudioTx:
        return tr("Audio TX");
    case PhraseId::TxType:
        return tr("TX Type");
    case PhraseId::ElementType:
        return tr("Element Type");
    case PhraseId::SerialNumber:
        return tr("Serial Number");
    case PhraseId::Version:
        return tr("Version");
    case PhraseId::ElementMac:
        return tr("Element MAC");
    case PhraseId::NoSelection:
        return tr("No Network Element selected!");
    case PhraseId::AudioFieldsWrong:
        return tr("Please verify that all audio fields are correct!");
    case PhraseId::NameFieldWrong:
        return tr("Please verify that the name field is correct!");
    case PhraseId::IpFieldsWrong:
        return tr("Please verify that all IP fields are correct!");
    case PhraseId::DatabaseCorrupted:
        return tr("The local database in your computer, is corrupted!");
    case PhraseId::NoStoredAddress:
        return tr("No IP address is stored for the selected Network Element.");
    case PhraseId::StoredAddressInvalid:
        //: %1: the stored text.
        return tr("The IP address stored for the selected Network Element is not valid: \"%1\".");
    case PhraseId::StoredAddressNotUnicast:
        //: %1: the stored address.
        return tr("The IP address stored for the selected Network Element is not a unicast address: %1.");
    case PhraseId::NetworkRefused:
        //: %1: address, %2: port, %3: why, as the system says it.
        return tr("The network refused the datagram to %1 port %2: %3.");
    case PhraseId::PortNotOpen:
        //: Completes "The paging request could not be sent: %1."
        return tr("the UDP port is not open");
    case PhraseId::NoBroadcastInterface:
        //: Completes "The paging request could not be sent: %1."
        return tr("no network interface is up with an IPv4 address that can broadcast");
    case PhraseId::NotAnAddress:
        //: Completes "The paging request could not be sent: %1."; %1: the configured destination.
        return tr("\"%1\" is not an IPv4 address");
    case PhraseId::CannotRead:
        //: %1: a path, %2: why, as the system says it.
        return tr("Cannot read %1: %2");
    case PhraseId::CannotWrite:
        //: %1: a path, %2: why, as the system says it.
        return tr("Cannot write %1: %2");
    case PhraseId::NotRegularFile:
        //: Completes "Cannot read %1: %2" for a folder, a pipe or a device.
        return tr("not a regular file");
    }
    return {};
}

MessageText render(const Message &message) {
    return MessageTexts::render(message);
}

QString phrase(PhraseId id, const QStringList &args) {
    return withArgs(PhraseTexts::text(id), args);
}

namespace {

template <typename Id> QList<Id> everyValue() {
    const QMetaEnum values = QMetaEnum::fromType<Id>();
    QList<Id> ids;
    ids.reserve(values.keyCount());
    for (int i = 0; i < values.keyCount(); ++i)
        ids.append(static_cast<Id>(values.value(i)));
    return ids;
}

template <typename Id> QString nameOf(Id id) {
    return QString::fromLatin1(QMetaEnum::fromType<Id>().valueToKey(static_cast<int>(id)));
}

} // namespace

QList<MessageId> allMessageIds() {
    return everyValue<MessageId>();
}

QList<PhraseId> allPhraseIds() {
    return everyValue<PhraseId>();
}

QString messageIdName(MessageId id) {
    return nameOf(id);
}

QString phraseIdName(PhraseId id) {
    return nameOf(id);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue of the operator's messages: every message box is an id with its parameters; its
// title, texts, icon and buttons come from here alone, in the operator's language.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace ondalink {

enum class MessageIcon { Information, Question, Critical, Warning };
enum class Answer { Ok, Yes, No, Save, Discard, Cancel };
enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };

// The ids live in gadgets so that the list of all of them is read from the enum itself: one
// appended later cannot be missed.
struct MessageIds {
    Q_GADGET
public:
    // Parameters (args) in the order each id lists them.
    enum class Id {
        // The single-instance guard: another copy runs.
        AlreadyRunning,
        // The UDP port is taken.
        PortOccupied,
        // Discovery: the question; the database could not be recreated (reason); the paging request
        // did not leave (reason, backup file name).
        DiscoveryConfirm,
        DatabaseNotRecreated,
        PagingNotSent,
        // Save: the panel failed a check (reason), the question (optionally the element's name and MAC,
        // then one line per changed field, for its details), the datagram could not be sent
        // (reason), no answer came.
        SaveRefused,
        SendConfirm,
        SaveNotSent,
        ResponseTimedOut,
        // Attenuation: not sent (reason); sent but not stored.
        AttenuationNotSent,
        AttenuationNotStored,
        // Level monitoring stopped because a request could not be sent (reason).
        MonitoringStopped,
        // A report: a field failed its check or has no MAC (field caption); a confirmed field differs
        // from the panel (field caption); it is not from the selected element; the element's section is
        // damaged; the database could not be written (path); the configuration was confirmed.
        ReportFieldCorrupted,
        FieldNotSaved,
        OtherElement,
        SectionCorrupted,
        DatabaseNotWritten,
        ConfigurationSaved,
        // A storm of reports: how many more gave the same message (count) / failed (count); inner holds
        // the message they stand for.
        RepeatedReports,
        SuppressedReports,
        // Selecting an element whose section is damaged.
        SectionNotLoaded,
        // The element list: the file could not be read (reason); there is no file; it has no element.
        ListNotLoaded,
        DatabaseMissing,
        DatabaseEmpty,
        // The ping cannot start.
        PingUnavailable,
        // Update from network: the question; the copy of the database could not be kept (reason, backup
        // file name).
        UpdateConfirm,
        BackupNotKept,
        // Add element by address: not an element's address (the text); not a MAC (the text); an address
        // off this host's networks and no MAC (address); the paging request did not leave (address, port,
        // reason); no answer (address, port, seconds).
        AdditionAddressInvalid,
        AdditionMacInvalid,
        AdditionNeedsMac,
        AdditionNotSent,
        AdditionNoAnswer,
        // Restore: there is no backup (backup file name); the question (backup file name, its element
        // count, database file name, its element count); it failed (reason).
        NoBackup,
        RestoreConfirm,
        RestoreFailed,
        // Export: failed (reason); done (element count, path).
        ExportFailed,
        Exported,
        // Import: the file could not be read (reason); a row is wrong (file name, the wrong rows, one per
        // line); the questions (replace: the database's element count, the file's element count, file
        // name, backup file name; merge: the file's element count, file name, backup file name); the
        // database could not be written (reason).
        ImportNotRead,
        ImportRefused,
        ImportReplaceConfirm,
        ImportMergeConfirm,
        ImportNotWritten,
        // Elements share an address: one line per address ("address: name [MAC], name [MAC]").
        SharedAddresses,
        // The shown element's edits would be lost (its name, MAC): Save, Discard or Cancel.
        UnsavedEdits,
        // The event log's CSV could not be written (path, reason).
        EventsNotSaved,
        // Replace with…: the spare has confirmed the failed unit's configuration; the question before
        // the failed unit's section goes (failed name, failed MAC, spare name, spare MAC). The spare's
        // write was not confirmed, nothing removed (failed name, failed MAC, spare name, spare MAC).
        ReplaceConfirm,
        ReplacementNotConfirmed,
        // An element's configuration history could not be read or written (element MAC, reason).
        HistoryNotRead,
        HistoryNotSaved,
    };
    Q_ENUM(Id)
};
using MessageId = MessageIds::Id;

// A message box as data; the catalogue renders it.
struct Message {
    Message() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): a message without parameters is its id
    Message(MessageId messageId, QStringList messageArgs = {})
        : id(messageId), args(std::move(messageArgs)) {}
    Message(MessageId messageId, QStringList messageArgs, const Message &repeated)
        : id(messageId), args(std::move(messageArgs)), inner{repeated} {}

    MessageId id = MessageId::PortOccupied;
    QStringList args;           // data (addresses, paths, counts, texts of the system) or phrases
    std::vector<Message> inner; // the message a storm count repeats

    friend bool operator==(const Message &, const Message &) = default;
};

// Pieces of messages that several of them, or the code below the message, choose from.
struct PhraseIds {
    Q_GADGET
public:
    enum class Id {
        // Captions of the fields a report check or a confirmation names.
        ElementName,
        ElementIp,
        ElementMask,
        ElementGw,
        RemoteIp,
        AudioInput,
        AudioType,
        AudioTx,
        TxType,
        ElementType,
        SerialNumber,
        Version,
        ElementMac,
        // Why a configuration cannot be saved.
        NoSelection,
        AudioFieldsWrong,
        NameFieldWrong,
        IpFieldsWrong,
        DatabaseCorrupted,
        // Why nothing could be sent to the selected element (address) / at all.
        NoStoredAddress,
        StoredAddressInvalid,
        StoredAddressNotUnicast,
        NetworkRefused, // address, port, the system's reason
        PortNotOpen,
        NoBroadcastInterface,
        NotAnAddress, // the text
        // Why a file could not be used (path, the system's reason).
        CannotRead,
        CannotWrite,
        NotRegularFile,
    };
    Q_ENUM(Id)
};
using PhraseId = PhraseIds::Id;

QString phrase(PhraseId id, const QStringList &args = {});

// What a box shows. The primary and the informative text may hold line breaks ("\n").
struct MessageText {
    QString title;
    QString primary;
    QString informative;
    QString details; // behind the box's details button; empty for none
    MessageIcon icon = MessageIcon::Critical;
    // Yes and No (No the default); Save, Discard and Cancel (Cancel the default); or OK.
    MessageButtons buttons = MessageButtons::Ok;

    friend bool operator==(const MessageText &, const MessageText &) = default;
};

MessageIcon messageIcon(MessageId id);
MessageButtons messageButtons(MessageId id);
bool asksYesNo(MessageId id);
// What a box answers when the operator closes it without a choice (Escape, its frame): No, Cancel
// or OK.
Answer unansweredAnswer(MessageId id);
MessageText render(const Message &message);

// Every id, for tests and tools that go through the whole catalogue; and an id's name
// ("PortOccupied") for what a test prints.
QList<MessageId> allMessageIds();
QList<PhraseId> allPhraseIds();
QString messageIdName(MessageId id);
QString phraseIdName(PhraseId id);

} // namespace ondalink

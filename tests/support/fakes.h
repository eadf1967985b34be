// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles for the seams: a recording notifier and a scripted resolver.
#pragma once

#include "diag/mac_resolver.h"
#include "model/notifier.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <deque>
#include <functional>
#include <ostream>

// Readable failures: texts printed as text, a message as its id, its parameters and its English lines.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ondalink {
inline void PrintTo(const Message &message, std::ostream *out) {
    const MessageText text = render(message);
    *out << "#" << static_cast<int>(message.id) << " [" << message.args.join(u", ").toStdString() << "] \""
         << text.primary.toStdString() << '|' << text.informative.toStdString() << '"';
}
} // namespace ondalink

namespace ondalink::testing {

// Records every message; answers Yes/No questions from a script (No when the script is empty).
class RecordingNotifier : public Notifier {
public:
    Answer show(const Message &message) override {
        messages.append(message);
        if (onShow)
            onShow(message);
        if (messageButtons(message.id) == MessageButtons::Ok || answers.empty())
            return unansweredAnswer(message.id);
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QList<MessageId> ids() const {
        QList<MessageId> all;
        for (const Message &m : messages)
            all.append(m.id);
        return all;
    }

    QList<Message> messages;
    std::deque<Answer> answers;
    std::function<void(const Message &)> onShow; // e.g. to run code while a box is "open"
};

// Answers ARP attempts from a table (address in network byte order -> hardware address).
// An address that is not in the table fails every attempt.
class ScriptedResolver : public MacResolver {
public:
    bool sendArp(quint32 addressNetworkOrder, QByteArray &hardwareAddress) override {
        ++attempts;
        const auto it = table.constFind(addressNetworkOrder);
        if (it == table.constEnd())
            return false;
        hardwareAddress = *it;
        return true;
    }

    bool canReach(quint32 addressNetworkOrder) const override {
        return !unreachable.contains(addressNetworkOrder);
    }

    QHash<quint32, QByteArray> table;
    QSet<quint32> unreachable; // behind a router: no attempt is made
    int attempts = 0;
};

} // namespace ondalink::testing

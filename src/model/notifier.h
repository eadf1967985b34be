// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace ondalink {

// Title of every message box that names none of its own.
inline constexpr char16_t kDefaultTitle[] = u"Korvalen Ondalink Manager";

enum class MessageIcon { Information, Question, Critical, Warning };
enum class Answer { Ok, Yes, No };

// A message box as data: lines joined by a single "\r"; askYesNo boxes default to No.
struct Message {
    QString text;
    QString title = QString::fromUtf16(kDefaultTitle);
    MessageIcon icon = MessageIcon::Critical;
    bool askYesNo = false;

    friend bool operator==(const Message &, const Message &) = default;
};

inline Message critical(const QString &text, const QString &title = QString::fromUtf16(kDefaultTitle)) {
    return Message{text, title, MessageIcon::Critical, false};
}
inline Message information(const QString &text, const QString &title = QString::fromUtf16(kDefaultTitle)) {
    return Message{text, title, MessageIcon::Information, false};
}
inline Message warning(const QString &text, const QString &title = QString::fromUtf16(kDefaultTitle)) {
    return Message{text, title, MessageIcon::Warning, false};
}
inline Message question(const QString &text, const QString &title) {
    return Message{text, title, MessageIcon::Question, true};
}
// Two lines as one message text.
inline QString twoLines(const QString &first, const QString &second) {
    return first + QChar(u'\r') + second;
}

// Every message box of the program goes through here; the app shows QMessageBox, tests record.
// show() may run a nested event loop: callers re-check the state they rely on afterwards.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual Answer show(const Message &message) = 0;
};

} // namespace ondalink

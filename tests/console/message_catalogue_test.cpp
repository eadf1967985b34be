// SPDX-License-Identifier: GPL-3.0-or-later
// How a box shows a message: plain text, the icon and buttons of its kind. The English itself is the
// catalogue's (tests/unit/model/messages_test.cpp).
#include "console/qt_notifier.h"
#include "fakes.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

// In the order of MessageIcon.
constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Question,
                                        QMessageBox::Critical, QMessageBox::Warning};

TEST(MessageCatalogue, EveryMessageHasItsLinesInPlainTextAndTheButtonsOfItsKind) {
    for (const MessageId id : allMessageIds()) {
        SCOPED_TRACE(qPrintable(messageIdName(id)));
        const Message message(id, {u"<b>a</b>"_s, u"b"_s, u"c"_s, u"d"_s});
        const std::unique_ptr<QMessageBox> box(QtNotifier::build(message, nullptr));
        const MessageText text = render(message);
        EXPECT_EQ(std::tuple(box->windowTitle(), box->text(), box->informativeText(), box->detailedText()),
                  std::tuple(text.title, text.primary, text.informative, text.details));
        EXPECT_EQ(box->icon(), kIcons[static_cast<int>(text.icon)]);
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "a name or an address is never markup";
        const MessageButtons kind = messageButtons(id);
        const bool question = kind != MessageButtons::Ok;
        const auto [buttons, defaultButton] =
            kind == MessageButtons::SaveDiscardCancel
                ? std::pair(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                            QMessageBox::Cancel)
            : question ? std::pair(QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       : std::pair(QMessageBox::StandardButtons(QMessageBox::Ok), QMessageBox::Ok);
        EXPECT_EQ(box->standardButtons(), buttons);
        EXPECT_EQ(static_cast<QAbstractButton *>(box->defaultButton()), box->button(defaultButton));
        if (question) {
            EXPECT_EQ(box->escapeButton(), box->button(defaultButton));
        }
    }
}

} // namespace
} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintEvent>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace ondalink {

// A scroll bar used as an input control: the usual styles draw no focus for one, so an operator moving
// through the panel with Tab could not see where the arrow keys would act.
class FocusScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent *event) override {
        QScrollBar::paintEvent(event);
        if (!hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        // Shown however the focus came: a click on the bar also makes it where the arrow keys act.
        frame.state |= QStyle::State_KeyboardFocusChange;
        frame.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/widgets/focus_scroll_bar.h"

#include <QEvent>

namespace ondalink {

// scrlAtten: a scroll bar that says whether the change it is making comes from a wheel turn. A turn
// gives no keyboard focus, so the panel cannot tell it from a position set by code otherwise.
class AttenuationBar : public FocusScrollBar {
public:
    using FocusScrollBar::FocusScrollBar;

    bool isWheelTurning() const { return m_wheelTurning; }

protected:
    bool event(QEvent *event) override {
        if (event->type() != QEvent::Wheel)
            return FocusScrollBar::event(event);
        m_wheelTurning = true;
        const bool handled = FocusScrollBar::event(event);
        m_wheelTurning = false;
        return handled;
    }

private:
    bool m_wheelTurning = false;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/level_display.h"

#include <QFrame>

namespace ondalink {

// The level bar: a fixed colour scale (blue, green, yellow, orange) shown from the left edge up to
// the level. Widths are in design units, 2100 for the full scale, 15 units per device-independent
// pixel. Painted as vectors so that it stays crisp at any scale factor.
class VUMeter : public QFrame {
    Q_OBJECT
public:
    static constexpr int kFullWidth = kMeterFullWidth;
    static constexpr int kUnitsPerPixel = 15;

    explicit VUMeter(QWidget *parent = nullptr);

    int meterWidth() const { return m_width; }
    // Clamped to 0..kFullWidth.
    void setMeterWidth(int units);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_width = 0;
};

} // namespace ondalink

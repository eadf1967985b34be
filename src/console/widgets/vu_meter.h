// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/widgets/level_display.h"

#include <QFrame>
#include <QList>
#include <QTimer>

namespace ondalink {

// The level bar: a fixed colour scale (blue, green, yellow, orange) shown from the left edge up to
// the level, a peak-hold marker, a clip box at its right and a dBFS scale under it. Widths are in
// design units, 2100 for the full scale, 15 units per device-independent pixel. Painted as vectors so
// that it stays crisp at any scale factor.
class VUMeter : public QFrame {
    Q_OBJECT
public:
    static constexpr int kFullWidth = kMeterFullWidth;
    static constexpr int kUnitsPerPixel = 15;
    static constexpr int kHoldMs = 2000;

    // A mark of the scale: its level and where the bar ends for that level, in design units.
    struct ScaleMark {
        int decibels = 0;
        int units = 0;
    };
    // -40, -20, -10, -6, -3 and 0 dBFS, placed by the rule the bar's width follows.
    static const QList<ScaleMark> &scaleMarks();

    // A mark's label as painted: its text ("-20", in the locale's writing) and its box in the widget.
    struct ScaleLabel {
        int decibels = 0;
        QString text;
        QRectF box;
    };
    // The labels that have room, right to left: each covers its tick, none comes nearer another than
    // a digit's width, and one that would is left out (its tick stays).
    QList<ScaleLabel> scaleLabels() const;

    explicit VUMeter(QWidget *parent = nullptr);

    int meterWidth() const { return m_width; }
    // Clamped to 0..kFullWidth. A level at or above the held peak holds for kHoldMs; full scale
    // lights the clip box for as long.
    void setMeterWidth(int units);
    // Empty bar, no held peak, no clip: for another element or monitoring switched off.
    void reset();

    int heldWidth() const { return m_held; }
    bool isClipped() const { return m_clipped; }
    void setHoldInterval(int milliseconds);
    // Where the bar's zero is, in the widget's pixels.
    int barLeft() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void releaseHold();
    QFont scaleFont() const;
    QRectF barArea() const;
    int clipBoxWidth() const;

    int m_width = 0;
    int m_held = 0;
    bool m_clipped = false;
    QTimer m_hold;
};

} // namespace ondalink

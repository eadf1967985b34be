// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/vu_meter.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace ondalink {

namespace {
constexpr int kScalePixels = VUMeter::kFullWidth / VUMeter::kUnitsPerPixel; // 140
constexpr int kBarHeight = 14;
} // namespace

VUMeter::VUMeter(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void VUMeter::setMeterWidth(int units) {
    units = std::clamp(units, 0, kFullWidth);
    if (units == m_width)
        return;
    m_width = units;
    update();
}

QSize VUMeter::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {kScalePixels + frame, kBarHeight + frame};
}

void VUMeter::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRectF area = contentsRect();
    painter.fillRect(area, palette().color(QPalette::Base));
    if (m_width == 0)
        return;

    // The scale is fixed to the full design width; the level only uncovers part of it.
    const double scale = area.width() / kFullWidth;
    QLinearGradient gradient(area.topLeft(), area.topRight());
    gradient.setColorAt(0.0, QColor(30, 90, 220));
    gradient.setColorAt(0.45, QColor(40, 190, 70));
    gradient.setColorAt(0.75, QColor(240, 220, 40));
    gradient.setColorAt(1.0, QColor(255, 140, 0));
    QRectF bar = area;
    bar.setWidth(m_width * scale);
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.fillRect(bar, gradient);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/vu_meter.h"

#include "link/datagrams.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ondalink {

namespace {
constexpr int kScalePixels = VUMeter::kFullWidth / VUMeter::kUnitsPerPixel; // 140
constexpr int kBarHeight = 14;
constexpr int kTickLength = 3;
constexpr int kGap = 4;
constexpr int kLabelGap = 3;
} // namespace

const QList<VUMeter::ScaleMark> &VUMeter::scaleMarks() {
    static const QList<ScaleMark> marks = [] {
        QList<ScaleMark> made;
        for (const int decibels : {-40, -20, -10, -6, -3, 0}) {
            const double peak = std::round(kLevelFullScale * std::pow(10.0, decibels / 20.0));
            made.append({decibels, levelDisplay(static_cast<quint32>(peak)).meterWidth});
        }
        return made;
    }();
    return marks;
}

VUMeter::VUMeter(QWidget *parent) : QFrame(parent), m_hold(this) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_hold.setSingleShot(true);
    m_hold.setInterval(kHoldMs);
    connect(&m_hold, &QTimer::timeout, this, &VUMeter::releaseHold);
    setToolTip(tr("Audio level: the scale is in dB below full scale (dBFS); the marker holds the peak "
                  "for 2 s; CLIP lights at full scale"));
}

void VUMeter::setMeterWidth(int units) {
    units = std::clamp(units, 0, kFullWidth);
    if (units >= m_held && units > 0) {
        m_held = units;
        m_clipped = m_clipped || units == kFullWidth;
        m_hold.start();
    }
    if (units == m_width)
        return;
    m_width = units;
    update();
}

void VUMeter::reset() {
    m_hold.stop();
    m_width = 0;
    m_held = 0;
    m_clipped = false;
    update();
}

void VUMeter::releaseHold() {
    m_held = m_width;
    m_clipped = m_width == kFullWidth;
    if (m_clipped)
        m_hold.start();
    update();
}

void VUMeter::setHoldInterval(int milliseconds) {
    m_hold.setInterval(milliseconds);
}

QFont VUMeter::scaleFont() const {
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    return small;
}

int VUMeter::clipBoxWidth() const {
    return QFontMetrics(scaleFont()).horizontalAdvance(tr("CLIP")) + 8;
}

QSize VUMeter::sizeHint() const {
    const QFontMetrics metrics(scaleFont());
    return {barLeft() + kScalePixels + 2 + kGap + clipBoxWidth() + 1,
            kBarHeight + 2 + kTickLength + metrics.height()};
}

void VUMeter::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QFrame::changeEvent(event);
}

void VUMeter::paintEvent(QPaintEvent * /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(scaleFont());
    const QRectF frame(barLeft() - 1, 0, kScalePixels + 2, kBarHeight + 2);
    const QRectF area = frame.adjusted(1, 1, -1, -1);
    if (!isEnabled())
        painter.setOpacity(0.4);

    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));

    // The colours are fixed to the full design width; the level only uncovers part of them.
    const double scale = area.width() / kFullWidth;
    if (m_width > 0) {
        QLinearGradient gradient(area.topLeft(), area.topRight());
        gradient.setColorAt(0.0, QColor(30, 90, 220));
        gradient.setColorAt(0.45, QColor(40, 190, 70));
        gradient.setColorAt(0.75, QColor(240, 220, 40));
        gradient.setColorAt(1.0, QColor(255, 140, 0));
        QRectF bar = area;
        bar.setWidth(m_width * scale);
        painter.fillRect(bar, gradient);
    }
    if (m_held > 0) {
        const double x = area.left() + m_held * scale;
        painter.fillRect(QRectF(x - 2, area.top(), 2, area.height()), palette().color(QPalette::WindowText));
    }

    // The clip box names its state in text, not by colour alone.
    const QRectF clip(frame.right() + kGap, 0, clipBoxWidth(), frame.height());
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(m_clipped ? QColor(200, 0, 0) : palette().color(QPalette::Base));
    painter.drawRect(clip.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setFont(scaleFont());
    if (m_clipped) {
        painter.setPen(Qt::white);
        painter.drawText(clip, Qt::AlignCenter, tr("CLIP"));
    }

    // Numbers without their minus sign, as on a meter's face: the tooltip says they are dBFS below
    // full scale. Right to left; a label that would touch its right neighbour moves left as long as
    // it still covers its tick, and is left out otherwise (a large font). Its tick always stays.
    painter.setPen(palette().color(QPalette::WindowText));
    const double tickTop = frame.bottom() + 1;
    double leftmostLabel = width();
    const QList<ScaleMark> &marks = scaleMarks();
    // NOLINTNEXTLINE(modernize-loop-convert): clang 14 cannot reverse a QList as a range
    for (auto mark = marks.crbegin(); mark != marks.crend(); ++mark) {
        const double x = area.left() + mark->units * scale;
        painter.drawLine(QPointF(x, tickTop), QPointF(x, tickTop + kTickLength));
        const QString text = QString::number(-mark->decibels);
        const double textWidth = metrics.horizontalAdvance(text);
        QRectF box(x - textWidth / 2, tickTop + kTickLength, textWidth, metrics.height());
        if (box.right() + kLabelGap > leftmostLabel)
            box.moveRight(leftmostLabel - kLabelGap);
        if (box.left() < 0 || box.right() < x)
            continue;
        painter.drawText(box, Qt::AlignCenter, text);
        leftmostLabel = box.left();
    }
}

int VUMeter::barLeft() const {
    // Room for the leftmost mark's label to sit left of its tick.
    return QFontMetrics(scaleFont()).horizontalAdvance(QString::number(-scaleMarks().first().decibels)) + 1;
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/vu_meter.h"

#include "link/datagrams.h"
#include "model/encodings.h"

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

QString markText(int decibels) {
    return shortestDecimal(decibels);
}
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
    return {barLeft() + kScalePixels + 2 + kGap + clipBoxWidth() + 1,
            kBarHeight + 2 + 1 + kTickLength +
                static_cast<int>(std::ceil(QFontMetricsF(scaleFont()).height()))};
}

void VUMeter::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QFrame::changeEvent(event);
}

QRectF VUMeter::barArea() const {
    return {double(barLeft()), 1, double(kScalePixels), double(kBarHeight)};
}

QList<VUMeter::ScaleLabel> VUMeter::scaleLabels() const {
    const QFontMetricsF metrics(scaleFont());
    // A digit's width apart: "-40 -20" must not read as one number.
    const double gap = metrics.horizontalAdvance(u'0');
    const QRectF area = barArea();
    const double labelTop = area.bottom() + 2 + kTickLength;
    const double scale = area.width() / kFullWidth;
    // Right to left. A label is centred on its tick, moved left off its right neighbour while it
    // still covers its tick; when that is not enough the neighbour moves right as far as it may
    // (still covering its own tick, a gap from the next); failing both, the label is left out.
    struct Placed {
        ScaleLabel label;
        double tick = 0;
    };
    QList<Placed> placed;
    const QList<ScaleMark> &marks = scaleMarks();
    // NOLINTNEXTLINE(modernize-loop-convert): clang 14 cannot reverse a QList as a range
    for (auto mark = marks.crbegin(); mark != marks.crend(); ++mark) {
        const double x = area.left() + mark->units * scale;
        const QString text = markText(mark->decibels);
        const double textWidth = metrics.horizontalAdvance(text);
        QRectF box(x - textWidth / 2, labelTop, textWidth, metrics.height());
        box.moveRight(std::min(box.right(), double(width())));
        if (!placed.isEmpty()) {
            Placed &right = placed.last();
            if (box.right() + gap > right.label.box.left())
                box.moveRight(std::max(right.label.box.left() - gap, x + 1));
            const double needed = box.right() + gap - right.label.box.left();
            if (needed > 0) {
                const double roomRight =
                    placed.size() > 1 ? placed[placed.size() - 2].label.box.left() - gap : double(width());
                const double room =
                    std::min(right.tick - right.label.box.left(), roomRight - right.label.box.right());
                if (needed > room)
                    continue;
                right.label.box.translate(needed, 0);
            }
        }
        if (box.left() < 0 || box.right() < x || box.left() > x)
            continue;
        placed.append({{mark->decibels, text, box}, x});
    }
    QList<ScaleLabel> labels;
    labels.reserve(placed.size());
    for (const Placed &p : placed)
        labels.append(p.label);
    return labels;
}

void VUMeter::paintEvent(QPaintEvent * /*event*/) {
    QPainter painter(this);
    const QRectF area = barArea();
    const QRectF frame = area.adjusted(-1, -1, 1, 1);
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

    // Every mark has its tick; the labels are those that have room.
    painter.setPen(palette().color(QPalette::WindowText));
    const double tickTop = frame.bottom() + 1;
    for (const ScaleMark &mark : scaleMarks()) {
        const double x = area.left() + mark.units * scale;
        painter.drawLine(QPointF(x, tickTop), QPointF(x, tickTop + kTickLength));
    }
    for (const ScaleLabel &label : scaleLabels())
        painter.drawText(label.box, Qt::AlignCenter, label.text);
}

int VUMeter::barLeft() const {
    // Room for the leftmost mark's label to sit wholly left of its tick.
    return QFontMetrics(scaleFont()).horizontalAdvance(markText(scaleMarks().first().decibels)) + 1;
}

} // namespace ondalink

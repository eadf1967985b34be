// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/ping_indicator.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

using namespace Qt::StringLiterals;

namespace ondalink {

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickableLabel::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A label draws no focus of its own; without this the keyboard user cannot see where Space goes.
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(1, 1, -1, -1);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

PingIndicator::PingIndicator(QWidget *parent) : QWidget(parent), m_fill(255, 255, 192) {
    setObjectName(u"shpPing"_s);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 3, 10, 3);
    m_label = new ClickableLabel(this);
    m_label->setObjectName(u"lblPing"_s);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setToolTip(tr("Click to test ping"));
    m_label->setAccessibleDescription(tr("Click to test ping"));
    // The fill colours are fixed and light: the text stays dark whatever the desktop's theme.
    QPalette text = m_label->palette();
    text.setColor(QPalette::WindowText, Qt::black);
    m_label->setPalette(text);
    layout->addWidget(m_label);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PingIndicator::setFillColor(const QColor &colour) {
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

QSize PingIndicator::sizeHint() const {
    const QSize inner = m_label->sizeHint();
    const int width = qMax(
        inner.width(), m_label->fontMetrics().horizontalAdvance(
                           tr("Retrying in %1 seconds...", "the ping label while it waits to retry").arg(3)));
    return {width + 20, inner.height() + 6};
}

void PingIndicator::paintEvent(QPaintEvent * /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(m_fill);
    painter.drawRoundedRect(box, 6, 6);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace ondalink {

// lblPing: the ping result, a label that acts on a click (or Space/Enter when it has the focus).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// shpPing: a rounded rectangle whose fill colour is the ping result, with lblPing on it.
class PingIndicator : public QWidget {
    Q_OBJECT
public:
    explicit PingIndicator(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &colour);
    ClickableLabel *label() const { return m_label; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
    ClickableLabel *m_label = nullptr;
};

} // namespace ondalink

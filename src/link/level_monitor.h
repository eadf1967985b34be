// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace ondalink {

class ElementLink;

// The level display of the console: the meter VUMeter and the text lblVolume.
class LevelView {
public:
    virtual ~LevelView() = default;
    virtual void setMeterWidth(int units) = 0; // 0..2100 meter units, 15 to a pixel
    virtual void setLevelText(const QString &text) = 0;
};

// Audio level monitoring: the switch chkGetVolume, the poll timer tmrVolume with its level
// requests, and the display of each level reply.
class LevelMonitor : public QObject {
    Q_OBJECT
public:
    LevelMonitor(ElementLink &link, LevelView &view, QObject *parent = nullptr);

    // Switch handling of chkGetVolume: checked starts polling; anything else stops it and blanks.
    void chkGetVolume_Click(bool checked);
    bool monitoring() const { return m_tmrVolume.isActive(); }

    // Slider1 moved: its value is the poll interval in milliseconds (at least 1). A running
    // timer keeps running at the new interval.
    void Slider1_Change(int milliseconds);

    // One tick of tmrVolume: the level request to the selected element.
    void RequestLevel();
    // One level reply: its peak on the meter and in dBFS, or blank when polling has stopped.
    void ShowLevel(const QByteArray &reply);

    QTimer &tmrVolume() { return m_tmrVolume; }

Q_SIGNALS:
    // A request could not be sent: polling has stopped. The console unchecks chkGetVolume and
    // puts buttons 6 and 7 back to Ready.
    void monitoringSwitchedOff();

private:
    void blank();

    ElementLink &m_link;
    LevelView &m_view;
    QTimer m_tmrVolume;
};

} // namespace ondalink

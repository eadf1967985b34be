// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/widgets/level_display.h"

#include <QGroupBox>
#include <QList>

class QCheckBox;
class QLabel;
class QSlider;

namespace ondalink {

class PingIndicator;
class VUMeter;

// The "Diagnostics:" frame: the ping indicator and the audio level display with its interval slider.
class DiagnosticsFrame : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kIntervalMin = 1;
    static constexpr int kIntervalMax = 1000;
    static constexpr int kIntervalStart = 50;

    explicit DiagnosticsFrame(QWidget *parent = nullptr);

    PingIndicator *ping() const { return shpPing; }
    VUMeter *meter() const { return VUMeter_; }
    QLabel *levelText() const { return lblVolume; }
    QSlider *intervalSlider() const { return Slider1; }
    QCheckBox *watchAudio() const { return m_watchAudio; }

    // Meter to width 0, enabled or not; level text to "-oodBFS". A disabled meter is hidden, with the
    // interval and "Watch audio".
    void resetLevel(bool meterEnabled);
    // A level monitor's peak on the meter and as text (0: no level).
    void showPeak(quint32 peak);
    // "Watch audio" for the element shown: available for an encoder only.
    void showWatchAudio(bool available, bool watched);

Q_SIGNALS:
    // The operator moved Slider1: the new level polling interval in milliseconds.
    void intervalChanged(int milliseconds);
    // The operator switched "Watch audio" of the element shown.
    void watchAudioToggled(bool watched);

private:
    void showInterval(int milliseconds);

    PingIndicator *shpPing = nullptr;
    VUMeter *VUMeter_ = nullptr;
    QLabel *lblVolume = nullptr;
    QSlider *Slider1 = nullptr;
    QLabel *m_intervalText = nullptr;
    QCheckBox *m_watchAudio = nullptr;
    QList<QWidget *> m_levelControls; // shown for an encoder only
};

} // namespace ondalink

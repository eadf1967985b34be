// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/diagnostics_frame.h"

#include "console/widgets/form_helpers.h"
#include "console/widgets/level_display.h"
#include "console/widgets/ping_indicator.h"
#include "console/widgets/vu_meter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace ondalink {

DiagnosticsFrame::DiagnosticsFrame(QWidget *parent) : QGroupBox(parent) {
    setObjectName(u"frmDiagnostics"_s);
    setTitle(tr("Diagnostics:"));
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);

    auto *pingCaption = new QLabel(tr("&Ping response:"), this);
    shpPing = new PingIndicator(this);
    shpPing->label()->setText(tr("<Unknown>"));
    pingCaption->setBuddy(shpPing->label());
    grid->addWidget(pingCaption, 0, 0);
    grid->addWidget(shpPing, 0, 1, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);

    auto *levelCaption = new QLabel(tr("Audio level:"), this);
    VUMeter_ = new VUMeter(this);
    VUMeter_->setObjectName(u"VUMeter"_s);
    VUMeter_->setAccessibleName(tr("Audio level meter"));
    lblVolume = new QLabel(levelDisplay(0).text, this);
    lblVolume->setObjectName(u"lblVolume"_s);
    lblVolume->setMinimumWidth(lblVolume->fontMetrics().horizontalAdvance(levelDisplay(1).text) + 4);
    auto *levelRow = new QHBoxLayout;
    levelRow->addWidget(VUMeter_);
    levelRow->addWidget(lblVolume);
    levelRow->addStretch(1);
    grid->addWidget(levelCaption, 1, 0);
    grid->addLayout(levelRow, 1, 1, 1, 2);

    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(u"Slider1"_s);
    Slider1->setRange(kIntervalMin, kIntervalMax);
    Slider1->setValue(kIntervalStart);
    Slider1->setSingleStep(10);
    Slider1->setPageStep(100);
    Slider1->setAccessibleName(tr("Level polling interval"));
    m_intervalText = new QLabel(this);
    m_intervalText->setObjectName(u"lblInterval"_s);
    m_intervalText->setMinimumWidth(m_intervalText->fontMetrics().horizontalAdvance(tr("%1 ms").arg(1000)) +
                                    4);
    auto *intervalCaption = new QLabel(tr("&Interval:"), this);
    intervalCaption->setBuddy(Slider1);
    auto *intervalRow = new QHBoxLayout;
    intervalRow->addWidget(Slider1, 1);
    intervalRow->addWidget(m_intervalText);
    grid->addWidget(intervalCaption, 2, 0);
    grid->addLayout(intervalRow, 2, 1, 1, 2);
    showInterval(Slider1->value());

    m_watchAudio = new QCheckBox(tr("&Watch audio"), this);
    m_watchAudio->setObjectName(u"chkWatchAudio"_s);
    m_watchAudio->setToolTip(tr("Raise an alarm when this encoder's audio stays silent"));
    grid->addWidget(m_watchAudio, 3, 1, 1, 2, Qt::AlignLeft);
    showWatchAudio(false, false);
    m_levelControls = {levelCaption, VUMeter_,       lblVolume,   intervalCaption,
                       Slider1,      m_intervalText, m_watchAudio};
    keepRoomWhenHidden(m_levelControls);
    // clicked, not toggled: only the operator's own switch is sent on.
    connect(m_watchAudio, &QCheckBox::clicked, this, &DiagnosticsFrame::watchAudioToggled);

    connect(Slider1, &QSlider::valueChanged, this, [this](int milliseconds) {
        showInterval(milliseconds);
        Q_EMIT intervalChanged(milliseconds);
    });
}

void DiagnosticsFrame::showInterval(int milliseconds) {
    //: The level polling interval; %1 is a number of milliseconds.
    const QString text = tr("%1 ms").arg(milliseconds);
    m_intervalText->setText(text);
    Slider1->setToolTip(tr("Level polling interval: %1").arg(text));
}

void DiagnosticsFrame::showWatchAudio(bool available, bool watched) {
    m_watchAudio->setEnabled(available);
    m_watchAudio->setChecked(available && watched);
}

void DiagnosticsFrame::resetLevel(bool meterEnabled) {
    // Only an encoder has a level: another element's shows none of the level controls.
    for (QWidget *w : std::as_const(m_levelControls))
        w->setVisible(meterEnabled);
    VUMeter_->setEnabled(meterEnabled);
    VUMeter_->reset();
    lblVolume->setText(levelDisplay(0).text);
}

} // namespace ondalink

namespace ondalink {

void DiagnosticsFrame::showPeak(quint32 peak) {
    const LevelDisplay display = levelDisplay(peak);
    VUMeter_->setMeterWidth(display.meterWidth);
    lblVolume->setText(display.text);
}

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/settings_dialog.h"

#include "status/reachability_monitor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

SettingsDialog::SettingsDialog(const StatusSettings &current, bool probingPermitted, QWidget *parent)
    : QDialog(parent), m_opened(current) {
    setObjectName(u"dlgSettings"_s);
    setWindowTitle(tr("Settings"));
    auto *layout = new QVBoxLayout(this);

    auto *reachability = new QGroupBox(tr("Reachability"), this);
    auto *reachabilityForm = new QFormLayout(reachability);
    m_probing = new QCheckBox(tr("&Probe every element"), reachability);
    m_probing->setObjectName(u"chkProbing"_s);
    reachabilityForm->addRow(m_probing);
    m_interval = new QSpinBox(reachability);
    m_interval->setObjectName(u"spnProbeInterval"_s);
    m_interval->setRange(kProbeIntervalMinS, kProbeIntervalMaxS);
    m_interval->setSuffix(tr(" s"));
    m_interval->setAccessibleName(tr("Probe interval in seconds"));
    m_interval->setToolTip(tr("From 2 seconds to 1 hour"));
    reachabilityForm->addRow(tr("Probe &interval:"), m_interval);
    m_permissionHint = new QLabel(reachability);
    m_permissionHint->setObjectName(u"lblProbingNotPermitted"_s);
    m_permissionHint->setWordWrap(true);
    m_permissionHint->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_permissionHint->setText(probingNotPermittedText());
    m_permissionHint->setAccessibleName(tr("Probing not permitted"));
    auto *hintIcon = new QLabel(reachability);
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    hintIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
    hintIcon->setAlignment(Qt::AlignTop);
    auto *hintRow = new QHBoxLayout;
    hintRow->addWidget(hintIcon);
    hintRow->addWidget(m_permissionHint, 1);
    reachabilityForm->addRow(hintRow);
    hintIcon->setVisible(!probingPermitted);
    m_permissionHint->setVisible(!probingPermitted);
    layout->addWidget(reachability);

    auto *silence = new QGroupBox(tr("Silence alarm of watched encoders"), this);
    auto *silenceForm = new QFormLayout(silence);
    m_threshold = new QDoubleSpinBox(silence);
    m_threshold->setObjectName(u"spnSilenceThreshold"_s);
    m_threshold->setRange(kSilenceThresholdMinDbfs, kSilenceThresholdMaxDbfs);
    m_threshold->setDecimals(1);
    m_threshold->setSingleStep(1.0);
    m_threshold->setSuffix(tr(" dBFS"));
    m_threshold->setAccessibleName(tr("Silence threshold in dBFS"));
    silenceForm->addRow(tr("Silent &below:"), m_threshold);
    m_hold = new QSpinBox(silence);
    m_hold->setObjectName(u"spnSilenceHold"_s);
    m_hold->setRange(kSilenceHoldMinS, kSilenceHoldMaxS);
    m_hold->setSuffix(tr(" s"));
    m_hold->setAccessibleName(tr("Hold time in seconds"));
    m_hold->setToolTip(tr("How long the level stays below the threshold before the alarm"));
    silenceForm->addRow(tr("&Hold time:"), m_hold);
    layout->addWidget(silence);

    auto *drift = new QGroupBox(tr("Element settings"), this);
    auto *driftForm = new QFormLayout(drift);
    m_driftCheck = new QCheckBox(tr("&Compare each element's settings with the database"), drift);
    m_driftCheck->setObjectName(u"chkDriftCheck"_s);
    driftForm->addRow(m_driftCheck);
    m_driftInterval = new QSpinBox(drift);
    m_driftInterval->setObjectName(u"spnDriftInterval"_s);
    m_driftInterval->setRange(kDriftCheckMinMin, kDriftCheckMaxMin);
    m_driftInterval->setSuffix(tr(" min"));
    m_driftInterval->setAccessibleName(tr("Settings comparison interval in minutes"));
    m_driftInterval->setToolTip(tr("From 1 minute to 24 hours"));
    driftForm->addRow(tr("Co&mpare every:"), m_driftInterval);
    layout->addWidget(drift);

    m_notifications = new QCheckBox(tr("Show alarms as &desktop notifications"), this);
    m_notifications->setObjectName(u"chkNotifications"_s);
    layout->addWidget(m_notifications);
    layout->addStretch(1);

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    buttons->setObjectName(u"buttons"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this, [this] {
        StatusSettings defaults;
        defaults.watchedElements = m_opened.watchedElements;
        showSettings(defaults);
    });
    layout->addWidget(buttons);

    connect(m_probing, &QCheckBox::toggled, this, &SettingsDialog::updateWidgets);
    connect(m_driftCheck, &QCheckBox::toggled, this, &SettingsDialog::updateWidgets);
    showSettings(current);
}

void SettingsDialog::showSettings(const StatusSettings &value) {
    const StatusSettings shown = value.normalized();
    m_probing->setChecked(shown.probingEnabled);
    m_interval->setValue(shown.probeIntervalS);
    m_threshold->setValue(shown.silenceThresholdDbfs);
    m_hold->setValue(shown.silenceHoldS);
    m_notifications->setChecked(shown.notificationsEnabled);
    m_driftCheck->setChecked(shown.driftCheckEnabled);
    m_driftInterval->setValue(shown.driftCheckMin);
    updateWidgets();
}

void SettingsDialog::updateWidgets() {
    m_interval->setEnabled(m_probing->isChecked());
    m_driftInterval->setEnabled(m_driftCheck->isChecked());
}

StatusSettings SettingsDialog::settings() const {
    StatusSettings value = m_opened;
    value.probingEnabled = m_probing->isChecked();
    value.probeIntervalS = m_interval->value();
    value.silenceThresholdDbfs = m_threshold->value();
    value.silenceHoldS = m_hold->value();
    value.notificationsEnabled = m_notifications->isChecked();
    value.driftCheckEnabled = m_driftCheck->isChecked();
    value.driftCheckMin = m_driftInterval->value();
    return value;
}

} // namespace ondalink

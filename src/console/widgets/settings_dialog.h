// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "status/status_settings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace ondalink {

// Tools > Settings…: how often elements are probed (or not at all), when an
// encoder's audio counts as silent, and whether alarms reach the desktop. Where
// this user may not send echoes, a hint says so and how the package allows it.
// The watched encoders pass through unchanged.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(const StatusSettings &current, bool probingPermitted, QWidget *parent = nullptr);

    // What the controls hold now, with the watched set it was opened with.
    StatusSettings settings() const;
    void showSettings(const StatusSettings &value);

private:
    void updateWidgets();

    StatusSettings m_opened;
    QCheckBox *m_probing = nullptr;
    QSpinBox *m_interval = nullptr;
    QDoubleSpinBox *m_threshold = nullptr;
    QSpinBox *m_hold = nullptr;
    QCheckBox *m_notifications = nullptr;
    QCheckBox *m_driftCheck = nullptr;
    QSpinBox *m_driftInterval = nullptr;
    QLabel *m_permissionHint = nullptr;
};

} // namespace ondalink

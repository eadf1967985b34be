// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLabel;
class QStatusBar;

namespace ondalink {

class StatusBarPresenter;

// The status bar's labels: the last outcome, cut rather than widening the window, and the counts.
class StatusBarView : public QObject {
    Q_OBJECT
public:
    StatusBarView(QStatusBar &bar, StatusBarPresenter &presenter);

    // Shows what the presenter says now.
    void updateWidgets();

private:
    StatusBarPresenter &m_presenter;
    QLabel *m_outcome = nullptr;
    QLabel *m_listed = nullptr;
    QLabel *m_online = nullptr;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

namespace ondalink {

class Discovery;

// frmPaging: the small modal window shown while a discovery waits for the elements' reports.
class PagingWindow : public QDialog {
    Q_OBJECT
public:
    explicit PagingWindow(QWidget *parent = nullptr);

    // How many elements the new database holds so far.
    void showStoredCount(int count);

private:
    QLabel *m_count = nullptr;
};

// Runs the discovery in a modal paging window: returns when its wait is over or the window was closed.
void runPaging(Discovery &discovery, QWidget *parent);

} // namespace ondalink

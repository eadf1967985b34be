// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/paging_window.h"

#include "link/discovery.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ondalink {

PagingWindow::PagingWindow(QWidget *parent) : QDialog(parent) {
    setObjectName(u"frmPaging"_s);
    setWindowTitle(tr("Paging network..."));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(tr("Please wait a few seconds while paging the network..."), this);
    layout->addWidget(text);
    auto *busy = new QProgressBar(this);
    busy->setRange(0, 0); // no known end: a busy indicator
    busy->setTextVisible(false);
    layout->addWidget(busy);
    m_count = new QLabel(this);
    m_count->setObjectName(u"lblStoredCount"_s);
    layout->addWidget(m_count);
    showStoredCount(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void runPaging(Discovery &discovery, QWidget *parent) {
    PagingWindow window(parent);
    QObject::connect(&discovery, &Discovery::storedCountChanged, &window, &PagingWindow::showStoredCount);
    QObject::connect(&discovery, &Discovery::finished, &window, [&window] {
        if (window.isVisible())
            window.accept();
    });
    // Closed early by the operator: the end of the wait still runs.
    QObject::connect(&window, &QDialog::finished, &discovery, &Discovery::cancel);
    // Started once the window's own loop runs, so that an immediate end can close it.
    QTimer::singleShot(0, &window, [&discovery] { discovery.start(); });
    window.exec();
}

void PagingWindow::showStoredCount(int count) {
    m_count->setText(count == 1 ? tr("1 element found") : tr("%1 elements found").arg(count));
}

} // namespace ondalink

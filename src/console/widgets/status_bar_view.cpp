// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/status_bar_view.h"

#include "console/presenters/status_bar_presenter.h"

#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace ondalink {

StatusBarView::StatusBarView(QStatusBar &bar, StatusBarPresenter &presenter)
    : QObject(&bar), m_presenter(presenter) {
    bar.setObjectName(u"statusBar"_s);
    m_outcome = new QLabel(&bar);
    m_outcome->setObjectName(u"lblLastOutcome"_s);
    // A long outcome is cut rather than widening the window; its tooltip has it whole.
    m_outcome->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_outcome->setTextFormat(Qt::PlainText);
    m_outcome->setAccessibleName(tr("Last action"));
    m_outcome->setContentsMargins(4, 0, 4, 0);
    bar.addWidget(m_outcome, 1);
    m_listed = new QLabel(&bar);
    m_listed->setObjectName(u"lblElementsListed"_s);
    m_online = new QLabel(&bar);
    m_online->setObjectName(u"lblElementsOnline"_s);
    for (QLabel *count : {m_listed, m_online}) {
        count->setTextFormat(Qt::PlainText);
        count->setContentsMargins(8, 0, 8, 0); // apart from each other and from the size grip
        bar.addPermanentWidget(count);
    }
    connect(&presenter, &StatusBarPresenter::changed, this, &StatusBarView::updateWidgets);
    updateWidgets();
}

void StatusBarView::updateWidgets() {
    const QString &outcome = m_presenter.outcome();
    m_outcome->setText(outcome);
    m_outcome->setToolTip(outcome);
    m_outcome->setAccessibleDescription(outcome);
    const QString listed = m_presenter.listedText();
    m_listed->setText(listed);
    m_listed->setAccessibleName(listed);
    const QString online = m_presenter.onlineText();
    m_online->setText(online);
    m_online->setAccessibleName(online);
    m_online->setVisible(m_presenter.onlineShown());
}

} // namespace ondalink

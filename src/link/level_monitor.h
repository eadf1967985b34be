// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace ondalink {

class ElementLink;
class Notifier;

// Audio level monitoring of the selected element: while enabled, a level request leaves on every
// tick of the poll timer, and every level reply's peak is reported. Off, a late reply reports no
// level at all.
class LevelMonitor : public QObject {
    Q_OBJECT
public:
    LevelMonitor(ElementLink &link, Notifier &notifier, QObject *parent = nullptr);

    // Enabling starts polling; disabling stops it and reports no level. Each change is signalled.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_poll.isActive(); }

    // The poll interval in milliseconds (at least 1). A running timer keeps running at the new interval.
    void setInterval(int milliseconds);
    int interval() const { return m_poll.interval(); }

Q_SIGNALS:
    void enabledChanged(bool enabled);
    // The peak of the latest reply, 0 for no level (a silent reply, or monitoring switched off).
    void peakChanged(quint32 peak);

private:
    void requestLevel();
    void showReply(const QByteArray &reply);

    ElementLink &m_link;
    Notifier &m_notifier;
    QTimer m_poll;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "link/element_addition.h"
#include "model/ipv4.h"

#include <QObject>
#include <QString>

class QLabel;

namespace ondalink {

class Clock;
class MainWindow;
class ReachabilityMonitor;

// The window's status bar: what the last action came to and when ("12:04:31  Configuration of ENC 2
// confirmed"), how many elements are listed and, while status probing runs, how many of them are
// online. It only listens: the message boxes say what they always said, this is said besides.
class StatusBarPresenter : public QObject {
    Q_OBJECT
public:
    StatusBarPresenter(MainWindow &window, ReachabilityMonitor &reachability, Clock &clock,
                       QObject *parent = nullptr);

    // Probing was switched on or off: the online count is shown only while it runs.
    void probingChanged();

    QLabel *outcomeLabel() const { return m_outcome; }
    QLabel *listedLabel() const { return m_listed; }
    QLabel *onlineLabel() const { return m_online; }

private:
    void connectLink();
    void connectCommands();
    // The outcome, stamped with the local time of day.
    void show(const QString &outcome);
    void discoveryEnded(int stored, int refused);
    void additionFinished(ElementAddition::Outcome outcome, const QString &key);
    void echoed(Ipv4Address address, const EchoResult &result);
    void databaseWritten();
    // The element of that colon-form MAC as the last load listed it.
    QString nameOf(const QString &mac) const;
    // The element pinged at that address: the one shown when it is stored there, else the first
    // listed there, else the address.
    QString nameAt(Ipv4Address address) const;
    void countListed();
    void recountOnline();
    void showOnline();

    MainWindow &m_window;
    ReachabilityMonitor &m_reachability;
    Clock &m_clock;
    QLabel *m_outcome = nullptr;
    QLabel *m_listed = nullptr;
    QLabel *m_online = nullptr;
    qsizetype m_onlineCount = 0;
    bool m_updating = false; // the discovery that runs is an update from the network
    int m_stored = 0;        // of the last discovery, for the update's silent elements
    int m_refused = 0;
    // The outcome shown includes the database write that follows it (a confirmation, an
    // attenuation, a discovery's last batch): that write is not an outcome of its own.
    bool m_writeIncluded = false;
};

} // namespace ondalink

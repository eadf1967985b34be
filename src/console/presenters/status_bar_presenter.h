// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_status.h"
#include "link/element_addition.h"
#include "model/ipv4.h"
#include "store/element_database.h"

#include <QObject>
#include <QString>

namespace ondalink {

class Clock;
class Discovery;
class ElementLink;
class ReachabilityMonitor;

// What the window's status bar says: what the last action came to and when ("12:04:31  Configuration
// of ENC 2 confirmed"), how many elements are listed and, while status probing runs, how many of them
// are online. It only listens: the message boxes say what they always said, this is said besides.
class StatusBarPresenter : public QObject {
    Q_OBJECT
public:
    // discovery is Auto Discovery, update the Elements menu's update from the network.
    StatusBarPresenter(ElementLink &link, Discovery &discovery, Discovery &update,
                       ReachabilityMonitor &reachability, Clock &clock, QObject *parent = nullptr);

    // What the list shows: the elements as the last load listed them, their count, the shown one.
    void setListing(const QList<ElementListing> &listing);
    void setListedCount(qsizetype count);
    void setShownMac(const QString &mac) { m_shownMac = mac; }
    // Probing was switched on or off: the online count is shown only while it runs.
    void probingChanged();

    // The outcomes of the database commands and of the operator's ping.
    void updateNotAnswered(qsizetype silent);
    void additionFinished(ElementAddition::Outcome outcome, const QString &key);
    void imported(int elements);
    void restored();
    void exported(int elements, const QString &path);
    void echoed(Ipv4Address address, const EchoResult &result);

    // The last outcome with its time of day; empty until something was done.
    const QString &outcome() const { return m_outcome; }
    QString listedText() const;
    QString onlineText() const;
    // Without probes the count would say nothing about the elements.
    bool onlineShown() const;

Q_SIGNALS:
    void changed();

private:
    void connectLink(ElementLink &link);
    // The outcome, stamped with the local time of day.
    void show(const QString &outcome);
    void discoveryEnded(int stored, int refused);
    void databaseWritten();
    // The element of that colon-form MAC as the last load listed it.
    QString nameOf(const QString &mac) const;
    // The element pinged at that address: the one shown when it is stored there, else the first
    // listed there, else the address.
    QString nameAt(Ipv4Address address) const;
    void recountOnline();

    ElementLink &m_link;
    ReachabilityMonitor &m_reachability;
    Clock &m_clock;
    QList<ElementListing> m_listing;
    QString m_shownMac;
    QString m_outcome;
    qsizetype m_listedCount = 0;
    qsizetype m_onlineCount = 0;
    bool m_updating = false; // the discovery that runs is an update from the network
    int m_stored = 0;        // of the last discovery, for the update's silent elements
    int m_refused = 0;
    // The outcome shown includes the database write that follows it (a confirmation, an
    // attenuation, a discovery's last batch): that write is not an outcome of its own.
    bool m_writeIncluded = false;
};

} // namespace ondalink

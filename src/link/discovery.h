// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace ondalink {

class ElementLink;

// What the paging window frmPaging and the main window do for a discovery.
class PagingView {
public:
    virtual ~PagingView() = default;
    // chkGetVolume set to 0, which stops level monitoring.
    virtual void clearGetVolume() = 0;
    // Hidden key list, element tree and encoder list ("<None>") emptied, meter width 0,
    // tree frame caption "Select element: (0 items)".
    virtual void emptyLists() = 0;
    // The paging window closes (its Form_Unload may follow; that is harmless).
    virtual void closePagingWindow() = 0;
};

// The Auto Discovery command's core: confirmation, the paging window's load and its timer Timer1.
// The database is recreated empty, one paging request leaves, and for the wait every report is
// stored; then the remote of the link is put back, AutoDiscoverAwaiting lowered and the tree reloaded.
class Discovery : public QObject {
    Q_OBJECT
public:
    Discovery(ElementLink &link, PagingView &view, QObject *parent = nullptr);

    // The three-line question; true only on Yes.
    bool confirm();

    // frmPaging load. When the database cannot be recreated or the paging request cannot be sent
    // anywhere, the operator is told at once and the wait ends without its three seconds.
    void Form_Load();
    // Timer1 tick: stop, put the remote back, lower the flag, reload the tree, close the window.
    void Timer1_Timer();
    // The window closed (also early): the tick's steps run if they have not run yet.
    void Form_Unload();

    bool waiting() const { return m_waiting; }
    // Elements stored in the new database so far (polled while waiting).
    int storedCount() const { return m_storedCount; }
    QTimer &Timer1() { return m_timer1; }

Q_SIGNALS:
    void storedCountChanged(int count);
    // The wait is over: remote restored, flag lowered, tree reloaded.
    void finished();

private:
    bool sendPagingRequest(QString *failure);
    void endWait();
    void pollStoredCount();

    ElementLink &m_link;
    PagingView &m_view;
    QTimer m_timer1;
    QTimer m_progress;
    bool m_waiting = false;
    QString m_savedHost;
    quint16 m_savedPort = 0;
    int m_storedCount = 0;
};

} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace ondalink {

class ElementLink;

// The core of Auto Discovery and of Update from network. Idle → (start) → Waiting → (the wait ends,
// the window is closed, or nothing could start) → Idle. Starting recreates the database empty
// (Replace) or keeps a copy of it as nms.ini.bak (Update) and sends one paging request; while it
// waits every report is stored; finishing lowers the link's discovery state and reloads the tree.
// Every way out goes through one finish.
class Discovery : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Waiting };
    // Replace: the database is what answers. Update: answering elements are stored or updated, the
    // others stay.
    enum class Mode { Replace, Update };

    Discovery(ElementLink &link, Mode mode = Mode::Replace, QObject *parent = nullptr);

    Mode mode() const { return m_mode; }
    // The mode's question; true only on Yes.
    bool confirm();

    // When the database cannot be recreated or the paging request cannot be sent anywhere, the
    // operator is told at once and the discovery finishes without its wait.
    void start();
    // The wait is cut short (the paging window was closed); nothing happens when idle.
    void cancel();

    State state() const { return m_state; }
    // Elements stored in the new database so far (polled while waiting).
    int storedCount() const { return m_storedCount; }

Q_SIGNALS:
    // Before anything else: level monitoring goes off and the lists empty.
    void starting();
    void storedCountChanged(int count);
    // Back to Idle: the link's discovery state is lowered and the tree reloaded.
    void finished();
    // An update has ended: the listed elements that did not answer (Element keys, file order).
    void notAnswered(const QStringList &keys);

private:
    void finish();
    void pollStoredCount();

    ElementLink &m_link;
    Mode m_mode;
    QStringList m_listedAtStart; // an update's elements before it paged
    QTimer m_wait;
    QTimer m_progress;
    State m_state = State::Idle;
    int m_storedCount = 0;
    bool m_recreated = false; // the count polled is this discovery's
    friend class DiscoveryTestPeer;
};

} // namespace ondalink

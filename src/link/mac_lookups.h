// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace ondalink {

class MacResolver;

// The MAC lookups of reported addresses, none of which holds up another. An address is looked up
// once however many reports wait for it; at most maxInFlight addresses are retried at once (the
// others wait their turn), each for at most boundMs. Every lookup started ends exactly once.
class MacLookups : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxInFlight = 64;

    MacLookups(MacResolver &resolver, int boundMs, int maxInFlight = kMaxInFlight, QObject *parent = nullptr);

    // One attempt, now: the colon-form MAC; an empty text when a hardware address of another length
    // was found; nullopt when there is none yet.
    std::optional<QString> tryNow(const QString &address);

    // Starts looking the address up, or joins the lookup under way.
    void start(const QString &address);
    bool isPending(const QString &address) const;
    int inFlight() const { return static_cast<int>(m_active.size()); }
    int waiting() const { return static_cast<int>(m_queued.size()); }
    // Every lookup is dropped without ending (the link is closing).
    void clear();

Q_SIGNALS:
    // The lookup of an address is over: its colon-form MAC, or an empty text when none was found
    // within the bound.
    void ended(const QString &address, const QString &mac);

private:
    struct Lookup {
        QString address;
        QElapsedTimer since;
    };
    void retry();
    void admit();
    void scheduleRetry();

    MacResolver &m_resolver;
    int m_boundMs;
    qsizetype m_maxInFlight;
    QList<Lookup> m_active;
    QList<QString> m_queued;
    QTimer m_retry;
    int m_retryMs = 1;
};

} // namespace ondalink

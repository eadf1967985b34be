// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted EchoProber: answers echoes from a queue and records what it was asked.
#pragma once

#include "diag/echo_prober.h"

#include <QList>

#include <deque>

namespace ondalink::testing {

// Replies are taken from the front of the queue; an empty queue times out.
class ScriptedProber : public EchoProber {
public:
    bool startSockets() override {
        ++starts;
        return startsOk;
    }
    void stopSockets() override { ++stops; }
    EchoReply echo(quint32 addressNetworkOrder, int timeoutMs) override {
        addresses.append(addressNetworkOrder);
        timeouts.append(timeoutMs);
        if (replies.empty())
            return EchoReply{kEchoTimedOut, 0};
        const EchoReply reply = replies.front();
        replies.pop_front();
        return reply;
    }

    std::deque<EchoReply> replies;
    bool startsOk = true;
    int starts = 0;
    int stops = 0;
    QList<quint32> addresses;
    QList<int> timeouts;
};

} // namespace ondalink::testing

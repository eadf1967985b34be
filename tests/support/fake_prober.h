// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted EchoProber: answers echoes from a queue and records what it was asked.
#pragma once

#include "diag/echo_prober.h"

#include <QList>

#include <deque>

namespace ondalink::testing {

// Results are taken from the front of the queue; an empty queue times out.
class ScriptedProber : public EchoProber {
public:
    bool startNetworking() override {
        ++starts;
        return startsOk;
    }
    void stopNetworking() override { ++stops; }
    EchoResult echo(Ipv4Address address, int /*timeoutMs*/) override {
        addresses.append(address);
        if (results.empty())
            return EchoResult{EchoStatus::TimedOut, 0};
        const EchoResult result = results.front();
        results.pop_front();
        return result;
    }

    std::deque<EchoResult> results;
    bool startsOk = true;
    int starts = 0;
    int stops = 0;
    QList<Ipv4Address> addresses;
};

} // namespace ondalink::testing

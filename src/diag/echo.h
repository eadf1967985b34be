// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diag/echo_prober.h"

namespace ondalink {

inline constexpr int kEchoTimeoutMs = 1000;

// One echo to the address with the usual time-out. 0.0.0.0 and 255.255.255.255 name no single host:
// Unknown without an echo.
EchoResult echoOnce(Ipv4Address address, EchoProber &prober);

} // namespace ondalink

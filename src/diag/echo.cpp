// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/echo.h"

namespace ondalink {

EchoResult echoOnce(Ipv4Address address, EchoProber &prober) {
    if (address.value == 0 || address.value == 0xFFFFFFFFu)
        return EchoResult{EchoStatus::Unknown, 0};
    return prober.echo(address, kEchoTimeoutMs);
}

} // namespace ondalink

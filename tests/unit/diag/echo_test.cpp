// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/echo.h"

#include "fake_prober.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

TEST(EchoStatusText, EveryStatusHasItsOwnTextAndOnlyUnknownIsUnknownResponse) {
    QSet<QString> seen;
    for (int s = 0; s <= int(EchoStatus::Unknown); ++s) {
        const auto status = EchoStatus(s);
        const QString text = echoStatusText(status);
        EXPECT_FALSE(text.isEmpty()) << s;
        EXPECT_FALSE(seen.contains(text)) << s << " repeats " << text.toStdString();
        seen.insert(text);
        EXPECT_EQ(text == u"Unknown Response"_s, status == EchoStatus::Unknown) << s;
    }
    EXPECT_EQ(echoStatusText(EchoStatus::TimedOut), u"Request Timed Out"_s);
}

TEST(EchoOnce, ProbesOneHostWithTheUsualTimeOut) {
    // clang-format off
    const struct { const char *name; quint32 address; bool probed; } rows[] = {
        {"a host", 0xC0A8010A, true},
        {"lowest host", 0x00000001, true},
        {"highest host", 0xFFFFFFFE, true},
        {"no host: 0.0.0.0", 0, false},
        {"no host: limited broadcast", 0xFFFFFFFF, false},
    };
    // clang-format on
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        testing::ScriptedProber prober;
        prober.results.push_back(EchoResult{EchoStatus::Success, 17});
        const EchoResult result = echoOnce(Ipv4Address{row.address}, prober);
        EXPECT_EQ(prober.addresses, row.probed ? QList{Ipv4Address{row.address}} : QList<Ipv4Address>{});
        EXPECT_EQ(prober.timeouts, row.probed ? QList<int>{1000} : QList<int>{});
        EXPECT_EQ(result.status, row.probed ? EchoStatus::Success : EchoStatus::Unknown);
        EXPECT_EQ(result.roundTripMs, row.probed ? 17 : 0);
    }
}

} // namespace
} // namespace ondalink

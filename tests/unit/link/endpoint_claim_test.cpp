// SPDX-License-Identifier: GPL-3.0-or-later
// One program of ours per host on the elements' port: the second is told who the first is, and
// the claim goes with the first.
#include "claim_in_thread.h"
#include "fakes.h"
#include "link/element_link.h"
#include "store/element_database.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

quint16 freePort() {
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return socket.localPort();
}

TEST(EndpointClaim, TheSecondProgramHearsWhoHoldsThePortUntilItIsGone) {
    const quint16 port = freePort();
    testing::ClaimInThread service(port, u"ondalink-nmsd"_s);
    ASSERT_TRUE(service.held());

    EndpointClaim window(port, u"ondalink-nms"_s);
    EXPECT_FALSE(window.acquire());
    EXPECT_TRUE(window.holder().startsWith(
        u"ondalink-nmsd, process %1, user "_s.arg(QCoreApplication::applicationPid())))
        << qPrintable(window.holder());
    // Another port is another claim.
    EndpointClaim other(freePort() + 1, u"ondalink-nms"_s);
    EXPECT_TRUE(other.acquire());

    service.release();
    EXPECT_TRUE(window.acquire());
    EXPECT_TRUE(window.holder().isEmpty());
}

TEST(EndpointClaim, TheLinkDoesNotBindWhileAnotherOfOursHoldsThePort) {
    QTemporaryDir dir;
    ElementDatabase database(dir.filePath(u"nms.ini"_s));
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    LinkSettings settings;
    settings.bindAddress = QHostAddress(QHostAddress::LocalHost);
    settings.localPort = freePort();
    settings.endpointOwner = u"ondalink-nms"_s;
    testing::ClaimInThread service(settings.localPort, u"ondalink-nmsd"_s);
    ElementLink link(
        database, notifier, resolver, [] { return ConfigurationWrite{}; }, settings);
    EXPECT_FALSE(link.open());
    EXPECT_TRUE(link.endpointHolder().startsWith(u"ondalink-nmsd, process "_s))
        << qPrintable(link.endpointHolder());

    service.release();
    EXPECT_TRUE(link.open());
    EXPECT_TRUE(link.endpointHolder().isEmpty());
    // Now this link holds it: a second one is refused before it tries the port. (From this same
    // thread the holder cannot answer, so it is only "another program" here.)
    ElementLink second(
        database, notifier, resolver, [] { return ConfigurationWrite{}; }, settings);
    EXPECT_FALSE(second.open());
    EXPECT_FALSE(second.endpointHolder().isEmpty());
}

} // namespace
} // namespace ondalink

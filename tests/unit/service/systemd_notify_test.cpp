// SPDX-License-Identifier: GPL-3.0-or-later
// What the service tells systemd, read from a notification socket of our own as systemd would
// read it; and the watchdog's keep-alive at half the interval the unit sets.
#include "service/systemd_notify.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

class NotifySocket {
public:
    NotifySocket() {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(m_dir.filePath(u"notify"_s));
        std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        qputenv("NOTIFY_SOCKET", path);
    }
    ~NotifySocket() {
        qunsetenv("NOTIFY_SOCKET");
        ::close(m_fd);
    }
    NotifySocket(const NotifySocket &) = delete;
    NotifySocket &operator=(const NotifySocket &) = delete;

    bool bound() const { return m_bound; }
    // Every datagram waiting, each one message.
    QList<QByteArray> received() const {
        QList<QByteArray> all;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0)
            all.append(QByteArray(buffer, static_cast<qsizetype>(n)));
        return all;
    }

private:
    QTemporaryDir m_dir;
    int m_fd = -1;
    bool m_bound = false;
};

TEST(SystemdNotify, ReadyStatusAndStoppingReachTheSocketSystemdNames) {
    NotifySocket socket;
    ASSERT_TRUE(socket.bound());
    qunsetenv("WATCHDOG_USEC");
    SystemdNotify notify;
    EXPECT_EQ(notify.watchdogIntervalMs(), 0);
    notify.ready(u"4 elements: 3 online, 1 offline, 0 silent"_s);
    notify.status(u"4 elements: 4 online, 0 offline, 0 silent"_s);
    notify.stopping();
    EXPECT_EQ(socket.received(),
              (QList<QByteArray>{"READY=1\nSTATUS=4 elements: 3 online, 1 offline, 0 silent",
                                 "STATUS=4 elements: 4 online, 0 offline, 0 silent", "STOPPING=1"}));
}

TEST(SystemdNotify, TheWatchdogIsFedAtHalfItsIntervalFromTheEventLoop) {
    NotifySocket socket;
    ASSERT_TRUE(socket.bound());
    qputenv("WATCHDOG_USEC", "400000");
    SystemdNotify notify;
    qunsetenv("WATCHDOG_USEC");
    EXPECT_EQ(notify.watchdogIntervalMs(), 200);
    QTest::qWait(500);
    const QList<QByteArray> fed = socket.received();
    EXPECT_GE(fed.size(), 2);
    for (const QByteArray &message : fed)
        EXPECT_EQ(message, "WATCHDOG=1");
    notify.stopping();
    QTest::qWait(300);
    EXPECT_EQ(socket.received(), QList<QByteArray>{"STOPPING=1"});
}

} // namespace
} // namespace ondalink

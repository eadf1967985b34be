// SPDX-License-Identifier: GPL-3.0-or-later
// Network namespaces for tests that need real ICMP and ARP without leaving the machine.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QProcess>
#include <QSemaphore>
#include <QStringList>
#include <QThread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <optional>

namespace ondalink::testing {

// Named namespaces made with iproute2 and removed again when the lab goes.
class NetnsLab {
public:
    NetnsLab()
        : m_prefix(QStringLiteral("odiag%1x%2").arg(QCoreApplication::applicationPid()).arg(s_labs++)) {}
    ~NetnsLab() {
        for (const QString &name : std::as_const(m_names))
            QProcess::execute(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("del"), name});
    }
    NetnsLab(const NetnsLab &) = delete;
    NetnsLab &operator=(const NetnsLab &) = delete;

    // Why this machine cannot host a lab, or nullopt when it can.
    static std::optional<QString> unavailable() {
        if (::geteuid() != 0)
            return QStringLiteral("network namespaces need root");
        NetnsLab probe;
        if (!probe.add(QStringLiteral("probe")))
            return QStringLiteral("'ip netns add' failed: no iproute2 or no permission");
        return std::nullopt;
    }

    QString full(const QString &ns) const { return m_prefix + ns; }
    QString path(const QString &ns) const { return QStringLiteral("/run/netns/") + full(ns); }

    // A namespace with its loopback up.
    bool add(const QString &ns) {
        if (QProcess::execute(QStringLiteral("ip"),
                              {QStringLiteral("netns"), QStringLiteral("add"), full(ns)}) != 0)
            return false;
        m_names.append(full(ns));
        return ip(ns, QStringLiteral("link set lo up"));
    }
    // "ip -n <ns> <words>".
    bool ip(const QString &ns, const QString &words) {
        return QProcess::execute(QStringLiteral("ip"), QStringList{QStringLiteral("-n"), full(ns)} +
                                                           words.split(QLatin1Char(' '))) == 0;
    }
    bool sysctl(const QString &ns, const QString &setting) {
        return QProcess::execute(QStringLiteral("ip"),
                                 {QStringLiteral("netns"), QStringLiteral("exec"), full(ns),
                                  QStringLiteral("sysctl"), QStringLiteral("-qw"), setting}) == 0;
    }
    // A veth pair between two namespaces, each end addressed "a.b.c.d/len" (empty: none).
    bool link(const QString &nsA, const QString &endA, const QString &addressA, const QString &nsB,
              const QString &endB, const QString &addressB) {
        if (QProcess::execute(QStringLiteral("ip"),
                              {QStringLiteral("link"), QStringLiteral("add"), endA, QStringLiteral("netns"),
                               full(nsA), QStringLiteral("type"), QStringLiteral("veth"),
                               QStringLiteral("peer"), QStringLiteral("name"), endB, QStringLiteral("netns"),
                               full(nsB)}) != 0)
            return false;
        return configure(nsA, endA, addressA) && configure(nsB, endB, addressB);
    }

private:
    bool configure(const QString &ns, const QString &end, const QString &address) {
        if (!address.isEmpty() && !ip(ns, QStringLiteral("addr add %1 dev %2").arg(address, end)))
            return false;
        return ip(ns, QStringLiteral("link set %1 up").arg(end));
    }

    inline static int s_labs = 0;
    QString m_prefix;
    QStringList m_names;
};

// A thread that lives in a named namespace and runs what it is given there, one call at a time.
class NamespaceThread : public QThread {
public:
    explicit NamespaceThread(QString nsPath) : m_path(std::move(nsPath)) { m_context.moveToThread(this); }
    ~NamespaceThread() override {
        quit();
        wait();
    }

    // Starts the thread; false when it could not enter the namespace.
    bool enter() {
        start();
        m_entered.acquire();
        return m_inside;
    }

    template <typename F> auto call(F f) -> decltype(f()) {
        decltype(f()) result{};
        QMetaObject::invokeMethod(
            &m_context, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }

    // Takes CAP_NET_RAW from the calling thread only.
    static bool dropNetRaw() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) != 0)
            return false;
        data[0].effective &= ~(1U << CAP_NET_RAW);
        data[0].permitted &= ~(1U << CAP_NET_RAW);
        return ::syscall(SYS_capset, &header, data) == 0;
    }

protected:
    void run() override {
        const int fd = ::open(m_path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        m_inside = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0)
            ::close(fd);
        m_entered.release();
        if (m_inside)
            exec();
    }

private:
    QString m_path;
    QObject m_context;
    QSemaphore m_entered;
    bool m_inside = false;
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// Network namespaces of this machine, named after this process so that parallel runs do not meet.
#pragma once

#include "model/unique_fd.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <optional>
#include <thread>
#include <vector>

namespace ondalink::testing {

class NetNamespaces {
public:
    explicit NetNamespaces(const QString &stem)
        : m_prefix(stem + QString::number(QCoreApplication::applicationPid())) {}

    // The script, its lines joined, with @ standing for this process's prefix of namespace names.
    bool sh(QString script) const {
        script.replace(u'@', m_prefix);
        return QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), script.replace(u'\n', u' ')}) ==
               0;
    }

    // f on a thread of its own inside the namespace @name, optionally as nobody with only the given
    // supplementary groups (which drops CAP_NET_RAW): setns and the raw id system calls change the
    // calling thread only.
    template <typename F>
    auto run(const QString &name, std::optional<std::vector<gid_t>> nobodyWithGroups, F f) const {
        decltype(f()) result{};
        std::thread([&] {
            const UniqueFd fd(
                ::open(qPrintable(QStringLiteral("/run/netns/") + m_prefix + name), O_RDONLY | O_CLOEXEC));
            const bool entered = fd && ::setns(fd.get(), CLONE_NEWNET) == 0;
            const bool becameNobody =
                !nobodyWithGroups ||
                (::syscall(SYS_setgroups, nobodyWithGroups->size(), nobodyWithGroups->data()) == 0 &&
                 ::syscall(SYS_setresgid, 65534, 65534, 65534) == 0 &&
                 ::syscall(SYS_setresuid, 65534, 65534, 65534) == 0);
            if (entered && becameNobody)
                result = f();
            else
                ADD_FAILURE() << "cannot enter the namespace as asked";
        }).join();
        return result;
    }

private:
    QString m_prefix;
};

} // namespace ondalink::testing

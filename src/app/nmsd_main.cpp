// SPDX-License-Identifier: GPL-3.0-or-later
// The monitoring service: the status of every element without a window, for the facility's own
// monitoring (SNMP, Prometheus, the journal).
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "service/agentx/agentx_subagent.h"
#include "service/journal.h"
#include "service/log_notifier.h"
#include "service/metrics/metrics_server.h"
#include "service/monitoring_service.h"
#include "service/systemd_notify.h"
#include "status/clock.h"
#include "status/reachability_monitor.h"
#include "store/atomic_file.h"

#include <ondalink/version.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line) {
    std::fprintf(stderr, "ondalink-nmsd: %s\n", line.toLocal8Bit().constData());
}

// The configuration: the file named, or the default one; a missing default means every default.
std::optional<ondalink::ServiceConfig> readConfig(const QString &named) {
    const QString path = named.isEmpty() ? QString::fromLatin1(ondalink::kDefaultConfigPath) : named;
    if (named.isEmpty() && !QFileInfo::exists(path)) {
        say(u"%1 does not exist: running with the defaults"_s.arg(path));
        return ondalink::ServiceConfig{};
    }
    const ondalink::FileContents contents = ondalink::readWholeFile(path);
    if (contents.status != ondalink::FileContents::Status::Read) {
        say(u"cannot read the configuration %1: %2"_s.arg(path, contents.error.isEmpty() ? u"no such file"_s
                                                                                         : contents.error));
        return std::nullopt;
    }
    ondalink::ConfigResult result = ondalink::parseServiceConfig(contents.bytes);
    if (!result.config)
        say(result.error.text(path));
    return result.config;
}

// SIGTERM (systemctl stop) and SIGINT end the event loop, read from a descriptor so that the
// shutdown runs as ordinary code.
std::unique_ptr<QSocketNotifier> quitOnSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int fd = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [fd] {
        signalfd_siginfo info{};
        while (::read(fd, &info, sizeof info) == sizeof info) {
        }
        QCoreApplication::quit();
    });
    return notifier;
}

QString statusLine(const ondalink::StatusBoard &board) {
    int online = 0, offline = 0, silent = 0;
    for (const ondalink::BoardRow &row : board.rows()) {
        online += row.status == ondalink::ElementStatus::Online ? 1 : 0;
        offline += row.status == ondalink::ElementStatus::Offline ? 1 : 0;
        silent += row.silence == ondalink::SilenceState::Silent ? 1 : 0;
    }
    return u"%1 elements: %2 online, %3 offline, %4 silent"_s.arg(board.rows().size())
        .arg(online)
        .arg(offline)
        .arg(silent);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // The same names as the window's, so that the default database is the one the window uses.
    QCoreApplication::setOrganizationName(u"Korvalen"_s);
    QCoreApplication::setApplicationName(u"ondalink-nms"_s);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ondalink::kProgramVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Watches every element of the link's database (reachability, silence) and publishes their "
        "status to SNMP (AgentX), Prometheus and the systemd journal."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(
        u"config"_s,
        u"The configuration file (default %1)."_s.arg(QLatin1StringView(ondalink::kDefaultConfigPath)),
        u"FILE"_s);
    const QCommandLineOption databaseOption(
        u"database"_s, u"The element database, instead of the configuration's."_s, u"PATH"_s);
    const QCommandLineOption checkOption(u"check"_s, u"Check the configuration and exit."_s);
    parser.addOptions({configOption, databaseOption, checkOption});
    parser.process(app);

    std::optional<ondalink::ServiceConfig> config = readConfig(parser.value(configOption));
    if (!config)
        return 2;
    if (parser.isSet(databaseOption))
        config->database = parser.value(databaseOption);
    if (parser.isSet(checkOption)) {
        say(u"the configuration is good"_s);
        return 0;
    }

    const auto signals = quitOnSignals();
    ondalink::SystemdNotify systemd;
    ondalink::LogNotifier notifier;
    ondalink::NeighbourResolver resolver;
    ondalink::AsyncIcmpProber prober;
    ondalink::LinkSettings link;
    link.endpointOwner = u"ondalink-nmsd"_s;
    ondalink::MonitoringService service(*config, {prober, ondalink::systemClock(), resolver, notifier}, link);
    std::unique_ptr<ondalink::JournalWriter> journal;
    if (config->journal)
        journal = std::make_unique<ondalink::JournalWriter>(service.eventLog());

    QString error;
    if (!service.start(&error)) {
        say(error);
        return 1;
    }
    if (!prober.isPermitted())
        say(u"ICMP echoes are not permitted here: statuses stay Unknown but for reports and level "
            "replies (net.ipv4.ping_group_range, or the CAP_NET_RAW capability)"_s);
    QObject::connect(&service, &ondalink::MonitoringService::reloadFailed,
                     [](const QString &why) { say(why); });

    QStringList serving;
    serving << u"database %1"_s.arg(service.databasePath());
    std::unique_ptr<ondalink::AgentxSubagent> agent;
    if (config->agentx.enabled) {
        agent = std::make_unique<ondalink::AgentxSubagent>(service.board());
        if (!agent->start(config->agentx, &error)) {
            say(error);
            return 1;
        }
        serving << u"AgentX at %1 (%2)"_s.arg(config->agentx.socket.isEmpty() ? u"the default socket"_s
                                                                              : config->agentx.socket,
                                              agent->isConnected() ? u"connected"_s : u"not reachable yet"_s);
    }
    std::unique_ptr<ondalink::MetricsServer> metrics;
    if (config->metrics.enabled) {
        metrics = std::make_unique<ondalink::MetricsServer>(service.board());
        if (!metrics->listen(config->metrics, &error)) {
            say(error);
            return 1;
        }
        serving << u"Prometheus on %1:%2"_s.arg(config->metrics.address.toString()).arg(metrics->port());
    }

    const ondalink::StatusBoard &board = service.board();
    QObject::connect(&board, &ondalink::StatusBoard::statusChanged, &systemd,
                     [&] { systemd.status(statusLine(board)); });
    QObject::connect(&board, &ondalink::StatusBoard::listingReplaced, &systemd,
                     [&] { systemd.status(statusLine(board)); });
    say(u"ready: "_s + serving.join(u", "_s) + u"; "_s + statusLine(board));
    systemd.ready(statusLine(board));
    const int code = QCoreApplication::exec();
    systemd.stopping();
    say(u"stopping"_s);
    return code;
}

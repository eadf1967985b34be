// SPDX-License-Identifier: GPL-3.0-or-later
// A status board of N made-up elements served by the AgentX subagent, for timing a walk of a large
// table against a real snmpd, and for driving the notifications by hand: each line on stdin,
// "offline I", "online I", "silent I" or "sounding I", changes element I (from 1).
// Usage: agentx_board SOCKET ROWS [PING_SECONDS]
#include "service/agentx/agentx_subagent.h"
#include "service/status_board.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

using namespace ondalink;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: agentx_board SOCKET ROWS [PING_SECONDS]\n", stderr);
        return 2;
    }
    const int rows = args.at(2).toInt();
    StatusBoard board;
    QList<StatusBoard::Listed> listed;
    for (int i = 1; i <= rows; ++i) {
        const QString key = QStringLiteral("024F4C02%1").arg(i, 4, 16, QLatin1Char('0')).toUpper();
        listed.append({key, QStringLiteral("ELEMENT %1").arg(i),
                       QStringLiteral("10.78.%1.%2").arg(i / 200).arg(10 + i % 200),
                       i % 2 ? ElementRole::Encoder : ElementRole::Decoder});
    }
    board.replaceListing(listed);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const StatusBoard::Listed &l : listed)
        board.setReachability(l.key, ElementStatus::Online, now, 3);

    AgentxSubagent agent(board);
    AgentxOptions options;
    options.socket = args.at(1);
    options.pingIntervalSeconds = args.size() > 3 ? args.at(3).toInt() : 1;
    QString error;
    if (!agent.start(options, &error)) {
        std::fprintf(stderr, "agentx_board: %s\n", qPrintable(error));
        return 1;
    }
    QObject::connect(&agent, &AgentxSubagent::connectedChanged, &app, [](bool connected) {
        std::fprintf(stderr, "agentx_board: %s\n", connected ? "connected" : "disconnected");
    });
    std::fprintf(stderr, "agentx_board: ready%s\n", agent.isConnected() ? " (connected)" : "");

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QTextStream in(stdin);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        const QString line = in.readLine();
        if (line.isNull()) {
            app.quit();
            return;
        }
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() != 2)
            return;
        const int i = words.at(1).toInt();
        if (i < 1 || i > listed.size())
            return;
        const QString &key = listed.at(i - 1).key;
        const QString &what = words.at(0);
        if (what == QLatin1String("offline"))
            board.setReachability(key, ElementStatus::Offline, now, std::nullopt);
        else if (what == QLatin1String("online"))
            board.setReachability(key, ElementStatus::Online, QDateTime::currentDateTimeUtc(), 4);
        else if (what == QLatin1String("silent"))
            board.setSilence(key, SilenceState::Silent);
        else if (what == QLatin1String("sounding"))
            board.setSilence(key, SilenceState::Sounding);
    });
    return QCoreApplication::exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the crash script on nms.ini in the given folder and prints the number of each finished step,
// unbuffered, so that whoever kills it knows how far it got. Usage: crash_worker FOLDER SEED
#include "crash_script.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/nms.ini");
    ondalink::testing::runCrashScript(quint32(std::strtoul(argv[2], nullptr, 10)), path, [](int step) {
        char line[16];
        const int length = std::snprintf(line, sizeof line, "%d\n", step);
        (void)!::write(STDOUT_FILENO, line, size_t(length));
    });
    return 0;
}

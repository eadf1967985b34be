// SPDX-License-Identifier: GPL-3.0-or-later
// SIGKILL at random moments of discoveries and attenuation writes: nms.ini and nms.ini.bak always
// hold what one finished step left, or the next one, and always parse. ONDALINK_CRASH_KILLS sets
// how many kills (200 unless told).
#include "store/atomic_file.h"
#include "store/ini_text.h"
#include "window_fixture.h"
#include "worker/crash_script.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <optional>
#include <random>

namespace ondalink::testing {
namespace {

using namespace Qt::StringLiterals;
using State = std::optional<QByteArray>; // nullopt: no file

State stateOf(const QString &path) {
    const FileContents contents = readWholeFile(path);
    return contents.status == FileContents::Status::Read ? State(contents.bytes) : std::nullopt;
}

QStringList temporaries(const QString &folder) {
    return QDir(folder).entryList({u".nms.ini*.tmp"_s}, QDir::Files | QDir::Hidden);
}

// A kill loses no page cache: what it tests is the same on tmpfs, where a step costs no disk flush.
QString scratch() {
    const QString base = QDir(u"/dev/shm"_s).exists() ? u"/dev/shm"_s : QDir::tempPath();
    return base + u"/ondalink-crash-XXXXXX"_s;
}

// The states after each step; index 0 is before the first.
struct States {
    QList<State> ini{std::nullopt};
    QList<State> bak{std::nullopt};
};

States referenceRun(quint32 seed) {
    QTemporaryDir dir(scratch());
    const QString path = dir.filePath(u"nms.ini"_s);
    States run;
    runCrashScript(seed, path, [&](int) {
        run.ini.append(stateOf(path));
        run.bak.append(stateOf(path + u".bak"_s));
    });
    return run;
}

TEST(CrashSafety, AKillLeavesTheFilesOfAFinishedStepOrOfTheNext) {
    const int kills = qEnvironmentVariableIsSet("ONDALINK_CRASH_KILLS")
                          ? qEnvironmentVariableIntValue("ONDALINK_CRASH_KILLS")
                          : 200;
    const quint32 seed = std::random_device()();
    RecordProperty("seed", int(seed));
    const States run = referenceRun(seed);
    ASSERT_GT(run.ini.size(), kCrashScriptSteps);

    std::mt19937 random(seed);
    for (int kill = 0; kill < kills; ++kill) {
        QTemporaryDir dir(scratch());
        QProcess worker;
        QByteArray output;
        QObject::connect(&worker, &QProcess::readyReadStandardOutput,
                         [&] { output += worker.readAllStandardOutput(); });
        worker.start(QStringLiteral(ONDALINK_CRASH_WORKER), {dir.path(), QString::number(seed)});
        ASSERT_TRUE(worker.waitForStarted());
        // Killed once it has finished a chosen number of steps, and a chosen number of microseconds on.
        const int steps = int(random() % 120);
        ASSERT_TRUE(runUntil(
            [&] { return output.count('\n') >= steps || worker.state() == QProcess::NotRunning; }, 60000));
        const qint64 extraNs = qint64(random() % 3000) * 1000;
        QElapsedTimer spin;
        spin.start();
        while (spin.nsecsElapsed() < extraNs) {
        }
        ::kill(pid_t(worker.processId()), SIGKILL);
        ASSERT_TRUE(worker.waitForFinished());
        output += worker.readAllStandardOutput();

        const QList<QByteArray> lines = output.trimmed().split('\n');
        const int finished = output.trimmed().isEmpty() ? 0 : lines.last().toInt() + 1; // steps finished
        ASSERT_LT(finished, run.ini.size());
        const QString path = dir.filePath(u"nms.ini"_s);
        const State ini = stateOf(path);
        const State bak = stateOf(path + u".bak"_s);
        const int next = qMin(finished + 1, int(run.ini.size()) - 1);
        EXPECT_TRUE(ini == run.ini[finished] || ini == run.ini[next])
            << "kill " << kill << " after step " << finished;
        EXPECT_TRUE(bak == run.bak[finished] || bak == run.bak[next])
            << "kill " << kill << " after step " << finished;
        QString error;
        ElementDatabase(path).listing(&error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();

        // A killed write may leave its temporary file; start-up removes it, and nothing else.
        const QStringList left = temporaries(dir.path());
        EXPECT_EQ(removeStaleTemporaries(path, 0) + removeStaleTemporaries(path + u".bak"_s, 0), left.size());
        EXPECT_EQ(stateOf(path), ini);
        EXPECT_TRUE(temporaries(dir.path()).isEmpty());
    }
}

TEST(CrashSafety, StartUpRemovesOnlyStaleTemporariesOfOurs) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nms.ini"_s);
    ASSERT_TRUE(replaceFileAtomically(path, "[A]\r\nK=1\r\n"));
    const struct {
        const char *name;
        bool old;
        bool removed;
    } files[] = {
        {".nms.ini.0123456789abcdef.tmp", true, true},    {".nms.ini.bak.0123456789abcdef.tmp", true, true},
        {".nms.ini.0123456789abcdef.tmp.x", true, false}, {".nms.ini.0123456789ABCDEF.tmp", true, false},
        {".other.ini.0123456789abcdef.tmp", true, false}, {".nms.ini.fedcba9876543210.tmp", false, false},
    };
    for (const auto &f : files) {
        QFile file(dir.filePath(QString::fromLatin1(f.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QDateTime modified = QDateTime::currentDateTime().addSecs(f.old ? -120 : 0);
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(ElementDatabase(path).removeStaleTemporaries(), 2);
    for (const auto &f : files) {
        EXPECT_EQ(QFile::exists(dir.filePath(QString::fromLatin1(f.name))), !f.removed) << f.name;
    }
    EXPECT_EQ(stateOf(path), State("[A]\r\nK=1\r\n"));
}

} // namespace
} // namespace ondalink::testing

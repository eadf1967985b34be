// SPDX-License-Identifier: GPL-3.0-or-later
// A write that cannot complete leaves the old file exactly as it was and nothing else behind.
#include "ini_fixture.h"
#include "store/atomic_file.h"
#include "store/profile_file.h"

#include <QFileInfo>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using AtomicWrite = testing::IniFileTest;

const QByteArray kOld = "[S]\r\nK=old\r\n[PAD]\r\nP=" + QByteArray(8192, 'p') + "\r\n";

// Every changing operation, each asked to really change something in kOld (a write of several keys
// takes the path of a write of one).
const std::function<bool(const QString &)> kChanges[] = {
    [](const QString &p) { return WriteToINI(u"N"_s, u"K"_s, u"new"_s, p); },
    [](const QString &p) { return DeleteIniSection(u"S"_s, p); },
    [](const QString &p) { return DeleteIniKey(u"S"_s, u"K"_s, p); },
    [](const QString &p) { return RenameIniKey(u"S"_s, u"K"_s, u"J"_s, p); },
    [](const QString &p) { return RenameIniSection(u"S"_s, u"R"_s, p); },
};

TEST_F(AtomicWrite, AReadOnlyFileIsRefusedAndAFullDiskKeepsTheOldBytes) {
    for (const auto &change : kChanges) {
        put(kOld);
        ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
        EXPECT_FALSE(change(path()));
        EXPECT_EQ(bytes(), kOld);
        ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));

        // The file-size limit fails write() with EFBIG, as a full disk fails it with ENOSPC.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_FALSE(change(path()));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        EXPECT_EQ(bytes(), kOld);
        EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
    }
    QString error;
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    EXPECT_FALSE(replaceFileAtomically(path(), "x", &error));
    EXPECT_TRUE(error.contains(path())) << error.toStdString();
}

TEST_F(AtomicWrite, ADirectoryOrAMissingFolderIsNeverWritten) {
    ASSERT_TRUE(QDir(folder()).mkdir(u"nms.ini"_s));
    EXPECT_FALSE(WriteToINI(u"S"_s, u"K"_s, u"v"_s, path()));
    EXPECT_FALSE(WriteToINI(u"S"_s, u"K"_s, u"v"_s, folder() + u"/missing/nms.ini"_s));
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(std::pair(readWholeFile(path()).status, readWholeFile(folder() + u"/missing/nms.ini"_s).status),
              std::pair(FileContents::Status::Failed, FileContents::Status::Missing));
}

TEST_F(AtomicWrite, AReplacementKeepsTheModeAndALinkStaysALink) {
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                      QFile::ReadOther | QFile::WriteOther; // more than the umask lets a new file have
    const QString target = folder() + u"/real.ini"_s;
    put(kOld, target);
    ASSERT_TRUE(QFile::setPermissions(target, mode));
    ASSERT_TRUE(QFile::link(target, path()));
    ASSERT_TRUE(WriteToINI(u"S"_s, u"K"_s, u"new"_s, path()));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(ReadFromINI(u"S"_s, u"K"_s, target), u"new"_s);
    EXPECT_EQ(QFile::permissions(target) & QFileDevice::Permissions(0x7077), mode);
    EXPECT_EQ(entries(), (QStringList{u"nms.ini"_s, u"real.ini"_s}));
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// Writes that cannot complete leave the old file exactly as it was and nothing else behind.
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

using testing::IniFileTest;
using testing::putAt;

const QByteArray kOld = "[S]\r\nK=old\r\nL=keep\r\n[T]\r\nK=t\r\n";

// Every changing operation, each asked to really change something in kOld.
struct Change {
    const char *what;
    std::function<bool(const QString &)> run;
};

const Change kChanges[] = {
    {"WriteToINI", [](const QString &p) { return WriteToINI(u"S"_s, u"K"_s, u"new"_s, p); }},
    {"WriteToINI new section", [](const QString &p) { return WriteToINI(u"N"_s, u"K"_s, u"new"_s, p); }},
    {"WriteSectionToINI",
     [](const QString &p) {
         return WriteSectionToINI(u"S"_s, {{u"K"_s, u"1"_s}, {u"M"_s, u"2"_s}}, p);
     }},
    {"DeleteIniSection", [](const QString &p) { return DeleteIniSection(u"S"_s, p); }},
    {"DeleteIniKey", [](const QString &p) { return DeleteIniKey(u"S"_s, u"K"_s, p); }},
    {"RenameIniKey", [](const QString &p) { return RenameIniKey(u"S"_s, u"K"_s, u"J"_s, p); }},
    {"RenameIniSection", [](const QString &p) { return RenameIniSection(u"S"_s, u"R"_s, p); }},
};

class FailedWriteTest : public IniFileTest, public ::testing::WithParamInterface<Change> {};

TEST_P(FailedWriteTest, AReadOnlyFileIsNotReplaced) {
    put(kOld);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(GetParam().run(path()));
    EXPECT_EQ(bytes(), kOld);
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
}

TEST_P(FailedWriteTest, ADirectoryOfThatNameStays) {
    ASSERT_TRUE(QDir(folder()).mkdir(u"nms.ini"_s));
    EXPECT_FALSE(GetParam().run(path()));
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
}

TEST_P(FailedWriteTest, AMissingFolderFailsWithoutCreatingIt) {
    const QString inMissing = folder() + u"/missing/nms.ini"_s;
    const bool changed = GetParam().run(inMissing);
    // Removing from a file that is not there is nothing to do; anything that must write fails.
    const bool mustWrite = QByteArrayView(GetParam().what).startsWith("Write");
    EXPECT_EQ(changed, !mustWrite);
    EXPECT_TRUE(entries().isEmpty());
}

// The file-size limit makes write() fail with EFBIG, as a full disk makes it fail with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_P(FailedWriteTest, ADiskThatFillsUpLeavesTheOldFile) {
    // Padding makes the new text of every change bigger than the limit.
    const QByteArray old = kOld + "[PAD]\r\nP=" + QByteArray(8192, 'p') + "\r\n";
    put(old);
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(GetParam().run(path()));
    }
    EXPECT_EQ(bytes(), old);
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
}

INSTANTIATE_TEST_SUITE_P(Operations, FailedWriteTest, ::testing::ValuesIn(kChanges), testing::NameByWhat());

class AtomicFileTest : public IniFileTest {};

TEST_F(AtomicFileTest, ASuccessfulReplaceKeepsThePermissionsAndLeavesNoTemporary) {
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077); // leaves out the current user's view
    const QFileDevice::Permissions modes[] = {QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup,
                                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                  QFile::WriteGroup | QFile::ReadOther |
                                                  QFile::WriteOther, // everything the umask would take away
                                              QFile::ReadOwner | QFile::WriteOwner};
    int n = 0;
    for (const auto mode : modes) {
        put(kOld);
        ASSERT_TRUE(QFile::setPermissions(path(), mode));
        ASSERT_TRUE(WriteToINI(u"S"_s, u"K"_s, QString::number(++n), path()));
        EXPECT_EQ(QFile::permissions(path()) & ownerGroupOther, mode);
        EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
    }
}

TEST_F(AtomicFileTest, ASymbolicLinkStaysALinkAndItsTargetChanges) {
    const QString target = folder() + u"/real.ini"_s;
    putAt(target, kOld);
    ASSERT_TRUE(QFile::link(target, path()));
    ASSERT_TRUE(WriteToINI(u"S"_s, u"K"_s, u"new"_s, path()));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(ReadFromINI(u"S"_s, u"K"_s, target), u"new"_s);
}

TEST_F(AtomicFileTest, ReadingTellsMissingFromUnreadable) {
    EXPECT_EQ(readWholeFile(path()).status, FileContents::Status::Missing);
    EXPECT_EQ(readWholeFile(folder() + u"/no/such/nms.ini"_s).status, FileContents::Status::Missing);
    put(kOld);
    const FileContents read = readWholeFile(path());
    EXPECT_EQ(read.status, FileContents::Status::Read);
    EXPECT_EQ(read.bytes, kOld);
    EXPECT_EQ(readWholeFile(path() + u"/below-a-file"_s).status, FileContents::Status::Missing);
    const FileContents dir = readWholeFile(folder());
    EXPECT_EQ(dir.status, FileContents::Status::Failed);
    EXPECT_TRUE(dir.error.contains(folder())) << dir.error.toStdString();
}

TEST_F(AtomicFileTest, AFailedReplaceSaysWhy) {
    put(kOld);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    QString error;
    EXPECT_FALSE(replaceFileAtomically(path(), "x", &error));
    EXPECT_TRUE(error.contains(path())) << error.toStdString();
    EXPECT_EQ(bytes(), kOld);
}

} // namespace
} // namespace ondalink

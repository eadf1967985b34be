// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/atomic_file.h"

#include "model/log.h"
#include "model/messages.h"
#include "model/unique_fd.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

QString reason(PhraseId what, const QString &path, int err) {
    return phrase(what, {QDir::toNativeSeparators(path), qt_error_string(err)});
}

// A folder says so; for a pipe, a device or a socket the system's "Invalid argument" would not.
QString notRegular(PhraseId what, const QString &path, mode_t mode) {
    return S_ISDIR(mode) ? reason(what, path, EISDIR)
                         : phrase(what, {QDir::toNativeSeparators(path), phrase(PhraseId::NotRegularFile)});
}

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

// Closes on scope exit unless released; keeps every early return from leaking the descriptor.
bool writeAll(int fd, QByteArrayView bytes) {
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// A fresh name beside the target; O_EXCL makes a clash with anything already there impossible.
int createTemporary(const QString &target, mode_t mode, QByteArray *tempPath) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = u"%1/.%2.%3.tmp"_s.arg(info.absolutePath(), info.fileName())
                                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0'));
        *tempPath = QFile::encodeName(name);
        const int fd = ::open(tempPath->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const QString &target) {
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const UniqueFd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // The rename has happened; a folder that cannot be synced (some file systems) changes nothing.
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

// Where a replacement goes (a link is followed) and the mode the new file gets.
struct Destination {
    QString target;
    std::optional<mode_t> existingMode; // a new file gets 0666 less the umask
};

std::optional<Destination> destination(const QString &path, QString *error) {
    Destination d{path, std::nullopt};
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Replace what the link points at, not the link.
        const QString resolved = QFileInfo(path).canonicalFilePath();
        if (!resolved.isEmpty())
            d.target = resolved;
    }
    const QByteArray nativeTarget = QFile::encodeName(d.target);
    if (::stat(nativeTarget.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            setError(error, notRegular(PhraseId::CannotWrite, path, st.st_mode));
            return std::nullopt;
        }
        // Checked by its mode bits too: a read-only file stays read-only even for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(nativeTarget.constData(), W_OK) != 0) {
            setError(error, reason(PhraseId::CannotWrite, path, EACCES));
            return std::nullopt;
        }
        d.existingMode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        setError(error, reason(PhraseId::CannotWrite, path, errno));
        return std::nullopt;
    }
    return d;
}

} // namespace

FileContents readWholeFile(const QString &path) {
    FileContents contents;
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking: a named pipe in the file's place must not hold the program until a writer comes.
    const UniqueFd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return contents;
        contents.status = FileContents::Status::Failed;
        contents.error = reason(PhraseId::CannotRead, path, errno);
        return contents;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        contents.status = FileContents::Status::Failed;
        contents.error = notRegular(PhraseId::CannotRead, path, st.st_mode);
        return contents;
    }
    // One byte more than the file holds: reading it tells that the file grew since fstat, without
    // a spare 64 KiB on every read.
    contents.bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
    qsizetype used = 0;
    for (;;) {
        if (used == contents.bytes.size())
            contents.bytes.resize(used + 65536);
        const ssize_t n =
            ::read(fd.get(), contents.bytes.data() + used, static_cast<size_t>(contents.bytes.size() - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            contents.status = FileContents::Status::Failed;
            contents.error = reason(PhraseId::CannotRead, path, errno);
            contents.bytes.clear();
            return contents;
        }
        if (n == 0)
            break;
        used += n;
    }
    contents.bytes.truncate(used);
    contents.status = FileContents::Status::Read;
    return contents;
}

bool renameFileDurably(const QString &from, const QString &to, QString *error) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        setError(error, reason(PhraseId::CannotWrite, to, errno));
        return false;
    }
    syncFolder(to);
    return true;
}

int removeStaleTemporaries(const QString &path, int minimumAgeSeconds) {
    const QFileInfo info(path);
    const QRegularExpression ours(
        u"^\\.%1\\.[0-9a-f]{16}\\.tmp$"_s.arg(QRegularExpression::escape(info.fileName())));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-minimumAgeSeconds);
    int removed = 0;
    const QFileInfoList candidates =
        QDir(info.absolutePath())
            .entryInfoList({u".%1.*.tmp"_s.arg(info.fileName())},
                           QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        if (ours.match(candidate.fileName()).hasMatch() && candidate.lastModified() <= before &&
            QFile::remove(candidate.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

bool canReplaceFile(const QString &path, QString *error) {
    return destination(path, error).has_value();
}

namespace {

bool replaceFile(const QString &path, QByteArrayView bytes, QString *error) {
    const auto d = destination(path, error);
    if (!d)
        return false;
    const QString &target = d->target;
    const QByteArray nativeTarget = QFile::encodeName(target);

    QByteArray tempPath;
    UniqueFd fd(createTemporary(target, d->existingMode.value_or(0666), &tempPath));
    if (fd.get() < 0) {
        setError(error, reason(PhraseId::CannotWrite, path, errno));
        return false;
    }
    const auto fail = [&](int err) {
        ::unlink(tempPath.constData());
        setError(error, reason(PhraseId::CannotWrite, path, err));
        return false;
    };
    if (d->existingMode && ::fchmod(fd.get(), *d->existingMode) != 0)
        return fail(errno);
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(tempPath.constData(), nativeTarget.constData()) != 0)
        return fail(errno);
    syncFolder(target);
    return true;
}

} // namespace

// Not QSaveFile: no fsync of the folder, no refusal by mode bits, no temporary names we can clean up.
bool replaceFileAtomically(const QString &path, QByteArrayView bytes, QString *error) {
    QString why;
    if (replaceFile(path, bytes, &why))
        return true;
    qCWarning(lcStore).noquote() << "database not written:" << why;
    setError(error, why);
    return false;
}

} // namespace ondalink

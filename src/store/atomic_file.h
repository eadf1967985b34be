// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ondalink {

struct FileContents {
    enum class Status {
        Read,
        Missing, // no such file (or no such folder)
        Failed,  // there, but not a readable regular file
    };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error; // set when Failed
};

// The whole file in one read.
FileContents readWholeFile(const QString &path);

// Replaces the file at path with the bytes so that a crash at any moment leaves either the old file or
// the new one: a temporary file in the same folder is written, flushed to disk and renamed over the old
// one, then the folder itself is flushed. An existing file keeps its permissions; one without any write
// permission bit is refused, as is anything that is not a regular file. On failure the old file is
// untouched, no temporary file is left and error holds the reason.
bool replaceFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// Renames from over to (both in one folder), then flushes the folder: afterwards either name holds the
// whole file. False with the reason when the rename failed.
bool renameFileDurably(const QString &from, const QString &to, QString *error = nullptr);

// Removes what writes killed between creating their temporary file and renaming it left beside path:
// files named as replaceFileAtomically names its temporaries, unchanged for at least minimumAgeSeconds
// (no write in progress takes that long). Returns how many were removed.
int removeStaleTemporaries(const QString &path, int minimumAgeSeconds);

// The checks replaceFileAtomically makes before it writes anything: lets a caller that must change
// several files find out before it changes the first.
bool canReplaceFile(const QString &path, QString *error = nullptr);

} // namespace ondalink

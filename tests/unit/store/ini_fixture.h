// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh folder per test, with the raw bytes of its nms.ini laid down and read back.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ondalink::testing {

inline QByteArray bytesAt(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("nms.ini")); }
    QString folder() const { return m_dir.path(); }
    void put(const QByteArray &bytes, const QString &file = {}) const {
        QFile f(file.isEmpty() ? path() : file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray bytes() const { return bytesAt(path()); }
    // Hidden files too: a failed write must leave no temporary behind.
    QStringList entries() const {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace ondalink::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh folder per test with helpers to lay down and inspect the raw bytes of a profile file.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

QT_BEGIN_NAMESPACE
// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ondalink::testing {

inline void putAt(const QString &file, const QByteArray &bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray bytesAt(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Names data-driven cases after their rows' "what" texts.
struct NameByWhat {
    template <typename Info> std::string operator()(const Info &info) const {
        std::string name = info.param.what;
        for (char &c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    }
};

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("nms.ini")); }
    QString folder() const { return m_dir.path(); }

    void put(const QByteArray &bytes) const { putAt(path(), bytes); }
    QByteArray bytes() const { return bytesAt(path()); }
    // Everything in the folder, hidden files included: a failed write must leave no temporary behind.
    QStringList entries() const {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace ondalink::testing

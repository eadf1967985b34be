// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-edited and damaged files: how they read, and that writes leave every other byte as it was.
#include "ini_fixture.h"
#include "store/profile_file.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using IniFormat = testing::IniFileTest;

TEST_F(IniFormat, HandEditedShapesRead) {
    const QString miss = u"<default>"_s;
    const struct {
        QByteArray file;
        QString section, key, expected;
    } rows[] = {
        {"[A]\r\nK=a\n[S]\rX=1\r\nK=v", u"S"_s, u"k"_s, u"v"_s}, // mixed line ends, no final break
        {"\xEF\xBB\xBF[S]\r\nK=v\r\n", u"S"_s, u"K"_s, u"v"_s},
        {"[S]\r\n;K=c\r\n  #K=c\r\nK=v\r\n", u"S"_s, u"K"_s, u"v"_s},
        {"  [ S ] ; note\r\n \t K \t= v \r\n", u"s"_s, u"k"_s, u" v "_s},
        {"[S]\r\nK=[T]\r\n[T]\r\nK=t\r\n", u"T"_s, u"k"_s, u"t"_s},
        {"[S]\r\nK=1\r\nk=2\r\n[s]\r\nK=3\r\n", u"S"_s, u"k"_s, u"1"_s},
        {"[S]\r\n[s]\r\nK=2\r\n", u"S"_s, u"k"_s, miss},
        {"[S]\r\nK\r\n=v\r\n", u"S"_s, u"k"_s, miss},
        {"[S]\r\n\xC9=v\r\n", u"S"_s, u"\u00e9"_s, miss}, // case is ASCII only
    };
    for (const auto &row : rows) {
        put(row.file);
        EXPECT_EQ(ReadFromINI(row.section, row.key, path(), miss), row.expected) << row.file.toStdString();
    }
}

QByteArray garbage(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

TEST_F(IniFormat, DamagedFilesAnswerAndAWriteKeepsTheirBytes) {
    for (const QByteArray &damaged :
         {garbage(65536, 1), "[S]\r\nK=" + QByteArray(1 << 20, 'x'), "[" + QByteArray(1 << 20, 'S'),
          QByteArray(5000, '['), QByteArray(5000, '\r'), QByteArray(3000, '\0')}) {
        SCOPED_TRACE(damaged.left(20).toHex().toStdString());
        put(damaged);
        (void)LoadIniSectionsArray(path());
        (void)GetSectionKeyCount(u"S"_s, path());
        (void)ReadFromINI(u"S"_s, u"K"_s, path());
        ASSERT_TRUE(WriteToINI(u"FRESHSECTION"_s, u"k"_s, u"new"_s, path()));
        EXPECT_EQ(ReadFromINI(u"freshsection"_s, u"k"_s, path()), u"new"_s);
        EXPECT_TRUE(bytes().startsWith(damaged));
    }
    put(garbage(20000, 3) + "\n[S]\nK=v\n" + garbage(20000, 4));
    EXPECT_EQ(ReadFromINI(u"S"_s, u"K"_s, path()), u"v"_s);
}

} // namespace
} // namespace ondalink

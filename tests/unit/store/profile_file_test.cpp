// SPDX-License-Identifier: GPL-3.0-or-later
// The profile operations on nms.ini, and hand-edited and damaged files: how they read, and that writes
// leave every other byte as it was.
#include "ini_fixture.h"
#include "store/profile_file.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using ProfileFile = testing::IniFileTest;
using IniFormat = testing::IniFileTest;

TEST_F(ProfileFile, ValuesRoundTripExactlyAndReadBackCutTo749) {
    QString everyByte;
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n')
            everyByte.append(QChar(c));
    }
    for (const QString &value :
         {everyByte, u"  X  "_s, u""_s, u"a=b=c"_s, QString(749, u'x'), QString(750, u'y') + u"END"_s}) {
        ASSERT_TRUE(WriteToINI(u"S"_s, u"v"_s, value, path()));
        EXPECT_TRUE(bytes().contains("V=" + value.toLatin1() + "\r\n")) << "stored whole, one byte each";
        EXPECT_EQ(ReadFromINI(u"S"_s, u"v"_s, path(), u"dflt"_s), value.left(749));
    }
}

TEST_F(ProfileFile, AWriteChangesOnlyItsOwnBytes) {
    // A hand-edited file: byte order mark, comments, mixed line ends, spaces around '=', no final break.
    const QByteArray before = "\xEF\xBB\xBF; kept\n[A]\nK1 = 1\r\n\r\n; about B\r[B]\r\n[C]\rK=1";
    put(before);
    ASSERT_TRUE(WriteToINI(u"a"_s, u"k1"_s, u"one "_s, path()));
    ASSERT_TRUE(WriteToINI(u"A"_s, u"k2"_s, u"2"_s, path()));
    ASSERT_TRUE(WriteToINI(u"B"_s, u"x"_s, u"3"_s, path()));
    ASSERT_TRUE(WriteToINI(u"C"_s, u"y"_s, u"4"_s, path()));
    ASSERT_TRUE(WriteSectionToINI(u"D"_s, {{u"k"_s, u"5"_s}, {u"j"_s, u"6"_s}}, path()));
    EXPECT_EQ(bytes(), QByteArray("\xEF\xBB\xBF; kept\n[A]\nK1 =one \r\nK2=2\r\n\r\n; about B\r[B]\r\nX=3\r\n"
                                  "[C]\rK=1\r\nY=4\r\n[D]\r\nK=5\r\nJ=6\r\n"));
    EXPECT_EQ(ReadFromINI(u"C"_s, u"K"_s, path()), u"1"_s);
}

TEST_F(ProfileFile, NothingThatWouldChangeTheStructureIsWritten) {
    const std::tuple<QString, QString, QString> rows[] = {
        {u"A]B"_s, u"k"_s, u"v"_s},    {u"A\rB"_s, u"k"_s, u"v"_s},   {u" "_s, u"k"_s, u"v"_s},
        {u"S"_s, u"a=b"_s, u"v"_s},    {u"S"_s, u"[x"_s, u"v"_s},     {u"S"_s, u";x"_s, u"v"_s},
        {u"S"_s, u""_s, u"v"_s},       {u"S"_s, u"k"_s, u"a\n[X]"_s}, {u"S"_s, u"k"_s, u"a\0b"_s},
        {u"S"_s, u"k"_s, u"5\u20ac"_s}};
    for (const auto &[section, key, value] : rows) {
        SCOPED_TRACE(section.toStdString() + "/" + key.toStdString());
        EXPECT_FALSE(WriteToINI(section, key, value, path()));
        EXPECT_FALSE(QFile::exists(path()));
        put("[S]\r\nK=1\r\n");
        // All or nothing: a bad pair among good ones stores none of them.
        EXPECT_FALSE(WriteSectionToINI(section, {{u"good"_s, u"1"_s}, {key, value}}, path()));
        EXPECT_EQ(bytes(), QByteArray("[S]\r\nK=1\r\n"));
        QFile::remove(path());
    }
}

TEST_F(ProfileFile, ExistenceProbesCountOnlyKeyLines) {
    put("[S]\r\nEMPTY=\r\nA=A\r\nB=B\r\nNOEQUALS\r\n; C=1\r\n[HEADER ONLY]\r\n[LAST]");
    for (const QString &key : {u"empty"_s, u"A"_s, u"b"_s})
        EXPECT_TRUE(CheckIfIniKeyExists(u"s"_s, key, path())) << key.toStdString();
    for (const QString &key : {u"missing"_s, u"NOEQUALS"_s, u"C"_s})
        EXPECT_FALSE(CheckIfIniKeyExists(u"S"_s, key, path())) << key.toStdString();
    EXPECT_TRUE(CheckIfIniSectionExists(u"s"_s, path()));
    for (const QString &section : {u"HEADER ONLY"_s, u"LAST"_s, u"MISSING"_s})
        EXPECT_FALSE(CheckIfIniSectionExists(section, path())) << section.toStdString();
    EXPECT_EQ(GetSectionKeyCount(u"S"_s, path()), 3);
    EXPECT_EQ(GetSectionKeyCount(u"HEADER ONLY"_s, path()), 0);
    QStringList keys{u"kept"_s};
    LoadIniSectionKeysLB(u"S"_s, keys, path());
    EXPECT_EQ(keys, (QStringList{u"kept"_s, u"EMPTY"_s, u"A"_s, u"B"_s}));
}

TEST_F(ProfileFile, SectionListsAppendEveryNameOnceInFileOrderBeyondFiftySeven) {
    QByteArray file = "[B]\r\nK=1\r\n[A]\r\n[C]\r\nK=1\r\n[b]\r\nK=2\r\n";
    QStringList expected{u"kept"_s, u"B"_s, u"A"_s, u"C"_s};
    for (int i = 0; i < 60; ++i) {
        file += "[00A0C90000" + QByteArray::number(i + 16, 16).toUpper() + "]\r\nROLE=1\r\n";
        expected.append(u"00A0C90000"_s + QString::number(i + 16, 16).toUpper());
    }
    put(file);
    QStringList list{u"kept"_s};
    LoadIniSectionsLB(list, path());
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(LoadIniSectionsArray(folder() + u"/none.ini"_s).isEmpty());
}

TEST_F(ProfileFile, DeletesAndRenamesTouchOnlyTheirLines) {
    put("[A]\r\nK=1\r\nold=a=b\r\nL=2\r\nk=dup\r\n[B]\r\nK=3\r\n[a]\r\nK=4\r\n");
    ASSERT_TRUE(DeleteIniKey(u"a"_s, u"K"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nold=a=b\r\nL=2\r\n[B]\r\nK=3\r\n[a]\r\nK=4\r\n"));
    ASSERT_TRUE(RenameIniKey(u"A"_s, u"OLD"_s, u"new"_s, path()));
    ASSERT_TRUE(RenameIniKey(u"A"_s, u"absent"_s, u"other"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nNEW=a=b\r\nL=2\r\n[B]\r\nK=3\r\n[a]\r\nK=4\r\n"));
    ASSERT_TRUE(RenameIniSection(u"b"_s, u"C"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nNEW=a=b\r\nL=2\r\n[a]\r\nK=4\r\n[C]\r\nK=3\r\n"));
    ASSERT_TRUE(DeleteIniSection(u"A"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[C]\r\nK=3\r\n"));
    EXPECT_TRUE(DeleteIniKey(u"A"_s, u"K"_s, folder() + u"/none.ini"_s));
    EXPECT_FALSE(QFile::exists(folder() + u"/none.ini"_s));
}

TEST_F(ProfileFile, NumbersConvertLikeThePlatform) {
    put("[S]\r\nA=42\r\nB= -7\r\nC=0x1F\r\nD=12abc\r\nE=abc\r\nG=99999999999\r\n");
    const std::pair<QString, qint32> rows[] = {{u"A"_s, 42},      {u"B"_s, -7}, {u"C"_s, 31},
                                               {u"D"_s, 12},      {u"E"_s, 0},  {u"G"_s, 2147483647},
                                               {u"missing"_s, 77}};
    for (const auto &[key, expected] : rows)
        EXPECT_EQ(GetLongFromINI(u"S"_s, key, path(), 77), expected) << key.toStdString();
}

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

// SPDX-License-Identifier: GPL-3.0-or-later
// How hand-edited and damaged files read, and that writes leave every other byte as it was.
#include "ini_fixture.h"
#include "store/profile_file.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::IniFileTest;

struct ReadCase {
    const char *what;
    QByteArray file;
    QString section;
    QString key;
    QString expected; // "<default>" when the lookup must miss
};

const QString kMiss = u"<default>"_s;

class IniReadTest : public IniFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(IniReadTest, ReadsTheDocumentedValue) {
    put(GetParam().file);
    EXPECT_EQ(ReadFromINI(GetParam().section, GetParam().key, path(), kMiss), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, IniReadTest,
    ::testing::Values(
        ReadCase{"lf line ends", "[S]\nK=v\n", u"S"_s, u"k"_s, u"v"_s},
        ReadCase{"cr only line ends", "[A]\rK=a\r[S]\rK=v\rL=w", u"S"_s, u"l"_s, u"w"_s},
        ReadCase{"mixed line ends", "[A]\r\nK=a\n[S]\rX=1\r\nK=v\n", u"S"_s, u"k"_s, u"v"_s},
        ReadCase{"no final line break", "[S]\r\nK=v", u"S"_s, u"K"_s, u"v"_s},
        ReadCase{"utf-8 byte order mark", "\xEF\xBB\xBF[S]\r\nK=v\r\n", u"S"_s, u"K"_s, u"v"_s},
        ReadCase{"semicolon comment", "[S]\r\n;K=c\r\nK=v\r\n", u"S"_s, u"K"_s, u"v"_s},
        ReadCase{"hash comment", "[S]\r\n  #K=c\r\n", u"S"_s, u"K"_s, kMiss},
        ReadCase{"blank lines", "\r\n\r\n[S]\r\n\r\n\r\nK=v\r\n", u"S"_s, u"K"_s, u"v"_s},
        ReadCase{"blanks around the key", "[S]\r\n \t K \t=v\r\n", u"S"_s, u"k"_s, u"v"_s},
        ReadCase{"blanks around the value stay", "[S]\r\nK = v \r\n", u"S"_s, u"k"_s, u" v "_s},
        ReadCase{"quotes stay", "[S]\r\nK=\"v\"\r\n", u"S"_s, u"k"_s, u"\"v\""_s},
        ReadCase{"blanks around the header", "  [ S ]  \r\nK=v\r\n", u"s"_s, u"k"_s, u"v"_s},
        ReadCase{"text after the header", "[S] ; note\r\nK=v\r\n", u"S"_s, u"k"_s, u"v"_s},
        ReadCase{"header without bracket", "[S\r\nK=v\r\n", u"S"_s, u"k"_s, u"v"_s},
        ReadCase{"bracket inside a value", "[S]\r\nK=[T]\r\n[T]\r\nK=t\r\n", u"T"_s, u"k"_s, u"t"_s},
        ReadCase{"first duplicate section", "[S]\r\nK=1\r\n[T]\r\n[s]\r\nK=2\r\n", u"S"_s, u"k"_s, u"1"_s},
        ReadCase{"first duplicate key", "[S]\r\nK=1\r\nk=2\r\n", u"S"_s, u"k"_s, u"1"_s},
        ReadCase{"first section without it", "[S]\r\n[s]\r\nK=2\r\n", u"S"_s, u"k"_s, kMiss},
        ReadCase{"keys before any header", "K=0\r\n[S]\r\n", u""_s, u"k"_s, kMiss},
        ReadCase{"line without equals", "[S]\r\nK\r\n", u"S"_s, u"k"_s, kMiss},
        ReadCase{"empty key", "[S]\r\n=v\r\n", u"S"_s, u""_s, kMiss},
        ReadCase{"latin-1 byte", "[S]\r\nK=\xE9\xFF\r\n", u"S"_s, u"k"_s, u"\u00e9\u00ff"_s},
        ReadCase{"nul inside a value", QByteArray("[S]\r\nK=a\0b\r\n", 12), u"S"_s, u"k"_s, u"a\0b"_s},
        ReadCase{"ascii case only", "[S]\r\n\xC9=v\r\n", u"S"_s, u"\u00e9"_s, kMiss}),
    testing::NameByWhat());

QByteArray garbage(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = static_cast<char>(random.bounded(256));
    return bytes;
}

struct DamagedCase {
    const char *what;
    QByteArray file;
};

class DamagedFileTest : public IniFileTest, public ::testing::WithParamInterface<DamagedCase> {};

// Whatever the file holds, reads answer and a write lands without disturbing what was there.
TEST_P(DamagedFileTest, ReadsAnswerAndAWriteKeepsTheOldBytes) {
    const QByteArray before = GetParam().file;
    put(before);
    (void)LoadIniSectionsArray(path());
    (void)GetSectionKeyCount(u"S"_s, path());
    (void)ReadFromINI(u"S"_s, u"K"_s, path());

    ASSERT_TRUE(WriteToINI(u"FRESHSECTION"_s, u"k"_s, u"new"_s, path()));
    EXPECT_EQ(ReadFromINI(u"freshsection"_s, u"k"_s, path()), u"new"_s);
    EXPECT_TRUE(bytes().startsWith(before));
    EXPECT_TRUE(LoadIniSectionsArray(path()).contains(u"FRESHSECTION"_s));
    ASSERT_TRUE(DeleteIniSection(u"FRESHSECTION"_s, path()));
    EXPECT_TRUE(bytes().startsWith(before));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DamagedFileTest,
    ::testing::Values(DamagedCase{"empty", QByteArray()}, DamagedCase{"binary garbage", garbage(65536, 1)},
                      DamagedCase{"garbage without line breaks",
                                  garbage(4096, 2).replace('\n', 'x').replace('\r', 'x')},
                      DamagedCase{"one megabyte line", "[S]\r\nK=" + QByteArray(1 << 20, 'x')},
                      DamagedCase{"megabyte header", "[" + QByteArray(1 << 20, 'S')},
                      DamagedCase{"brackets only", QByteArray(5000, '[')},
                      DamagedCase{"lone carriage returns", QByteArray(5000, '\r')},
                      DamagedCase{"only a byte order mark", "\xEF\xBB\xBF"},
                      DamagedCase{"nul bytes", QByteArray(3000, '\0')}),
    testing::NameByWhat());

TEST_F(IniFileTest, GarbageAroundASectionDoesNotHideIt) {
    put(garbage(20000, 3) + "\n[S]\nK=v\n" + garbage(20000, 4));
    EXPECT_EQ(ReadFromINI(u"S"_s, u"K"_s, path()), u"v"_s);
}

TEST_F(IniFileTest, AWriteChangesOnlyTheBytesOfTheValue) {
    const QByteArray before = "\xEF\xBB\xBF; kept comment\n[A]\nK=old\r\n# another\rL = x\n\n[B]\r\nK=b";
    put(before);
    ASSERT_TRUE(WriteToINI(u"A"_s, u"K"_s, u"new value "_s, path()));
    QByteArray expected = before;
    expected.replace("K=old", "K=new value ");
    EXPECT_EQ(bytes(), expected);

    ASSERT_TRUE(WriteToINI(u"A"_s, u"L"_s, u"y"_s, path()));
    expected.replace("L = x", "L =y");
    EXPECT_EQ(bytes(), expected);
}

TEST_F(IniFileTest, AWriteThatChangesNothingDoesNotTouchTheFile) {
    put("[A]\r\nK=v\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_TRUE(WriteToINI(u"A"_s, u"K"_s, u"v"_s, path()));
    EXPECT_FALSE(WriteToINI(u"A"_s, u"K"_s, u"w"_s, path()));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
}

TEST_F(IniFileTest, NewLinesInALineFeedFileUseCrLfAndTheRestStays) {
    put("[A]\nK=1\n");
    ASSERT_TRUE(WriteToINI(u"A"_s, u"L"_s, u"2"_s, path()));
    ASSERT_TRUE(WriteToINI(u"B"_s, u"M"_s, u"3"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\nK=1\nL=2\r\n[B]\r\nM=3\r\n"));
}

TEST_F(IniFileTest, WritesIntoACrOnlyFileKeepItReadable) {
    put("[A]\rK=1\r[B]\rK=2");
    ASSERT_TRUE(WriteToINI(u"A"_s, u"L"_s, u"x"_s, path()));
    ASSERT_TRUE(WriteToINI(u"B"_s, u"L"_s, u"y"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\rK=1\rL=x\r\n[B]\rK=2\r\nL=y\r\n"));
    EXPECT_EQ(ReadFromINI(u"B"_s, u"K"_s, path()), u"2"_s);
}

TEST_F(IniFileTest, WritesGoToTheFirstOfDuplicateSectionsAndKeys) {
    put("[S]\r\nK=1\r\nK=2\r\n[S]\r\nK=3\r\n");
    ASSERT_TRUE(WriteToINI(u"S"_s, u"K"_s, u"x"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[S]\r\nK=x\r\nK=2\r\n[S]\r\nK=3\r\n"));
}

} // namespace
} // namespace ondalink

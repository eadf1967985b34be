// SPDX-License-Identifier: GPL-3.0-or-later
// The thirteen profile operations on files laid down byte by byte.
#include "ini_fixture.h"
#include "store/profile_file.h"

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::IniFileTest;

class ProfileFileTest : public IniFileTest {};

TEST_F(ProfileFileTest, WriteCreatesTheFileWithAnUpperCaseKeyAndCrLf) {
    ASSERT_TRUE(WriteToINI(u"001A2B3C4D5E"_s, u"name"_s, u"DEC 1           "_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[001A2B3C4D5E]\r\nNAME=DEC 1           \r\n"));
    EXPECT_EQ(ReadFromINI(u"001a2b3c4d5e"_s, u"name"_s, path()), u"DEC 1           "_s);
    EXPECT_EQ(ReadFromINI(u"001A2B3C4D5E"_s, u"NaMe"_s, path()), u"DEC 1           "_s);
}

TEST_F(ProfileFileTest, MissingThingsReadAsTheDefault) {
    EXPECT_EQ(ReadFromINI(u"S"_s, u"k"_s, path(), u"dflt"_s), u"dflt"_s); // no file
    EXPECT_EQ(ReadFromINI(u"S"_s, u"k"_s, path()), u""_s);
    put("[S]\r\nK=v\r\n");
    EXPECT_EQ(ReadFromINI(u"T"_s, u"k"_s, path(), u"dflt"_s), u"dflt"_s);
    EXPECT_EQ(ReadFromINI(u"S"_s, u"x"_s, path(), u"dflt"_s), u"dflt"_s);
    EXPECT_EQ(ReadFromINI(u"S"_s, u"x"_s, path()), u""_s);
    EXPECT_EQ(ReadFromINI(u"S\u20ac"_s, u"k"_s, path(), u"dflt"_s), u"dflt"_s);
}

TEST_F(ProfileFileTest, EveryByteValueRoundTripsAsOneCharacter) {
    QString value;
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n')
            value.append(QChar(c));
    }
    ASSERT_TRUE(WriteToINI(u"S"_s, u"v"_s, value, path()));
    EXPECT_EQ(ReadFromINI(u"S"_s, u"v"_s, path()).left(value.size()), value.left(kMaxValueLength));
    EXPECT_TRUE(bytes().contains(value.toLatin1())); // one byte per character in the file
    EXPECT_EQ(bytes().size(), QByteArray("[S]\r\nV=\r\n").size() + value.size());
}

TEST_F(ProfileFileTest, BlanksAroundAValueAndEqualSignsInsideItSurvive) {
    for (const QString &value : {u"DEC 1           "_s, u"  X  "_s, u" "_s, u""_s, u"a=b=c"_s, u"\"q\""_s}) {
        ASSERT_TRUE(WriteToINI(u"S"_s, u"v"_s, value, path()));
        EXPECT_EQ(ReadFromINI(u"S"_s, u"v"_s, path(), u"dflt"_s), value) << value.toStdString();
    }
}

TEST_F(ProfileFileTest, LongValuesAreStoredWholeAndReadCutTo749) {
    for (int length : {748, 749, 750, 800, 5000}) {
        const QString value = QString(length, u'x') + u"END"_s;
        ASSERT_TRUE(WriteToINI(u"S"_s, u"v"_s, value, path()));
        EXPECT_EQ(ReadFromINI(u"S"_s, u"v"_s, path()), value.left(kMaxValueLength)) << length;
        EXPECT_TRUE(bytes().contains(value.toLatin1()));
    }
    EXPECT_EQ(ReadFromINI(u"S"_s, u"none"_s, path(), QString(900, u'd')).size(), kMaxValueLength);
}

TEST_F(ProfileFileTest, WritesReplaceInPlaceAddAfterTheLastKeyAndAppendNewSections) {
    const QByteArray before = "[A]\r\nK1=1\r\nK2=2\r\n\r\n; about B\r\n[B]\r\nK1=x\r\n";
    put(before);
    ASSERT_TRUE(WriteToINI(u"a"_s, u"k1"_s, u"one"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nK1=one\r\nK2=2\r\n\r\n; about B\r\n[B]\r\nK1=x\r\n"));
    ASSERT_TRUE(WriteToINI(u"A"_s, u"k3"_s, u"3"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nK1=one\r\nK2=2\r\nK3=3\r\n\r\n; about B\r\n[B]\r\nK1=x\r\n"));
    ASSERT_TRUE(WriteToINI(u"C"_s, u"k"_s, u"c"_s, path()));
    EXPECT_EQ(bytes(),
              QByteArray("[A]\r\nK1=one\r\nK2=2\r\nK3=3\r\n\r\n; about B\r\n[B]\r\nK1=x\r\n[C]\r\nK=c\r\n"));
}

TEST_F(ProfileFileTest, AKeyIsAddedUnderAHeaderWithoutKeysAndAfterALastLineWithoutBreak) {
    put("[A]\r\n[B]\r\nK=1");
    ASSERT_TRUE(WriteToINI(u"A"_s, u"x"_s, u"2"_s, path()));
    ASSERT_TRUE(WriteToINI(u"B"_s, u"y"_s, u"3"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nX=2\r\n[B]\r\nK=1\r\nY=3\r\n"));
}

TEST_F(ProfileFileTest, WriteSectionStoresAllKeysInOrderInOneFile) {
    QList<std::pair<QString, QString>> keys;
    QByteArray expected = "[OLD]\r\nK=1\r\n[00A0C9000001]\r\n";
    for (int i = 0; i < 17; ++i) {
        keys.append({u"key%1"_s.arg(i), u"v%1"_s.arg(i)});
        expected += "KEY" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    }
    put("[OLD]\r\nK=1\r\n");
    ASSERT_TRUE(WriteSectionToINI(u"00A0C9000001"_s, keys, path()));
    EXPECT_EQ(bytes(), expected);
    EXPECT_EQ(GetSectionKeyCount(u"00A0C9000001"_s, path()), 17);
}

struct RefusedWrite {
    const char *what;
    QString section;
    QString key;
    QString value;
};

class RefusedWriteTest : public IniFileTest, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(RefusedWriteTest, NothingThatChangesTheStructureReachesTheFile) {
    const RefusedWrite &w = GetParam();
    EXPECT_FALSE(WriteToINI(w.section, w.key, w.value, path()));
    EXPECT_FALSE(QFile::exists(path())) << "a refused write creates no file";

    const QByteArray before = "[S]\r\nK=1\r\n";
    put(before);
    EXPECT_FALSE(WriteToINI(w.section, w.key, w.value, path()));
    // All or nothing: a bad pair among good ones stores none of them.
    EXPECT_FALSE(WriteSectionToINI(w.section, {{u"good"_s, u"1"_s}, {w.key, w.value}}, path()));
    EXPECT_EQ(bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RefusedWriteTest,
                         ::testing::Values(RefusedWrite{"bracket in section", u"A]B"_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"CR in section", u"A\rB"_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"LF in section", u"A\nB"_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"NUL in section", u"A\0B"_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"empty section", u""_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"blank section", u"  "_s, u"k"_s, u"v"_s},
                                           RefusedWrite{"equals in key", u"S"_s, u"a=b"_s, u"v"_s},
                                           RefusedWrite{"header-like key", u"S"_s, u"[x"_s, u"v"_s},
                                           RefusedWrite{"comment-like key", u"S"_s, u";x"_s, u"v"_s},
                                           RefusedWrite{"hash key", u"S"_s, u" #x"_s, u"v"_s},
                                           RefusedWrite{"empty key", u"S"_s, u""_s, u"v"_s},
                                           RefusedWrite{"LF in key", u"S"_s, u"a\nb"_s, u"v"_s},
                                           RefusedWrite{"CR in value", u"S"_s, u"k"_s, u"a\rb"_s},
                                           RefusedWrite{"LF in value", u"S"_s, u"k"_s, u"a\n[X]"_s},
                                           RefusedWrite{"NUL in value", u"S"_s, u"k"_s, u"a\0b"_s},
                                           RefusedWrite{"beyond Latin-1", u"S"_s, u"k"_s, u"5\u20ac"_s}),
                         testing::NameByWhat());

TEST_F(ProfileFileTest, DeleteSectionRemovesEveryCopyAndLeavesTheRest) {
    put("[A]\r\nK=1\r\n[B]\r\nK=2\r\n[a]\r\nK=3\r\n");
    ASSERT_TRUE(DeleteIniSection(u"A"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[B]\r\nK=2\r\n"));
    ASSERT_TRUE(DeleteIniSection(u"missing"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[B]\r\nK=2\r\n"));
}

TEST_F(ProfileFileTest, DeleteKeyRemovesItsLinesOnly) {
    put("[A]\r\nK=1\r\nL=2\r\nk=dup\r\n[B]\r\nK=3\r\n");
    ASSERT_TRUE(DeleteIniKey(u"a"_s, u"K"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nL=2\r\n[B]\r\nK=3\r\n"));
    ASSERT_TRUE(DeleteIniKey(u"A"_s, u"nope"_s, path()));
    ASSERT_TRUE(DeleteIniKey(u"nope"_s, u"L"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nL=2\r\n[B]\r\nK=3\r\n"));
}

TEST_F(ProfileFileTest, RemovingFromAMissingFileCreatesNothing) {
    EXPECT_TRUE(DeleteIniSection(u"A"_s, path()));
    EXPECT_TRUE(DeleteIniKey(u"A"_s, u"K"_s, path()));
    EXPECT_TRUE(RenameIniKey(u"A"_s, u"K"_s, u"L"_s, path()));
    EXPECT_TRUE(RenameIniSection(u"A"_s, u"B"_s, path()));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(ProfileFileTest, KeyExistsOnlyForAStoredKeyWhateverItsValue) {
    put("[S]\r\nEMPTY=\r\nA=A\r\nB=B\r\nNOEQUALS\r\n");
    EXPECT_TRUE(CheckIfIniKeyExists(u"s"_s, u"empty"_s, path()));
    EXPECT_TRUE(CheckIfIniKeyExists(u"S"_s, u"A"_s, path()));
    EXPECT_TRUE(CheckIfIniKeyExists(u"S"_s, u"b"_s, path()));
    EXPECT_FALSE(CheckIfIniKeyExists(u"S"_s, u"missing"_s, path()));
    EXPECT_FALSE(CheckIfIniKeyExists(u"S"_s, u"NOEQUALS"_s, path()));
    EXPECT_FALSE(CheckIfIniKeyExists(u"T"_s, u"A"_s, path()));
    EXPECT_FALSE(CheckIfIniKeyExists(u"S"_s, u"A"_s, folder() + u"/none.ini"_s));
}

TEST_F(ProfileFileTest, ASectionExistsOnlyWithAKeyLine) {
    put("[KEYS]\r\nK=1\r\n[EMPTY]\r\n[COMMENTS]\r\n; K=1\r\n\r\nno equals\r\n[LAST]");
    EXPECT_TRUE(CheckIfIniSectionExists(u"keys"_s, path()));
    EXPECT_FALSE(CheckIfIniSectionExists(u"EMPTY"_s, path()));
    EXPECT_FALSE(CheckIfIniSectionExists(u"COMMENTS"_s, path()));
    EXPECT_FALSE(CheckIfIniSectionExists(u"LAST"_s, path()));
    EXPECT_FALSE(CheckIfIniSectionExists(u"MISSING"_s, path()));
}

TEST_F(ProfileFileTest, LongValuesConvertLikeThePlatformDoes) {
    put("[S]\r\nA=42\r\nB= -7\r\nC=0x1F\r\nD=12abc\r\nE=abc\r\nF=\r\nG=99999999999\r\nH=-99999999999\r\n"
        "I=+5\r\n");
    const std::pair<const char16_t *, qint32> rows[] = {
        {u"A", 42}, {u"B", -7},      {u"C", 31},         {u"D", 12},
        {u"E", 0},  {u"F", 0},       {u"G", 2147483647}, {u"H", -2147483647 - 1},
        {u"I", 5},  {u"missing", 77}};
    for (const auto &[key, expected] : rows)
        EXPECT_EQ(GetLongFromINI(u"S"_s, QString::fromUtf16(key), path(), 77), expected);
    EXPECT_EQ(GetLongFromINI(u"S"_s, u"missing"_s, path()), 0);
}

TEST_F(ProfileFileTest, RenameKeyKeepsThePlaceAndTheWholeValue) {
    const QString longValue = QString(900, u'v');
    put("[S]\r\nfirst=1\r\nold=" + longValue.toLatin1() + "\r\nlast=3\r\n");
    ASSERT_TRUE(RenameIniKey(u"s"_s, u"OLD"_s, u"new"_s, path()));
    EXPECT_EQ(bytes(), "[S]\r\nfirst=1\r\nNEW=" + longValue.toLatin1() + "\r\nlast=3\r\n");

    const QByteArray before = bytes();
    ASSERT_TRUE(RenameIniKey(u"S"_s, u"absent"_s, u"other"_s, path()));
    EXPECT_EQ(bytes(), before);
}

TEST_F(ProfileFileTest, RenameKeyOntoItselfOrAnExistingKey) {
    put("[S]\r\nname=x\r\nip=1\r\nmask=2\r\n");
    ASSERT_TRUE(RenameIniKey(u"S"_s, u"name"_s, u"Name"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[S]\r\nNAME=x\r\nip=1\r\nmask=2\r\n")) << "a case change keeps the value";
    ASSERT_TRUE(RenameIniKey(u"S"_s, u"ip"_s, u"mask"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[S]\r\nNAME=x\r\nmask=1\r\n"));
    EXPECT_FALSE(RenameIniKey(u"S"_s, u"mask"_s, u"a=b"_s, path()));
}

TEST_F(ProfileFileTest, RenameSectionMovesTheKeyLinesUpperCased) {
    put("[OLD]\r\nname=a=b\r\n; note\r\nstray line\r\nip=1\r\nname=dup\r\n[OTHER]\r\nK=1\r\n");
    ASSERT_TRUE(RenameIniSection(u"old"_s, u"NEW"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[OTHER]\r\nK=1\r\n[NEW]\r\nNAME=a=b\r\nIP=1\r\n"));

    ASSERT_TRUE(RenameIniSection(u"NEW"_s, u"other"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[OTHER]\r\nK=1\r\nNAME=a=b\r\nIP=1\r\n"))
        << "merges into an existing section";

    ASSERT_TRUE(RenameIniSection(u"other"_s, u"Other"_s, path()));
    EXPECT_EQ(bytes(), QByteArray("[Other]\r\nK=1\r\nNAME=a=b\r\nIP=1\r\n"))
        << "a case change renames in place";

    const QByteArray before = bytes();
    ASSERT_TRUE(RenameIniSection(u"missing"_s, u"X"_s, path()));
    EXPECT_FALSE(RenameIniSection(u"Other"_s, u"X]"_s, path()));
    EXPECT_EQ(bytes(), before);
}

TEST_F(ProfileFileTest, SectionListsAppendEveryNameOnceInFileOrder) {
    put("[B]\r\nK=1\r\n[A]\r\n[C]\r\nK=1\r\n[b]\r\nK=2\r\n");
    QStringList list{u"kept"_s};
    LoadIniSectionsLB(list, path());
    EXPECT_EQ(list, (QStringList{u"kept"_s, u"B"_s, u"A"_s, u"C"_s}));
    EXPECT_EQ(LoadIniSectionsArray(path()), (QStringList{u"B"_s, u"A"_s, u"C"_s}));
    EXPECT_TRUE(LoadIniSectionsArray(folder() + u"/none.ini"_s).isEmpty());
}

TEST_F(ProfileFileTest, TenThousandSectionsAreAllListed) {
    QByteArray file;
    QStringList expected;
    for (int i = 0; i < 10000; ++i) {
        const QByteArray name =
            QByteArray::number(0x00A0C9000000LL + i, 16).rightJustified(12, '0').toUpper();
        file += "[" + name + "]\r\nROLE=1\r\n";
        expected.append(QString::fromLatin1(name));
    }
    put(file);
    EXPECT_EQ(LoadIniSectionsArray(path()), expected);
}

TEST_F(ProfileFileTest, SectionKeysAndTheirCount) {
    put("[S]\r\nname=1\r\n; c=1\r\nip = 2\r\nstray\r\nname=dup\r\n[T]\r\nK=1\r\n");
    QStringList keys{u"kept"_s};
    LoadIniSectionKeysLB(u"s"_s, keys, path());
    EXPECT_EQ(keys, (QStringList{u"kept"_s, u"name"_s, u"ip"_s, u"name"_s}));
    EXPECT_EQ(GetSectionKeyCount(u"S"_s, path()), 3);
    EXPECT_EQ(GetSectionKeyCount(u"missing"_s, path()), 0);
    EXPECT_EQ(GetSectionKeyCount(u"S"_s, folder() + u"/none.ini"_s), 0);
}

TEST_F(ProfileFileTest, KeyCountIsNotLimitedByLineLengthAndStopsAtTheTopOfItsType) {
    QByteArray file = "[WIDE]\r\n";
    for (int i = 0; i < 40; ++i)
        file += "K" + QByteArray::number(i) + "=" + QByteArray(100, 'v') + "\r\n";
    file += "[MANY]\r\n";
    for (int i = 0; i < 40000; ++i)
        file += "K" + QByteArray::number(i) + "=1\r\n";
    put(file);
    EXPECT_EQ(GetSectionKeyCount(u"WIDE"_s, path()), 40);
    EXPECT_EQ(GetSectionKeyCount(u"MANY"_s, path()), 32767);
}

} // namespace
} // namespace ondalink

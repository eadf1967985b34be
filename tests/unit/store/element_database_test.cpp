// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini_fixture.h"
#include "store/element_database.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::bytesAt;
using testing::IniFileTest;
using testing::putAt;

class ElementDatabaseTest : public IniFileTest {
protected:
    ElementDatabase db() const { return ElementDatabase(path()); }
};

const QString kDec1 = u"DEC 1"_s + QString(11, u' ');
const QString kEnc1 = u"ENC 1"_s + QString(11, u' ');

TEST_F(ElementDatabaseTest, ListsEveryElementInFileOrderWithItsNameAndRole) {
    put("[00A0C9000001]\r\nNAME=" + kDec1.toLatin1() +
        "\r\nROLE=2\r\n[00A0C9000002]\r\nname=" + kEnc1.toLatin1() + "\r\nrole=1\r\n");
    const QList<ElementListing> elements = db().listing();
    ASSERT_EQ(elements.size(), 2);
    EXPECT_EQ(elements[0].key, u"00A0C9000001"_s);
    EXPECT_EQ(elements[0].name, kDec1);
    EXPECT_EQ(elements[0].role, 2);
    EXPECT_EQ(elements[1].key, u"00A0C9000002"_s);
    EXPECT_EQ(elements[1].name, kEnc1);
    EXPECT_EQ(elements[1].role, 1);
}

struct ListingCase {
    const char *what;
    QByteArray file;
    QStringList keys;
    QList<std::optional<int>> roles;
};

class ListingShapeTest : public IniFileTest, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(ListingShapeTest, ListsOnlyElementSections) {
    put(GetParam().file);
    const QList<ElementListing> elements = ElementDatabase(path()).listing();
    QStringList keys;
    QList<std::optional<int>> roles;
    for (const ElementListing &e : elements) {
        keys.append(e.key);
        roles.append(e.role);
    }
    EXPECT_EQ(keys, GetParam().keys);
    EXPECT_EQ(roles, GetParam().roles);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ListingShapeTest,
    ::testing::Values(
        ListingCase{"empty", "", {}, {}},
        ListingCase{
            "not twelve hex digits",
            "[GLOBAL]\r\nROLE=1\r\n[00A0C900000]\r\nROLE=1\r\n[00A0C900000G]\r\nROLE=1\r\n[00:A0:C9:00:00:01]"
            "\r\nROLE=1\r\n[00A0C9000001]\r\nROLE=1\r\n",
            {u"00A0C9000001"_s},
            {1}},
        ListingCase{"lower-case key, later duplicate",
                    "[00a0c9000001]\r\nROLE=2\r\n[00A0C9000002]\r\nROLE=1\r\n[00A0C9000001]\r\nROLE=1\r\n",
                    {u"00A0C9000001"_s, u"00A0C9000002"_s},
                    {2, 1}},
        ListingCase{
            "roles that are no whole number",
            "[000000000001]\r\n[000000000002]\r\nROLE=abc\r\n[000000000003]\r\nROLE=1.5\r\n[000000000004]\r\n"
            "ROLE=\r\n[000000000005]\r\nROLE=99999999999\r\n[000000000006]\r\nROLE=1x\r\n",
            {u"000000000001"_s, u"000000000002"_s, u"000000000003"_s, u"000000000004"_s, u"000000000005"_s,
             u"000000000006"_s},
            {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
        ListingCase{"roles with blanks and signs",
                    "[000000000001]\r\nROLE= 2 \r\n[000000000002]\r\nROLE=0\r\n[000000000003]\r\nROLE=-3\r\n"
                    "[000000000004]\r\nROLE=+1\r\nROLE=2\r\n",
                    {u"000000000001"_s, u"000000000002"_s, u"000000000003"_s, u"000000000004"_s},
                    {2, 0, -3, 1}},
        ListingCase{"header with no keys",
                    "[000000000001]\r\n[000000000002]\r\nROLE=1",
                    {u"000000000001"_s, u"000000000002"_s},
                    {std::nullopt, 1}}),
    testing::NameByWhat());

TEST_F(ElementDatabaseTest, NamesAreCutLikeAnyOtherValue) {
    put("[000000000001]\r\nNAME=" + QByteArray(800, 'n') + "\r\nROLE=1\r\n");
    ASSERT_EQ(db().listing().size(), 1);
    EXPECT_EQ(db().listing()[0].name, QString(749, u'n'));
}

TEST_F(ElementDatabaseTest, TenThousandElementsAreListedInOrder) {
    QByteArray file;
    for (int i = 0; i < 10000; ++i) {
        file += "[" + QByteArray::number(i, 16).rightJustified(12, '0').toUpper() + "]\r\nNAME=E" +
                QByteArray::number(i) + "\r\nROLE=" + QByteArray::number(1 + i % 2) + "\r\n";
    }
    put(file);
    const QList<ElementListing> elements = db().listing();
    ASSERT_EQ(elements.size(), 10000);
    for (int i : {0, 1, 4999, 9999}) {
        EXPECT_EQ(elements[i].key, QString::number(i, 16).rightJustified(12, u'0').toUpper());
        EXPECT_EQ(elements[i].name, u"E%1"_s.arg(i));
        EXPECT_EQ(elements[i].role, 1 + i % 2);
    }
}

TEST_F(ElementDatabaseTest, ExistsOnlyForARegularFile) {
    EXPECT_FALSE(db().exists());
    ASSERT_TRUE(QDir(folder()).mkdir(u"nms.ini"_s));
    EXPECT_FALSE(db().exists());
    EXPECT_TRUE(db().listing().isEmpty());
    ASSERT_TRUE(QDir(folder()).rmdir(u"nms.ini"_s));
    put("");
    EXPECT_TRUE(db().exists());
}

TEST_F(ElementDatabaseTest, ReadsAndWritesGoToItsFile) {
    EXPECT_TRUE(db().write(u"000000000001"_s, u"role"_s, u"1"_s));
    EXPECT_TRUE(db().writeSection(u"000000000001"_s, {{u"name"_s, kEnc1}, {u"ip"_s, u"10.0.0.1"_s}}));
    EXPECT_EQ(db().read(u"000000000001"_s, u"name"_s), kEnc1);
    EXPECT_EQ(db().read(u"000000000001"_s, u"ver"_s, u"2"_s), u"2"_s);
    EXPECT_EQ(db().keyCount(u"000000000001"_s), 3);
    EXPECT_EQ(bytes(), "[000000000001]\r\nROLE=1\r\nNAME=" + kEnc1.toLatin1() + "\r\nIP=10.0.0.1\r\n");
}

TEST_F(ElementDatabaseTest, RecreateKeepsACopyAndLeavesAnEmptyFile) {
    const QByteArray old = "[000000000001]\r\nROLE=1\r\n";
    put(old);
    QString error;
    ASSERT_TRUE(db().recreateEmpty(&error)) << error.toStdString();
    EXPECT_EQ(bytes(), QByteArray());
    EXPECT_TRUE(db().exists());
    EXPECT_EQ(bytesAt(path() + u".bak"_s), old);
    EXPECT_EQ(entries(), (QStringList{u"nms.ini"_s, u"nms.ini.bak"_s}));

    // A second fresh start keeps the (now empty) database, not the older copy.
    ASSERT_TRUE(db().recreateEmpty(&error));
    EXPECT_EQ(bytesAt(path() + u".bak"_s), QByteArray());
}

TEST_F(ElementDatabaseTest, RecreateWithoutAFileMakesNoCopy) {
    ASSERT_TRUE(db().recreateEmpty());
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s});
    EXPECT_EQ(bytes(), QByteArray());
}

struct RecreateFailure {
    const char *what;
    std::function<void(const QString &folder, const QString &path)> prepare;
};

class RecreateFailureTest : public IniFileTest, public ::testing::WithParamInterface<RecreateFailure> {};

TEST_P(RecreateFailureTest, FailsWithAReasonAndLosesNothing) {
    GetParam().prepare(folder(), path());
    const QStringList before = entries();
    const QByteArray oldBytes = bytes();
    QString error;
    EXPECT_FALSE(ElementDatabase(path()).recreateEmpty(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(bytes(), oldBytes);
}

const QByteArray kElement = "[000000000001]\r\nROLE=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Obstacles, RecreateFailureTest,
    ::testing::Values(RecreateFailure{"read_only_database",
                                      [](const QString &, const QString &p) {
                                          putAt(p, kElement);
                                          QFile::setPermissions(p, QFile::ReadOwner);
                                      }},
                      RecreateFailure{"read_only_copy",
                                      [](const QString &, const QString &p) {
                                          putAt(p, kElement);
                                          putAt(p + u".bak"_s, "older");
                                          QFile::setPermissions(p + u".bak"_s, QFile::ReadOwner);
                                      }},
                      RecreateFailure{"directory_named_like_the_database",
                                      [](const QString &f, const QString &) { QDir(f).mkdir(u"nms.ini"_s); }},
                      RecreateFailure{"directory_named_like_the_copy",
                                      [](const QString &f, const QString &p) {
                                          putAt(p, kElement);
                                          QDir(f).mkdir(u"nms.ini.bak"_s);
                                      }}),
    testing::NameByWhat());

TEST_F(ElementDatabaseTest, RecreateInAMissingFolderSaysWhere) {
    QString error;
    const QString inMissing = folder() + u"/missing/nms.ini"_s;
    EXPECT_FALSE(ElementDatabase(inMissing).recreateEmpty(&error));
    EXPECT_TRUE(error.contains(inMissing)) << error.toStdString();
}

TEST(ElementDatabaseLocation, BesideTheProgramWhenThatFolderIsWritable) {
    ASSERT_TRUE(QFileInfo(QCoreApplication::applicationDirPath()).isWritable());
    EXPECT_EQ(ElementDatabase::defaultPath(), QCoreApplication::applicationDirPath() + u"/nms.ini"_s);
}

} // namespace
} // namespace ondalink

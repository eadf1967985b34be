// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini_fixture.h"
#include "store/element_database.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::bytesAt;
using ElementDb = testing::IniFileTest;

TEST_F(ElementDb, ListsElementSectionsInFileOrderWithNameRoleAndAddress) {
    put("[00A0C9000001]\r\nNAME=DEC 1           \r\nROLE=2\r\nIP=10.0.0.7\r\n[GLOBAL]\r\nROLE=1\r\n"
        "[00:A0:C9:00:00:03]\r\n[00a0c9000002]\r\nname=ENC 1\r\nip=10.0.0.8\r\nrole= 1 \r\nIP=10.0.0.9"
        "\r\n[00A0C9000001]\r\nROLE=1\r\n[00A0C9000004]\r\nROLE=1.5\r\n"
        "[00A0C9000005]");
    using Listed = std::tuple<QString, QString, std::optional<int>, QString>;
    QList<Listed> listed;
    for (const ElementListing &e : ElementDatabase(path()).listing())
        listed.append({e.key, e.name, e.role, e.ip});
    // The first of a repeated key counts, as for every other read.
    EXPECT_EQ(listed, (QList<Listed>{{u"00A0C9000001"_s, u"DEC 1           "_s, 2, u"10.0.0.7"_s},
                                     {u"00A0C9000002"_s, u"ENC 1"_s, 1, u"10.0.0.8"_s},
                                     {u"00A0C9000004"_s, u""_s, std::nullopt, u""_s},
                                     {u"00A0C9000005"_s, u""_s, std::nullopt, u""_s}}));
}

TEST_F(ElementDb, RecreateKeepsACopyAndLeavesAnEmptyFile) {
    const ElementDatabase db(path());
    EXPECT_FALSE(db.exists());
    ASSERT_TRUE(db.recreateEmpty());
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s}) << "no copy of nothing";
    const QByteArray old = "[000000000001]\r\nROLE=1\r\n";
    put(old);
    QString error;
    ASSERT_TRUE(db.recreateEmpty(&error)) << error.toStdString();
    EXPECT_EQ(std::tuple(db.exists(), bytes(), bytesAt(path() + u".bak"_s)),
              std::tuple(true, QByteArray(), old));

    // The copy cannot be replaced: nothing is lost, and the operator is told why.
    ASSERT_TRUE(QFile::setPermissions(path() + u".bak"_s, QFile::ReadOwner));
    put(old);
    EXPECT_FALSE(db.recreateEmpty(&error));
    EXPECT_EQ(std::tuple(error.isEmpty(), bytes(), bytesAt(path() + u".bak"_s)), std::tuple(false, old, old));

    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner));
    QFile::remove(path() + u".bak"_s);
    EXPECT_FALSE(db.recreateEmpty(&error));
    EXPECT_EQ(entries(), QStringList{u"nms.ini"_s}) << "no copy when the database cannot be emptied";
}

TEST(ElementDatabaseLocation, BesideTheProgramWhenThatFolderIsWritable) {
    EXPECT_EQ(ElementDatabase::defaultPath(), QCoreApplication::applicationDirPath() + u"/nms.ini"_s);
}

} // namespace
} // namespace ondalink

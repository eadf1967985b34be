// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini_fixture.h"
#include "store/element_database.h"

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::bytesAt;
class Backup : public testing::IniFileTest {
protected:
    const ElementDatabase db{path()};
};

const QByteArray kCurrent = "[00A0C9000001]\r\nNAME=NEW\r\nIP=10.0.0.1\r\n";
const QByteArray kPrevious = "[00A0C9000002]\r\nNAME=OLD\r\n[00A0C9000003]\r\nNAME=OLDER\r\n";

// A restore swaps the two files, so that a second restore undoes the first.
TEST_F(Backup, RestoreSwapsTheFileWithItsBackupAndCanBeUndone) {
    put(kCurrent);
    put(kPrevious, db.backupPath());
    QString error;
    ASSERT_TRUE(db.restoreBackup(&error)) << error.toStdString();
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kPrevious, kCurrent));
    ASSERT_TRUE(db.restoreBackup(&error));
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kCurrent, kPrevious));
    EXPECT_EQ(entries(), (QStringList{u"nms.ini"_s, u"nms.ini.bak"_s})) << "no swap file left behind";
}

TEST_F(Backup, RestoreWithoutABackupChangesNothingAndSaysWhy) {
    put(kCurrent);
    QString error;
    EXPECT_FALSE(db.hasBackup());
    EXPECT_FALSE(db.restoreBackup(&error));
    EXPECT_TRUE(error.contains(u"nms.ini.bak"_s)) << error.toStdString();
    EXPECT_EQ(bytes(), kCurrent);

    // Neither file can be replaced: the refusal comes before the first change.
    put(kPrevious, db.backupPath());
    ASSERT_TRUE(QFile::setPermissions(db.backupPath(), QFile::ReadOwner));
    EXPECT_FALSE(db.restoreBackup(&error));
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kCurrent, kPrevious));
    EXPECT_EQ(entries(), (QStringList{u"nms.ini"_s, u"nms.ini.bak"_s}));
}

TEST_F(Backup, RestoreWithoutADatabasePutsTheBackupInPlace) {
    put(kPrevious, db.backupPath());
    ASSERT_TRUE(db.restoreBackup());
    EXPECT_EQ(bytes(), kPrevious);
}

// What a crash between the steps of a restore leaves is completed at the next start.
TEST_F(Backup, StartUpCompletesARestoreCutShort) {
    const QString swap = path() + u".bak.swap"_s;
    // Cut after the database was replaced: the swap file is the database that was replaced.
    put(kPrevious);
    put(kPrevious, db.backupPath());
    put(kCurrent, swap);
    db.removeStaleTemporaries();
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kPrevious, kCurrent));
    EXPECT_FALSE(QFile::exists(swap));
    // Cut before: the database is what the swap file holds, the backup untouched.
    put(kCurrent, swap);
    put(kCurrent);
    db.removeStaleTemporaries();
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kCurrent, kCurrent));
    EXPECT_FALSE(QFile::exists(swap));
}

TEST_F(Backup, KeepBackupCopiesTheFileAndLeavesAnOldBackupWhenThereIsNone) {
    put(kPrevious, db.backupPath());
    ASSERT_TRUE(db.keepBackup());
    EXPECT_EQ(bytesAt(db.backupPath()), kPrevious);
    put(kCurrent);
    ASSERT_TRUE(db.keepBackup());
    EXPECT_EQ(std::pair(bytes(), bytesAt(db.backupPath())), std::pair(kCurrent, kCurrent));
}

TEST_F(Backup, ReplacedSectionsKeepTheirPlaceLoseOldKeysAndDropLaterCopies) {
    put("; head\r\n[00A0C9000001]\r\nNAME=A\r\nBOUND=3\r\nATT=20\r\n[GLOBAL]\r\nX=1\r\n"
        "[00a0c9000001]\r\nNAME=STALE\r\n[00A0C9000002]\r\nNAME=B");
    ASSERT_TRUE(db.replaceSections({{u"00A0C9000001"_s, {{u"name"_s, u"A2"_s}, {u"role"_s, u"1"_s}}},
                                    {u"00A0C9000009"_s, {{u"name"_s, u"NEW"_s}}}}));
    EXPECT_EQ(bytes(), "; head\r\n[00A0C9000001]\r\nNAME=A2\r\nROLE=1\r\n[GLOBAL]\r\nX=1\r\n"
                       "[00A0C9000002]\r\nNAME=B\r\n[00A0C9000009]\r\nNAME=NEW\r\n");
    ASSERT_TRUE(db.replaceSections({{u"00A0C9000005"_s, {{u"name"_s, u"ONLY"_s}}}}, true));
    EXPECT_EQ(bytes(), "[00A0C9000005]\r\nNAME=ONLY\r\n");
    EXPECT_FALSE(db.replaceSections({{u"00A0C9000005"_s, {{u"name"_s, u"A\nB"_s}}}}, true));
    EXPECT_EQ(bytes(), "[00A0C9000005]\r\nNAME=ONLY\r\n") << "nothing written when a value cannot be";
}

TEST_F(Backup, DuplicateAddressesAreTheSetsOfElementsStoredWithOneAddress) {
    put("[00A0C9000001]\r\nNAME=A\r\nIP=10.0.0.1\r\n[00A0C9000002]\r\nNAME=B\r\nIP=10.0.0.2\r\n"
        "[00A0C9000003]\r\nNAME=C\r\nIP=010.000.000.001\r\n[00A0C9000004]\r\nNAME=D\r\nIP=10.0.0.2\r\n"
        "[00A0C9000005]\r\nNAME=E\r\nIP=bad\r\n[00A0C9000006]\r\nNAME=F\r\nIP=bad\r\n");
    QList<QStringList> sets;
    for (const auto &set : db.duplicateAddresses()) {
        QStringList names;
        for (const ElementListing &e : set)
            names.append(e.name);
        sets.append(names);
    }
    EXPECT_EQ(sets, (QList<QStringList>{{u"A"_s, u"C"_s}, {u"B"_s, u"D"_s}}));
}

} // namespace
} // namespace ondalink

// SPDX-License-Identifier: GPL-3.0-or-later
// An element's section loaded as the panel shows it, from one snapshot: what discovery writes loads back
// unchanged, damaged values read safely, and the corrections loading writes leave the same bytes as the
// key-by-key writes they replace. The database's listing, its recreation and its default place.
#include "ini_fixture.h"
#include "store/element_database.h"
#include "store/element_schema.h"
#include "store/profile_file.h"

#include <QCoreApplication>

#include <limits>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using ElementLoad = testing::IniFileTest;
using ElementDb = testing::IniFileTest;
using testing::bytesAt;
using K = ElementKey;

const QString kKey = u"00A0C9000001"_s;

ElementRecord decoder() {
    ElementRecord r;
    r.mac = u"00:A0:C9:00:00:01"_s;
    r.name = u"DEC 1           "_s;
    r.ip = u"10.0.0.11"_s;
    r.mask = u"255.255.0.0"_s;
    r.gw = u"10.0.0.1"_s;
    r.remote = u"10.0.0.21"_s;
    std::tie(r.input, r.type, r.tx, r.role, r.sn, r.ver) = std::tuple(1, 0, 1, kRoleDecoder, 100307, 3.5);
    std::tie(r.sfn, r.buf, r.att, r.sdm, r.sdl, r.sdt) = std::tuple(1, 3, 235, 2, 120, 200);
    return r;
}

// The section a discovery of that record stores, as the only section of the file.
QByteArray discovered(const ElementRecord &r, OptionalFields carried) {
    QByteArray text = "[" + kKey.toLatin1() + "]\r\n";
    for (const auto &[key, value] : discoveryKeys(r, carried, QLocale::c()))
        text += key.toUpper().toLatin1() + "=" + value.toLatin1() + "\r\n";
    return text;
}

// The section's key lines as the load reads them, without a file.
StoredElement section(const QByteArray &lines) {
    StoredElement element(kKey);
    for (const QByteArray &line : lines.split(';')) {
        const qsizetype eq = line.indexOf('=');
        element.addKeyLine(line.left(eq), eq < 0 ? QByteArray() : line.mid(eq + 1));
    }
    return element;
}

TEST(ElementSchema, WholeNumbersAreReadAsTheyHaveAlwaysBeen) {
    // clang-format off
    const struct { const char *name; QByteArray text; std::optional<int> value; } rows[] = {
        {"plain", "17", 17},
        {"signs", "-3", -3}, {"plus", "+2", 2}, {"signs twice", "+-2", {}},
        {"blanks and tabs around", " \t2 ", 2}, {"other white space", "\v\f1\x85\xA0", 1},
        {"leading zeros past ten digits", "000000000012", 12},
        {"int limits", "-2147483648", std::numeric_limits<int>::min()}, {"just past them", "2147483648", {}},
        {"huge", "99999999999999999999", {}},
        {"empty", "", {}}, {"a sign alone", "-", {}}, {"blank inside", "1 2", {}},
        {"decimal", "1.0", {}}, {"exponent", "1e3", {}}, {"hex", "0x10", {}}, {"NUL after", QByteArray("1\0", 2), {}},
    };
    // clang-format on
    for (const auto &row : rows)
        EXPECT_EQ(wholeNumber(row.text), row.value) << row.name;
}

TEST(ElementSchema, DamagedValuesReadAsTheirDefaultOrTheNearestEndOfTheirRange) {
    // clang-format off
    const struct { const char *name; QByteArray lines; QString shown; QString corrected; } rows[] = {
        {"not numbers", "ROLE=2;ATT=a;BUF=b;SDL=c;SDT=d;SDM=e;VER=f;SFN=g",
         u"att 14 buf 1 sdm 0 sdl 37 sdt 43 ver 2 sfn 0"_s, u"att=14"_s},
        {"beyond the corrected ends", "ROLE=2;ATT=0;SDL=200;SDT=250",
         u"att 14 buf 1 sdm 0 sdl 154 sdt 220 ver 2 sfn 0"_s, u"att=14 sdl=154 sdt=220"_s},
        {"beyond the other ends", "ROLE=2;ATT=999;BUF=300;SDL=-5;SDT=0;SDM=7;SFN=5",
         u"att 255 buf 8 sdm 0 sdl 1 sdt 1 ver 2 sfn 1"_s, u""_s},
        {"at the ends", "ROLE=2;ATT=15;BUF=8;SDL=154;SDT=220;SDM=2",
         u"att 15 buf 8 sdm 2 sdl 154 sdt 220 ver 2 sfn 0"_s, u""_s},
        {"the minimum attenuation is written again", "ROLE=2;ATT= 14", u"att 14 buf 1 sdm 0 sdl 37 sdt 43 ver 2 sfn 0"_s,
         u"att=14"_s},
        {"an encoder corrects nothing", "ROLE=1;ATT=0;SDL=200;BUF=9", u"att 0 buf 8 sdm 0 sdl 0 sdt 0 ver 2 sfn 0"_s,
         u""_s},
        {"no role corrects nothing", "ROLE=x;ATT=0", u"att 0 buf 1 sdm 0 sdl 0 sdt 0 ver 2 sfn 0"_s, u""_s},
        {"a version with a comma", "ROLE=2;ATT=20;VER=3,4", u"att 20 buf 1 sdm 0 sdl 37 sdt 43 ver 3.4 sfn 0"_s, u""_s},
    };
    // clang-format on
    for (const auto &row : rows) {
        const StoredElement stored = section(row.lines);
        const ElementRecord r = stored.record();
        const QString shown = QString::asprintf("att %d buf %d sdm %d sdl %d sdt %d ver %g sfn %d", r.att,
                                                r.buf, r.sdm, r.sdl, r.sdt, r.ver, r.sfn);
        EXPECT_EQ(shown, row.shown) << row.name;
        QStringList corrections;
        for (const auto &[key, value] : stored.corrections())
            corrections << key + u'=' + value;
        EXPECT_EQ(corrections.join(u' '), row.corrected) << row.name;
    }
}

TEST(ElementSchema, ListEntriesAndTextsAsStored) {
    const StoredElement stored = section("INPUT=1;TYPE=2;TX=-1;ROLE=258;SN=abc;BOUND=7;IP= 10.0.0.1 ");
    EXPECT_EQ(std::tuple(stored.listIndex(K::Input), stored.listIndex(K::Type), stored.listIndex(K::Tx)),
              std::tuple(std::optional(1), std::optional<int>(), std::optional<int>()));
    EXPECT_EQ(stored.number(K::Bound), 7) << "the encoder list's length is the panel's to check";
    EXPECT_EQ(std::tuple(stored.text(K::Sn), stored.text(K::Ip), stored.text(K::Name), stored.text(K::Ver)),
              std::tuple(u"abc"_s, u" 10.0.0.1 "_s, u""_s, u"2"_s));
    EXPECT_EQ(std::tuple(stored.role(), stored.record().role, stored.record().sn),
              std::tuple(ElementRole::Unknown, quint8(0), 0))
        << "a role beyond a byte is no role, not its low byte";
}

TEST(ElementSchema, EighteenKeyLinesAreImplausibleWhateverTheyAre) {
    QByteArray lines = "ROLE=2;ATT=0";
    for (int i = 2; i < 17; ++i)
        lines += ";K" + QByteArray::number(i) + "=1";
    // The eighteenth, a duplicate, still counts: the section is then neither plausible nor corrected.
    const StoredElement eighteen = section(lines + ";ATT=1");
    EXPECT_EQ(std::tuple(eighteen.keyCount(), eighteen.isPlausible(), eighteen.corrections().size()),
              std::tuple(18, false, 0));
}

TEST_F(ElementLoad, ReadsTheFirstSectionOfTheKeyFromOneSnapshot) {
    put("[OTHER]\r\nROLE=1\r\n[00a0c9000001]\r\nrole = 2\r\n; note\r\nNAME=" + QByteArray(800, 'N') +
        "\r\nbroken line\r\n[00A0C9000001]\r\nROLE=1\r\n[00A0C9000002]\r\n[00A0C9000003]\r\nROLE=1");
    const ElementDatabase db(path());
    const auto first = db.load(kKey);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(std::tuple(first->keyCount(), first->role(), first->text(K::Name)),
              std::tuple(2, ElementRole::Decoder, QString(kMaxValueLength, u'N')));
    EXPECT_EQ(first->record().mac, u"00:A0:C9:00:00:01"_s);
    EXPECT_EQ(db.load(u"00A0C9000002"_s), std::nullopt) << "a section without keys counts as absent";
    EXPECT_EQ(db.load(u"00A0C9000004"_s), std::nullopt);
    EXPECT_EQ(db.load(u"00A0C9000003"_s)->role(), ElementRole::Encoder) << "no final line break";
    EXPECT_EQ(ElementDatabase(folder() + u"/none.ini"_s).load(kKey), std::nullopt);
    EXPECT_EQ(ElementDatabase(folder()).load(kKey), std::nullopt) << "a folder reads as no file";
}

TEST_F(ElementLoad, WhatDiscoveryStoresLoadsBackAsTheSameRecord) {
    ElementRecord encoder = decoder();
    std::tie(encoder.role, encoder.ver, encoder.buf, encoder.att, encoder.sdm, encoder.sdl, encoder.sdt) =
        std::tuple(kRoleEncoder, 2.0, 0, 0, 0, 0, 0);
    const OptionalFields all =
        OptionalField::Att | OptionalField::Sdm | OptionalField::Sdl | OptionalField::Sdt;
    // clang-format off
    const struct { const char *name; ElementRecord record; OptionalFields carried; int keys; } rows[] = {
        {"encoder", encoder, all, 13},
        {"decoder", decoder(), all, 17},
        {"decoder without silence detection", decoder(), OptionalField::Att, 14},
    };
    // clang-format on
    for (const auto &row : rows) {
        put(discovered(row.record, row.carried));
        const std::optional<StoredElement> loaded = ElementDatabase(path()).load(kKey);
        ASSERT_TRUE(loaded.has_value()) << row.name;
        const StoredElement &stored = *loaded;
        ElementRecord expected = row.record;
        expected.bound = u"0"_s;                       // written by no one, so loaded as its default
        if (!row.carried.testFlag(OptionalField::Sdl)) // what loading shows for what was not stored
            std::tie(expected.sdm, expected.sdl, expected.sdt) = std::tuple(0, 37, 43);
        EXPECT_EQ(stored.keyCount(), row.keys) << row.name;
        EXPECT_EQ(stored.record(), expected) << row.name;
        EXPECT_EQ(stored.present(),
                  row.record.kind() == ElementRole::Decoder ? row.carried : OptionalFields())
            << row.name;
        EXPECT_TRUE(stored.corrections().isEmpty()) << row.name;
    }
}

TEST_F(ElementLoad, TheTreeAndThePanelReadTheSameRole) {
    put("[00A0C9000001]\r\nROLE=\v2\xA0\r\n[00A0C9000002]\r\nROLE=000000000001\r\n[00A0C9000003]\r\nROLE=1."
        "0\r\n");
    const ElementDatabase db(path());
    QList<std::optional<int>> roles;
    for (const ElementListing &e : db.listing()) {
        roles.append(e.role);
        EXPECT_EQ(e.kind(), db.load(e.key)->role()) << e.key.toStdString();
    }
    EXPECT_EQ(roles, (QList<std::optional<int>>{2, 1, std::nullopt}));
}

// What loading did before: each correction its own WriteToINI, after a read of its own.
void correctKeyByKey(const QString &file) {
    const auto stored = [&](const QString &key, int fallback) {
        bool ok = false;
        const int value = ReadFromINI(kKey, key, file).trimmed().toInt(&ok);
        return ok ? value : fallback;
    };
    if (roleFromValue(stored(u"role"_s, 0)) != ElementRole::Decoder)
        return;
    if (stored(u"att"_s, 0) <= kAttenMin)
        WriteToINI(kKey, u"att"_s, QString::number(kAttenMin), file);
    if (stored(u"sdl"_s, 37) > kSilDetLevelMax)
        WriteToINI(kKey, u"sdl"_s, QString::number(kSilDetLevelMax), file);
    if (stored(u"sdt"_s, 43) > kSilDetTimeMax)
        WriteToINI(kKey, u"sdt"_s, QString::number(kSilDetTimeMax), file);
}

TEST_F(ElementLoad, CorrectionsInOneReplacementLeaveTheBytesKeyByKeyWritesLeft) {
    // clang-format off
    const struct { const char *name; QByteArray file; } rows[] = {
        {"all three", "[00A0C9000001]\r\nROLE=2\r\nATT=0\r\nSDL=200\r\nSDT=250\r\n[00A0C9000002]\r\nROLE=1\r\n"},
        {"attenuation missing, others beyond",
         "[00A0C9000002]\r\nROLE=1\r\n[00A0C9000001]\r\nROLE=2\r\nSDT=250\r\nSDL=155\r\n; trailing note\r\n\r\n"},
        {"no final line break", "[00A0C9000001]\nROLE=2\nsdl=999\natt=3"},
        {"duplicates and odd spacing", "[00A0C9000001]\r\nROLE=2\r\n att = 1\r\nATT=99\r\nSDT= 221 \r\nSDT=1\r\n"},
        {"duplicate sections", "[00A0C9000001]\r\nROLE=2\r\n[00A0C9000001]\r\nROLE=2\r\nATT=0\r\n"},
    };
    // clang-format on
    for (const auto &row : rows) {
        put(row.file);
        correctKeyByKey(path());
        const QByteArray keyByKey = bytes();

        put(row.file);
        const ElementDatabase db(path());
        const auto stored = db.load(kKey);
        ASSERT_TRUE(stored.has_value()) << row.name;
        if (!stored->corrections().isEmpty()) {
            ASSERT_TRUE(db.writeSection(kKey, stored->corrections())) << row.name;
        }
        EXPECT_EQ(bytes(), keyByKey) << row.name;
    }
}

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

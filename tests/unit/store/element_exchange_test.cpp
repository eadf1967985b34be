// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini_fixture.h"
#include "model/element_record.h"
#include "store/element_database.h"
#include "store/element_exchange.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

using testing::IniFileTest;

ElementRecord encoder(const QString &name, const QString &ip) {
    ElementRecord r;
    std::tie(r.name, r.ip, r.mask, r.gw, r.remote) =
        std::tuple(name, ip, u"255.255.255.0"_s, u"0.0.0.0"_s, u"239.1.1.1"_s);
    std::tie(r.tx, r.role, r.sn, r.ver) = std::tuple(1, kRoleEncoder, 77, 2.0);
    return r;
}

ElementRecord decoder() {
    ElementRecord r = encoder(u"Studio A"_s, u"10.0.0.21"_s);
    std::tie(r.input, r.role, r.sn, r.ver, r.buf, r.sdm, r.sdl) =
        std::tuple(1, kRoleDecoder, 2147483647, 3.4, 5, 2, 200);
    r.att = 10; // below what the panel shows: an export must still carry it
    return r;
}

// A database as discoveries leave it: a decoder, an encoder whose name has a Latin-1 letter and a comma,
// and one whose name has quotes (its version written with the decimal comma).
class Exchange : public IniFileTest {
protected:
    void SetUp() override {
        const OptionalFields all =
            OptionalField::Att | OptionalField::Sdm | OptionalField::Sdl | OptionalField::Sdt;
        ASSERT_TRUE(ElementDatabase(path()).writeSections({
            {u"00A0C9000001"_s, discoveryKeys(decoder(), all, QLocale::c())},
            {u"00A0C9000002"_s,
             discoveryKeys(encoder(u"Émetteur, nord"_s, u"10.0.0.30"_s), {}, QLocale::c())},
            {u"00A0C9000003"_s,
             discoveryKeys(encoder(u"far \"site\""_s, u"192.168.7.9"_s), {}, QLocale(QLocale::German))},
        }));
    }
};

// Export, then import the file into an empty database: the bytes of nms.ini come back, in either format.
TEST_F(Exchange, ExportThenImportIntoAnEmptyDatabaseGivesTheSameFile) {
    const QByteArray original = bytes();
    const auto elements = exportableElements(ElementDatabase(path()));
    ASSERT_EQ(elements.size(), 3);
    for (const ExchangeFormat format : {ExchangeFormat::Csv, ExchangeFormat::Json}) {
        const ImportResult imported = importElements(exportElements(elements, format), format);
        ASSERT_TRUE(imported.ok()) << problemList(imported.problems).toStdString();
        EXPECT_EQ(imported.elements.size(), 3);
        const QString copy = folder() + u"/copy.ini"_s;
        QList<std::pair<QString, KeyValues>> sections;
        for (const ExchangedElement &e : imported.elements)
            sections.append({e.key, e.keys});
        ASSERT_TRUE(ElementDatabase(copy).replaceSections(sections, true));
        EXPECT_EQ(testing::bytesAt(copy), original) << int(format);
    }
}

TEST_F(Exchange, CsvHasAHeaderOfKeyNamesMacFirstAndOneRowPerElement) {
    const QByteArray csv = toCsv(exportableElements(ElementDatabase(path())));
    const QList<QByteArray> lines = csv.split('\n');
    ASSERT_EQ(lines.size(), 5); // header, three rows, nothing after the last CRLF
    EXPECT_EQ(lines[0],
              "mac,name,ip,mask,gw,remote,input,type,tx,role,sn,ver,sfn,buf,att,sdm,sdl,sdt,bound\r");
    EXPECT_TRUE(lines[2].startsWith("00A0C9000002,\"\xC3\x89METTEUR, NORD  \",10.0.0.30,"));
    EXPECT_TRUE(lines[3].contains("\"FAR \"\"SITE\"\"      \"")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains(",,,,,\r")); // an encoder lacks att..sdt and nobody writes bound
}

// A hand-made file: BOM, LF line ends, columns in another order, a short name and a colon-form MAC.
TEST(ExchangeImport, TakesWhatASpreadsheetWritesAndStoresItAsADiscoveryWould) {
    const ImportResult r = fromCsv("\xEF\xBB\xBFip,MAC,role,name\n"
                                   "10.1.1.1,00:a0:c9:00:00:10,1,enc 1\n"
                                   "\n"
                                   "10.1.1.2,00a0c9000011,2,\"a, \"\"b\"\"\"\n");
    ASSERT_TRUE(r.ok()) << problemList(r.problems).toStdString();
    ASSERT_EQ(r.elements.size(), 2);
    EXPECT_EQ(r.elements[0].key, u"00A0C9000010"_s);
    EXPECT_EQ(r.elements[0].keys,
              (KeyValues{{u"name"_s, u"ENC 1           "_s}, {u"ip"_s, u"10.1.1.1"_s}, {u"role"_s, u"1"_s}}));
    EXPECT_EQ(r.elements[1].line, 4);
    EXPECT_EQ(r.elements[1].keys.value(0).second, u"A, \"B\"          "_s);
}

const QByteArray kHeader = "mac,name,ip,role,input,sdm,ver,mask\r\n";
const QByteArray kGood = "00A0C9000001,ENC,10.0.0.1,1,0,0,2,255.0.0.0\r\n";

struct BadFile {
    const char *name;
    QByteArray row;     // after the header and a good row, on line 3; a whole file if line says otherwise
    const char *reason; // a part of the reason given
    int line = 3;
};

class BadCsv : public ::testing::TestWithParam<BadFile> {};

// Every kind of bad row is named with its line, and one bad row keeps every row out.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, BadCsv, ::testing::Values(
    BadFile{"ShortMac", "00A0C90001,X,10.0.0.2,1,0,0,2,", "12 hexadecimal"},
    BadFile{"FewerCells", "00A0C9000002,X,10.0.0.2", "3 cells where the header has 8"},
    BadFile{"MoreCells", "00A0C9000002,X,10.0.0.2,1,0,0,2,,9", "9 cells"},
    BadFile{"RoleThree", "00A0C9000002,X,10.0.0.2,3,0,0,2,", "role \"3\""},
    BadFile{"InputTwo", "00A0C9000002,X,10.0.0.2,1,2,0,2,", "input \"2\""},
    BadFile{"SdmNotANumber", "00A0C9000002,X,10.0.0.2,2,0,x,2,", "sdm \"x\""},
    BadFile{"SdmAboveAByte", "00A0C9000002,X,10.0.0.2,2,0,256,2,", "sdm \"256\""},
    BadFile{"Version", "00A0C9000002,X,10.0.0.2,1,0,0,v2,", "ver \"v2\""},
    BadFile{"Address", "00A0C9000002,X,10.0.0.256,1,0,0,2,", "ip \"10.0.0.256\""},
    BadFile{"Mask", "00A0C9000002,X,10.0.0.2,1,0,0,2,255.255", "mask \"255.255\""},
    BadFile{"NoAddress", "00A0C9000002,X,,1,0,0,2,", "ip is missing"},
    BadFile{"LongName", "00A0C9000002,ABCDEFGHIJKLMNOPQ,10.0.0.2,1,0,0,2,", "longer than 16"},
    BadFile{"NotLatin1", "00A0C9000002,\xE2\x82\xAC 1,10.0.0.2,1,0,0,2,", "cannot be stored"},
    BadFile{"NotUtf8", "00A0C9000002,\xE9,10.0.0.2,1,0,0,2,", "not UTF-8"},
    BadFile{"DuplicateMac", "00:a0:c9:00:00:01,X,10.0.0.2,1,0,0,2,", "listed on line 2 already"},
    BadFile{"UnclosedQuote", "00A0C9000002,\"X,10.0.0.2,1,0,0,2,", "not closed"},
    BadFile{"LineBreakInName", kHeader + "00A0C9000002,\"X\nY\",10.0.0.2,1,0,0,2,\r\n" + kGood, "cannot be stored", 2},
    BadFile{"UnknownColumn", "mac,name,ip,role,colour\r\n", "\"colour\" is not a key", 1},
    BadFile{"TwiceAColumn", "mac,name,ip,role,IP\r\n", "there twice", 1},
    BadFile{"NoMacColumn", "name,ip,role\r\n", "no mac column", 1},
    BadFile{"Empty", "", "no header", 1}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

TEST_P(BadCsv, IsRefusedWithTheLineAndNothingImported) {
    const BadFile &bad = GetParam();
    const ImportResult r = fromCsv(bad.line == 3 ? kHeader + kGood + bad.row + "\r\n" : bad.row);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.elements.isEmpty());
    ASSERT_EQ(r.problems.size(), 1) << problemList(r.problems).toStdString();
    EXPECT_EQ(r.problems[0].line, bad.line);
    EXPECT_TRUE(r.problems[0].reason.contains(QLatin1StringView(bad.reason)))
        << r.problems[0].reason.toStdString();
}

TEST(ExchangeImport, ListsEveryBadRowNotOnlyTheFirst) {
    const ImportResult r =
        fromCsv(kHeader + "bad,X,10.0.0.1,1,0,0,2,\r\n" + kGood + "00A0C9000002,X,1.2.3,9,0,0,2,\r\n");
    ASSERT_EQ(r.problems.size(), 3);
    EXPECT_EQ(r.problems[0].line, 2);
    EXPECT_EQ(r.problems[1].line, 4); // the address
    EXPECT_EQ(r.problems[2].line, 4); // the role
    EXPECT_EQ(problemList(r.problems, 2).count(u'\n'), 2);
    EXPECT_TRUE(problemList(r.problems, 2).endsWith(u"1 more."_s));
}

TEST(ExchangeImport, JsonNamesTheLineOfEachBadElement) {
    const QByteArray json =
        "{\"elements\": [\n"
        "  {\"mac\": \"00A0C9000001\", \"name\": \"a\", \"ip\": \"10.0.0.1\", \"role\": 1},\n"
        "  {\"mac\": \"00A0C9000002\", \"name\": \"b\", \"ip\": \"10.0.0.2\", \"role\": \"7\"},\n"
        "  {\"mac\": \"00A0C9000003\", \"name\": \"c\", \"ip\": \"10.0.0.3\", \"role\": [1]},\n"
        "  {\"mac\": \"00A0C9000004\", \"name\": \"d\", \"ip\": \"10.0.0.4\", \"role\": 1, "
        "\"x\": \"1\"},\n"
        "  7\n"
        "]}";
    const ImportResult r = fromJson(json);
    ASSERT_EQ(r.problems.size(), 4) << problemList(r.problems).toStdString();
    EXPECT_EQ(r.problems[0].line, 3);
    EXPECT_EQ(r.problems[1].line, 4);
    EXPECT_EQ(r.problems[2].line, 5);
    EXPECT_TRUE(r.problems[3].reason.contains(u"element 5"_s));
    EXPECT_EQ(fromJson("{\"elements\": [}").problems.value(0).line, 1);
    EXPECT_FALSE(fromJson("{\"things\": []}").ok());
    EXPECT_TRUE(fromJson("[]").ok());
}

// A line break inside an address would end its line in nms.ini; the address grammar allows blanks.
TEST(ExchangeImport, AValueWithALineBreakIsRefused) {
    for (const char *ip : {"10.0.0\n.2", "10.0.0.2\r", "10.0.0.\u00002"}) {
        SCOPED_TRACE(ip);
        const ImportResult r =
            fromJson(QByteArray("[{\"mac\": \"00A0C9000001\", \"name\": \"DEC 1\", \"ip\": \"") + ip +
                     "\", \"role\": 2}]");
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.elements.isEmpty());
    }
}

} // namespace
} // namespace ondalink

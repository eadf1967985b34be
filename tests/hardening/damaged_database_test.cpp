// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, listing, selecting every listed element and storing a report on nms.ini files that
// no version of the program wrote: the operator gets the system's message or a clear one of ours.
#include "link_test_peer.h"
#include "window_fixture.h"

#include <QDir>

#include <arpa/inet.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace ondalink::testing {
namespace {

using namespace Qt::StringLiterals;

// The message at start-up, given the path of nms.ini.
using StartMessage = std::function<Message(const QString &path)>;
const StartMessage kNoFile = [](const QString &) { return Message(MessageId::DatabaseMissing); };
const StartMessage kNoSections = [](const QString &) { return Message(MessageId::DatabaseEmpty); };
StartMessage unreadable(const QString &why) {
    return [why](const QString &path) {
        return Message(MessageId::ListNotLoaded, {phrase(PhraseId::CannotRead, {path, why})});
    };
}

const QByteArray kDecoder =
    "[00A0C9000001]\r\nNAME=DEC 1           \r\nIP=10.0.0.11\r\nROLE=2\r\nATT=235\r\n";
const QByteArray kOne = "[00A0C9000001]\r\n";
const QByteArray kEncoder = "[00A0C9000002]\r\nNAME=ENC 1           \r\nIP=10.0.0.12\r\nROLE=1\r\n";

QByteArray noise(int size, QByteArrayView without = "[") {
    std::mt19937 random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes) {
        do
            c = char(random());
        while (without.contains(c));
    }
    return bytes;
}

// count sections of one key
QByteArray sections(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "[00A0C9" + QByteArray::number(i, 16).rightJustified(6, '0').toUpper() + "]\r\nROLE=1\r\n";
    return text;
}

using Make = std::function<void(const QString &path)>;

Make bytes(const QByteArray &text, int mode = 0644) {
    return [text, mode](const QString &path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(text), text.size());
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    };
}
// A symbolic link to the target, an absolute path or a suffix to the path of nms.ini
Make link(const QString &target) {
    return [target](const QString &path) {
        ASSERT_TRUE(QFile::link(target.startsWith(u'/') ? target : path + target, path));
    };
}

struct Shape {
    const char *name;
    Make make;
    StartMessage start; // the message at start-up, if any
    int listed;
    bool writable = true;      // a discovered element can be stored
    bool firstRefused = false; // the first element listed cannot be selected
    bool rootReads = false;    // the file is readable to root
};

const QByteArray kUtf16(reinterpret_cast<const char *>(QString::fromLatin1(kEncoder).utf16()),
                        kEncoder.size() * 2);

// clang-format off
const Shape kShapes[] = {
    {"binary", bytes(noise(65536)), kNoSections, 0},
    {"binary around a section", bytes(noise(4096) + "\n" + kDecoder + noise(4096, "[=")), {}, 1},
    {"an 8 MiB line", bytes(QByteArray(8 << 20, 'A') + "\n" + kEncoder), {}, 1},
    {"100,000 sections", bytes(sections(100000)), {}, 100000},
    {"duplicate sections",
     bytes(kEncoder + QByteArray(kEncoder).replace("00A0C9", "00a0c9") + kEncoder), {}, 1},
    {"a section without keys", bytes(kOne + kEncoder), {}, 2, true, true},
    {"missing role and name", bytes(kOne + "IP=10.0.0.11\r\n"), {}, 1},
    {"UTF-16 text", bytes(QByteArray("\xFF\xFE", 2) + kUtf16), kNoSections, 0},
    {"NUL bytes", bytes(QByteArrayLiteral("[00A0C9000001]\r\nNAME=A\0B\r\nROLE=1\0\r\n")), {}, 1},
    {"a header without its bracket", bytes("[00A0C9000001\r\nROLE=1\r\n"), {}, 1},
    {"names that are no element",
     bytes("[hello]\r\nROLE=1\r\n[00A0C900000G]\r\n[00:A0:C9:00:00:01]\r\n[]\r\nROLE=1\r\n"), kNoSections, 0},
    {"read-only", bytes(kDecoder + kEncoder, 0444), {}, 2, false},
    {"no permission to read", bytes(kDecoder, 0), unreadable(u"Permission denied"_s), 0, false, false, true},
    {"a directory", [](const QString &path) { ASSERT_TRUE(QDir().mkdir(path)); },
     unreadable(u"Is a directory"_s), 0, false},
    {"a symbolic link loop", link({}), unreadable(u"Too many levels of symbolic links"_s), 0, false},
    {"a link to nothing", link(u".gone"_s), kNoFile, 0},
    {"a named pipe", [](const QString &p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0); },
     unreadable(phrase(PhraseId::NotRegularFile)), 0, false},
    {"a link to a device", link(u"/dev/zero"_s), unreadable(phrase(PhraseId::NotRegularFile)), 0, false},
};
// clang-format on

void PrintTo(const Shape &shape, std::ostream *out) {
    *out << shape.name;
}

class DamagedDatabase : public HardeningTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(DamagedDatabase, StartsListsSelectsAndStoresWithoutCrashing) {
    const Shape &shape = GetParam();
    if (shape.rootReads && ::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    shape.make(iniPath());
    ASSERT_TRUE(start());
    EXPECT_EQ(notifier.messages, shape.start ? QList<Message>{shape.start(iniPath())} : QList<Message>());
    ASSERT_EQ(rowCount(), shape.listed);
    notifier.messages.clear();

    // Every listed element is selected; of a long list the first, a middle and the last three.
    for (int row = 0; row < shape.listed; ++row) {
        if (shape.listed > 20 && row > 0 && row != shape.listed / 2 && row < shape.listed - 3)
            continue;
        const QString mac = rowMac(row);
        clickRow(row);
        EXPECT_EQ(panel(*window).selectedMac() == mac, row > 0 || !shape.firstRefused) << row;
    }
    EXPECT_EQ(notifier.ids(), QList<MessageId>());
    notifier.messages.clear();

    // A discovery's report for a new element: stored, or the operator is told it could not be.
    resolver.table.insert(htonl(0x0A000032), QByteArray("\x02\x00\x00\x00\x00\x32", 6));
    ElementLinkTestPeer inside(station->link);
    inside.setDiscovering(true);
    inside.endpoint().deliver(reportBytes(0x0A000032));
    inside.setDiscovering(false);
    ASSERT_TRUE(drained());
    const QList<Message> notWritten{Message(MessageId::DatabaseNotWritten, {iniPath()})};
    EXPECT_EQ(notifier.messages, shape.writable ? QList<Message>() : notWritten);
    EXPECT_EQ(station->database.read(u"020000000032"_s, u"ip"_s),
              shape.writable ? u"10.0.0.50"_s : QString());
}

INSTANTIATE_TEST_SUITE_P(Shapes, DamagedDatabase, ::testing::ValuesIn(kShapes), [](const auto &shapeInfo) {
    QString name = QString::fromLatin1(shapeInfo.param.name);
    for (QChar &c : name)
        if (!c.isLetterOrNumber())
            c = u'_';
    return name.toStdString();
});

} // namespace
} // namespace ondalink::testing

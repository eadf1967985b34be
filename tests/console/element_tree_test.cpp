// SPDX-License-Identifier: GPL-3.0-or-later
// Loading the element tree and its companion lists from nms.ini.
#include "console_fixture.h"

#include <QListWidget>

namespace ondalink::testing {
namespace {

struct TreeSnapshot {
    QStringList texts, keys;
    QList<int> images;
    QStringList encoders, hidden;
    QString caption;
    friend bool operator==(const TreeSnapshot &, const TreeSnapshot &) = default;
};

class ElementTreeTest : public ConsoleTest {
protected:
    TreeSnapshot snapshot() const {
        TreeSnapshot s;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = tree()->topLevelItem(i);
            s.texts << item->text(0);
            s.keys << item->data(0, Qt::UserRole).toString();
            s.images << item->data(0, kNodeImageRole).toInt();
            EXPECT_EQ(item->childCount(), 0);
        }
        auto *encoders = find<QComboBox>(u"cmbEncoders"_s);
        for (int i = 0; i < encoders->count(); ++i)
            s.encoders << encoders->itemText(i);
        auto *hidden = find<QListWidget>(u"lstHidden"_s);
        for (int i = 0; i < hidden->count(); ++i)
            s.hidden << hidden->item(i)->text();
        s.caption = find<QGroupBox>(u"frmTreeView"_s)->title();
        return s;
    }
};

TEST_F(ElementTreeTest, ListsTheExampleInFileOrderWithImagesAndEncoderList) {
    writeExample();
    start();
    ASSERT_TRUE(started);
    EXPECT_TRUE(notifier.messages.isEmpty());

    // The stored 16-character names keep their eleven trailing blanks before " [".
    const QString decText = u"DEC 1"_s + QString(11, u' ') + u" [00:A0:C9:00:00:01]"_s;
    const QString encText = u"ENC 1"_s + QString(11, u' ') + u" [00:A0:C9:00:00:02]"_s;
    const TreeSnapshot s = snapshot();
    EXPECT_EQ(s.texts, (QStringList{decText, encText}));
    EXPECT_EQ(s.keys, (QStringList{kDecoderMac, kEncoderMac}));
    EXPECT_EQ(s.images, (QList<int>{7, 6}));
    EXPECT_EQ(s.encoders, (QStringList{u"<None>"_s, encText}));
    EXPECT_EQ(s.hidden, (QStringList{kDecoderKey, kEncoderKey}));
    EXPECT_EQ(s.caption, u"Select element: (2 items)"_s);
    EXPECT_FALSE(find<QListWidget>(u"lstHidden"_s)->isVisibleTo(window.get()));
    EXPECT_TRUE(tree()->isHeaderHidden());
}

TEST_F(ElementTreeTest, EmptyDatabaseMessagesDifferByTheWordThe) {
    struct Row {
        bool createFile;
        QString secondLine;
    };
    const Row rows[] = {
        {false, u"Please click 'Auto Discover' icon to probe the network."_s},
        {true, u"Please click the 'Auto Discover' icon to probe the network."_s},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.createFile ? "empty file" : "no file");
        QFile::remove(iniPath());
        if (row.createFile)
            writeIni({});
        notifier.messages.clear();
        start();
        ASSERT_EQ(notifier.messages.size(), 1);
        const Message &m = notifier.messages.first();
        EXPECT_EQ(m.text, u"Local database is empty.\r"_s + row.secondLine);
        EXPECT_EQ(m.title, u"Information"_s);
        EXPECT_EQ(m.icon, MessageIcon::Information);
        EXPECT_FALSE(m.askYesNo);
        const TreeSnapshot s = snapshot();
        EXPECT_TRUE(s.texts.isEmpty());
        EXPECT_EQ(s.encoders, QStringList{u"<None>"_s});
        EXPECT_EQ(s.caption, u"Select element: (0 items)"_s);
    }
}

TEST_F(ElementTreeTest, LoadingTwiceGivesTheSameTree) {
    writeExample();
    start();
    const TreeSnapshot first = snapshot();
    window->Load_Config();
    EXPECT_EQ(snapshot(), first);
    EXPECT_EQ(first.texts.size(), 2);
}

TEST_F(ElementTreeTest, OnlyRoleOneIsAnEncoder) {
    auto section = [](const QString &role) {
        QList<std::pair<QString, QString>> keys = encoderKeys();
        keys.removeIf([](const auto &kv) { return kv.first == u"ROLE"; });
        if (!role.isNull())
            keys.append({u"ROLE"_s, role});
        return keys;
    };
    writeIni(iniText({{u"000000000001"_s, section(u"0"_s)},
                      {u"000000000002"_s, section(u"3"_s)},
                      {u"000000000003"_s, section(u"x1"_s)},
                      {u"000000000004"_s, section(QString())},
                      {u"000000000005"_s, section(u"1"_s)}}));
    start();
    const TreeSnapshot s = snapshot();
    EXPECT_EQ(s.images, (QList<int>{7, 7, 7, 7, 6}));
    EXPECT_EQ(s.encoders, (QStringList{u"<None>"_s, s.texts.at(4)}));
    EXPECT_EQ(s.caption, u"Select element: (5 items)"_s);
}

TEST_F(ElementTreeTest, ReloadAskedForDuringItsMessageRunsOnceAfterIt) {
    writeIni({});
    int reentries = 0;
    notifier.onShow = [&](const Message &) {
        if (reentries++ == 0) {
            writeExample(); // what the rerun will find
            window->Load_Config();
            EXPECT_EQ(tree()->topLevelItemCount(), 0); // not entered while the first one runs
        }
    };
    start();
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(snapshot().texts.size(), 2);
    EXPECT_EQ(snapshot().caption, u"Select element: (2 items)"_s);
}

TEST_F(ElementTreeTest, ReloadKeepsTheShownElementMarkedWithoutLoadingItAgain) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    find<QLineEdit>(u"txtElementName"_s)->setText(u"EDITED"_s);
    window->Load_Config();
    ASSERT_NE(tree()->currentItem(), nullptr);
    EXPECT_EQ(tree()->currentItem()->data(0, Qt::UserRole).toString(), kEncoderMac);
    EXPECT_EQ(find<QLineEdit>(u"txtElementName"_s)->text(), u"EDITED"_s);
}

TEST_F(ElementTreeTest, RefreshReloadsAndClearsThePanel) {
    writeExample();
    start();
    clickNode(kEncoderMac);
    ASSERT_EQ(text(u"lblElementMAC"_s), kEncoderMac);
    const TreeSnapshot before = snapshot();
    window->toolbarItem(2)->trigger();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(text(u"lblElementMAC"_s), u"-"_s);
}

} // namespace
} // namespace ondalink::testing

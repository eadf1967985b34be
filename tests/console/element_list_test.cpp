// SPDX-License-Identifier: GPL-3.0-or-later
// The element list's columns: status text and icon, sorting by each column and back to the file's
// order, the filter box with its count caption, and status changes reaching the rows.
#include "console_fixture.h"

#include "console/element_list_model.h"
#include "console/element_list_proxy.h"

#include <QGroupBox>
#include <QHeaderView>

namespace ondalink::testing {
namespace {

// Five elements in an order no column sorts them in.
const QList<std::tuple<QString, QString, QString>> kElements = {
    // key, name, ip
    {u"00A0C9000005"_s, u"STUDIO B"_s, u"10.0.0.10"_s}, {u"00A0C9000003"_s, u"TX HILL"_s, u"9.200.1.1"_s},
    {u"00A0C9000001"_s, u"studio a"_s, u"10.0.0.9"_s},  {u"00A0C9000004"_s, u"LINK 2"_s, u"192.168.1.2"_s},
    {u"00A0C9000002"_s, u"RELAY"_s, u"10.0.0.100"_s},
};

class ElementListTest : public ConsoleTest {
protected:
    void SetUp() override {
        QList<std::pair<QString, Section>> sections;
        for (const auto &[key, name, ip] : kElements)
            sections.append({key, with(encoderKeys(), u"NAME="_s + name + u";IP="_s + ip)});
        writeIni(iniText(sections));
        ASSERT_TRUE(start());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    ElementTree &list() const { return elementTree(*window); }
    ElementListModel &model() const { return list().model(); }

    // One column of every row shown, top to bottom.
    QStringList column(int column, int role = Qt::DisplayRole) const {
        QStringList shown;
        for (int row = 0; row < rowCount(); ++row)
            shown << tree()->model()->index(row, column).data(role).toString();
        return shown;
    }
    QStringList names() const {
        QStringList shown;
        for (const QString &text : column(0))
            shown << text.section(u" ["_s, 0, 0);
        return shown;
    }
    QString caption() const { return find<QGroupBox>(u"frmTreeView"_s)->title(); }
    void clickHeader(int column) {
        QHeaderView *header = tree()->header();
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    // What the monitor would report about the element of that key.
    void report(const QString &key, ElementStatus status, std::optional<int> roundTripMs = {},
                const QDateTime &lastSeen = {}) {
        ElementState state;
        state.key = key;
        state.status = status;
        state.roundTripMs = roundTripMs;
        state.lastSeen = lastSeen;
        model().setReachability(state);
    }
    void typeFilter(const QString &text) {
        list().filterBox()->clear();
        QTest::keyClicks(list().filterBox(), text);
    }
};

TEST_F(ElementListTest, ColumnsShowTheElementItsAddressAndAnUnknownStatusUntilOneIsReported) {
    QStringList headers;
    for (int c = 0; c < tree()->model()->columnCount(); ++c)
        headers << tree()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers,
              (QStringList{u"Element"_s, u"IP address"_s, u"Status"_s, u"Last seen"_s, u"Round trip"_s}));
    EXPECT_EQ(column(0).constFirst(), u"STUDIO B [00:A0:C9:00:00:05]"_s); // the text of before, unchanged
    EXPECT_EQ(column(1), (QStringList{u"10.0.0.10"_s, u"9.200.1.1"_s, u"10.0.0.9"_s, u"192.168.1.2"_s,
                                      u"10.0.0.100"_s}));
    EXPECT_EQ(column(2), QStringList(5, u"Unknown"_s));
    EXPECT_EQ(column(3) + column(4), QStringList(10, QString()));
    // Every column carries the row's key.
    EXPECT_EQ(column(3, Qt::UserRole), column(0, Qt::UserRole));
    EXPECT_EQ(caption(), u"Select element: (5 items)"_s);
}

TEST_F(ElementListTest, TwoElementsAtOneAddressAreBothFlaggedUntilOneMoves) {
    // 10.0.0.9 written with leading zeros is the same address; the flag outranks what is known.
    report(u"00A0C9000001"_s, ElementStatus::Online);
    model().flushChanges();
    QList<std::pair<QString, Section>> sections;
    for (const auto &[key, name, ip] : kElements)
        sections.append(
            {key, with(encoderKeys(), u"NAME="_s + name + u";IP="_s +
                                          (key == u"00A0C9000002"_s ? u"010.000.000.009"_s : ip))});
    writeIni(iniText(sections));
    window->Load_Config();
    EXPECT_EQ(column(2),
              (QStringList{u"Unknown"_s, u"Unknown"_s, u"Duplicate IP"_s, u"Unknown"_s, u"Duplicate IP"_s}));
    writeIni(iniText(sections.mid(0, 4)));
    window->Load_Config();
    EXPECT_EQ(column(2), (QStringList{u"Unknown"_s, u"Unknown"_s, u"Online"_s, u"Unknown"_s}));
}

TEST_F(ElementListTest, EachStatusHasItsOwnTextAndItsOwnIcon) {
    const QString key = u"00A0C9000001"_s;
    struct Case {
        ElementStatus reachability;
        SilenceState silence;
        bool duplicate;
        QString text;
    };
    const Case cases[] = {
        {ElementStatus::Unknown, SilenceState::NotWatched, false, u"Unknown"_s},
        {ElementStatus::Online, SilenceState::NotWatched, false, u"Online"_s},
        {ElementStatus::Offline, SilenceState::Sounding, false, u"Offline"_s},
        {ElementStatus::Online, SilenceState::Silent, false, u"Silent"_s},
        {ElementStatus::Offline, SilenceState::Silent, false, u"Silent"_s},
        {ElementStatus::Online, SilenceState::Silent, true, u"Duplicate IP"_s},
    };
    QHash<QString, QImage> pictures; // by text
    for (const Case &c : cases) {
        report(key, c.reachability);
        model().setSilence(key, c.silence);
        model().setDuplicateAddress(key, c.duplicate);
        model().flushChanges();
        const QModelIndex cell = list().shownIndex(u"00:A0:C9:00:00:01"_s).siblingAtColumn(2);
        EXPECT_EQ(cell.data().toString(), c.text);
        const QImage picture = cell.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
        ASSERT_FALSE(picture.isNull()) << qPrintable(c.text);
        EXPECT_EQ(pictures.value(c.text, picture), picture) << qPrintable(c.text);
        pictures.insert(c.text, picture);
    }
    // Five texts, five different pictures.
    const QList<QImage> distinct = pictures.values();
    for (qsizetype i = 0; i < distinct.size(); ++i)
        for (qsizetype j = i + 1; j < distinct.size(); ++j)
            EXPECT_NE(distinct.at(i), distinct.at(j));
    EXPECT_EQ(distinct.size(), 5);
    // An unknown key changes nothing.
    report(u"00A0C90000FF"_s, ElementStatus::Online);
    EXPECT_FALSE(model().hasPendingChanges());
}

TEST_F(ElementListTest, HeaderClicksSortAscendingDescendingThenBackToTheFileOrder) {
    const QStringList fileOrder = names();
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    report(u"00A0C9000005"_s, ElementStatus::Online, 40, noon.addSecs(30));
    report(u"00A0C9000003"_s, ElementStatus::Offline, {}, noon);
    report(u"00A0C9000001"_s, ElementStatus::Online, 5, noon.addSecs(-3600));
    report(u"00A0C9000004"_s, ElementStatus::Online, 100, noon.addSecs(2));
    model().setSilence(u"00A0C9000004"_s, SilenceState::Silent);
    model().flushChanges();

    struct Case {
        int column;
        QStringList ascending;
        QStringList descending; // empty: the ascending order reversed
    };
    // Addresses and numbers by value (10.0.0.9 before 10.0.0.10), names without case, the status
    // with the alarms first, what has no value first; equal rows stay in file order both ways.
    const Case cases[] = {
        {0, {u"LINK 2"_s, u"RELAY"_s, u"studio a"_s, u"STUDIO B"_s, u"TX HILL"_s}, {}},
        {1, {u"TX HILL"_s, u"studio a"_s, u"STUDIO B"_s, u"RELAY"_s, u"LINK 2"_s}, {}},
        {2,
         {u"TX HILL"_s, u"LINK 2"_s, u"RELAY"_s, u"STUDIO B"_s, u"studio a"_s},
         {u"STUDIO B"_s, u"studio a"_s, u"RELAY"_s, u"LINK 2"_s, u"TX HILL"_s}},
        {3, {u"RELAY"_s, u"studio a"_s, u"TX HILL"_s, u"LINK 2"_s, u"STUDIO B"_s}, {}},
        {4,
         {u"TX HILL"_s, u"RELAY"_s, u"studio a"_s, u"STUDIO B"_s, u"LINK 2"_s},
         {u"LINK 2"_s, u"STUDIO B"_s, u"studio a"_s, u"TX HILL"_s, u"RELAY"_s}},
    };
    for (const Case &c : cases) {
        clickHeader(c.column);
        EXPECT_EQ(names(), c.ascending) << "column " << c.column;
        clickHeader(c.column);
        QStringList descending = c.descending;
        if (descending.isEmpty()) {
            descending = c.ascending;
            std::reverse(descending.begin(), descending.end());
        }
        EXPECT_EQ(names(), descending) << "column " << c.column;
        clickHeader(c.column);
        EXPECT_EQ(names(), fileOrder) << "column " << c.column;
    }
    EXPECT_EQ(column(4), (QStringList{u"40 ms"_s, QString(), u"5 ms"_s, u"100 ms"_s, QString()}));

    // Sorted by status, a change moves its row.
    clickHeader(2);
    report(u"00A0C9000002"_s, ElementStatus::Offline);
    const QStringList alarmsFirst = {u"TX HILL"_s, u"RELAY"_s};
    EXPECT_TRUE(QTest::qWaitFor([&] { return names().sliced(0, 2) == alarmsFirst; }))
        << qPrintable(names().join(u','));
    list().showFileOrder();
    EXPECT_EQ(names(), fileOrder);
}

TEST_F(ElementListTest, FilterKeepsRowsWhoseNameMacOrAddressContainTheTextAndTheCaptionCountsThem) {
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(list().filterBox()->hasFocus());
    EXPECT_EQ(list().filterBox()->placeholderText(), u"Filter elements"_s);
    EXPECT_EQ(list().filterBox()->accessibleName(), u"Filter elements"_s);

    struct Case {
        QString text;
        QStringList shown;
    };
    const Case cases[] = {
        {u"STUDIO"_s, {u"STUDIO B"_s, u"studio a"_s}}, // name, any case
        {u"c9:00:00:03"_s, {u"TX HILL"_s}},            // MAC
        {u"10.0.0.1"_s, {u"STUDIO B"_s, u"RELAY"_s}},  // address
        {u"9.2"_s, {u"TX HILL"_s}},                    // address, not the MAC's "C9:00"
        {u"online"_s, {}},                             // not the status
        {QString(), {u"STUDIO B"_s, u"TX HILL"_s, u"studio a"_s, u"LINK 2"_s, u"RELAY"_s}},
    };
    for (const Case &c : cases) {
        typeFilter(c.text);
        EXPECT_EQ(names(), c.shown) << qPrintable(c.text);
        EXPECT_EQ(caption(), u"Select element: (%1 items)"_s.arg(c.shown.size())) << qPrintable(c.text);
    }

    // Escape empties the box; the shown element is marked again once the filter lets it back in.
    clickNode(u"00:A0:C9:00:00:03"_s);
    typeFilter(u"studio"_s);
    EXPECT_FALSE(tree()->selectionModel()->hasSelection());
    EXPECT_EQ(values(u"lblElementMAC"_s), u"00:A0:C9:00:00:03"_s); // the panel keeps it
    QTest::keyClick(list().filterBox(), Qt::Key_Escape);
    EXPECT_EQ(list().filterBox()->text(), QString());
    EXPECT_EQ(tree()->selectionModel()->selectedRows(), QModelIndexList{tree()->model()->index(1, 0)});
    // Down goes on to the list.
    QTest::keyClick(list().filterBox(), Qt::Key_Down);
    EXPECT_TRUE(tree()->hasFocus());
}

TEST_F(ElementListTest, StatusChangesReachTheViewInBatchesAndSurviveAReloadOfTheSameAddress) {
    for (const auto &[key, name, ip] : kElements)
        report(key, ElementStatus::Online, 7);
    EXPECT_EQ(column(2), QStringList(5, u"Online"_s)); // the model holds them already
    QList<QModelIndex> changed;
    const QObject listening; // gone before the list it appends to
    QObject::connect(tree()->model(), &QAbstractItemModel::dataChanged, &listening,
                     [&](const QModelIndex &first, const QModelIndex &last) {
                         for (int row = first.row(); row <= last.row(); ++row)
                             changed.append(first.siblingAtRow(row)); // clazy:exclude=lambda-in-connect
                     });
    EXPECT_TRUE(model().hasPendingChanges());
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.size() == 5; })) << changed.size();
    EXPECT_FALSE(model().hasPendingChanges());

    // A reload keeps what is known about an element whose address stayed, not about one that moved.
    writeIni(iniText({{u"00A0C9000005"_s, with(encoderKeys(), u"IP=10.0.0.10"_s)},
                      {u"00A0C9000003"_s, with(encoderKeys(), u"IP=10.9.9.9"_s)}}));
    window->Load_Config();
    EXPECT_EQ(column(2), (QStringList{u"Online"_s, u"Unknown"_s}));
    EXPECT_EQ(column(4), (QStringList{u"7 ms"_s, QString()}));
    // Even across an empty list (a discovery empties it first).
    list().clearTree();
    window->Load_Config();
    EXPECT_EQ(column(2), (QStringList{u"Online"_s, u"Unknown"_s}));
}

} // namespace
} // namespace ondalink::testing

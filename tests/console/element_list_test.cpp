// SPDX-License-Identifier: GPL-3.0-or-later
// The element list's model and proxy: columns, status text and icon, sorting, the filter, batched
// status changes and what a reload keeps. Through the shown window only what the operator's mouse and
// keys do to it.
#include "console_fixture.h"

#include "console/models/element_list_model.h"
#include "console/models/element_list_proxy.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QSignalSpy>

namespace ondalink::testing {
namespace {

// Five encoders in an order no column sorts them in: key, name, ip.
const QList<std::tuple<QString, QString, QString>> kElements = {
    {u"00A0C9000005"_s, u"STUDIO B"_s, u"10.0.0.10"_s}, {u"00A0C9000003"_s, u"TX HILL"_s, u"9.200.1.1"_s},
    {u"00A0C9000001"_s, u"studio a"_s, u"10.0.0.9"_s},  {u"00A0C9000004"_s, u"LINK 2"_s, u"192.168.1.2"_s},
    {u"00A0C9000002"_s, u"RELAY"_s, u"10.0.0.100"_s},
};
const QStringList kFileOrder = {u"STUDIO B"_s, u"TX HILL"_s, u"studio a"_s, u"LINK 2"_s, u"RELAY"_s};

QList<ElementListing> listing(const QString &moved = {}, const QString &to = {}) {
    QList<ElementListing> elements;
    for (const auto &[key, name, ip] : kElements)
        elements.append({key, name, 1, key == moved ? to : ip});
    return elements;
}

class ElementListModelTest : public ::testing::Test {
protected:
    void SetUp() override { model.setElements(listing()); }
    // One column of every row the proxy shows, top to bottom.
    QStringList column(int column, int role = Qt::DisplayRole) const {
        QStringList shown;
        for (int row = 0; row < proxy.rowCount(); ++row)
            shown << proxy.index(row, column).data(role).toString();
        return shown;
    }
    QStringList names() const {
        QStringList shown;
        for (const QString &text : column(0))
            shown << text.section(u" ["_s, 0, 0);
        return shown;
    }
    // What the monitor would report about the element of that key.
    void report(const QString &key, ElementStatus status, std::optional<int> roundTripMs = {},
                const QDateTime &lastSeen = {}) {
        ElementState state;
        state.key = key;
        state.status = status;
        state.roundTripMs = roundTripMs;
        state.lastSeen = lastSeen;
        model.setReachability(state);
    }

    ElementListModel model;
    ElementListProxy proxy{model};
};

TEST_F(ElementListModelTest, ColumnsShowTheElementItsAddressAndAnUnknownStatusUntilOneIsReported) {
    QStringList headers;
    for (int c = 0; c < proxy.columnCount(); ++c)
        headers << proxy.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers,
              (QStringList{u"Element"_s, u"IP address"_s, u"Status"_s, u"Last seen"_s, u"Round trip"_s}));
    EXPECT_EQ(column(0).constFirst(), u"STUDIO B [00:A0:C9:00:00:05]"_s); // the text of before, unchanged
    EXPECT_EQ(column(1), (QStringList{u"10.0.0.10"_s, u"9.200.1.1"_s, u"10.0.0.9"_s, u"192.168.1.2"_s,
                                      u"10.0.0.100"_s}));
    EXPECT_EQ(column(2), QStringList(5, u"Unknown"_s));
    EXPECT_EQ(column(3) + column(4), QStringList(10, QString()));
    EXPECT_EQ(column(3, Qt::UserRole), column(0, Qt::UserRole)); // every column carries the row's key
}

TEST_F(ElementListModelTest, EachStatusHasItsOwnTextAndItsOwnIcon) {
    const QString key = u"00A0C9000001"_s;
    const struct {
        ElementStatus reachability;
        SilenceState silence;
        bool duplicate; // another element stored at its address
        QString text;
    } cases[] = {
        {ElementStatus::Unknown, SilenceState::NotWatched, false, u"Unknown"_s},
        {ElementStatus::Online, SilenceState::NotWatched, false, u"Online"_s},
        {ElementStatus::Offline, SilenceState::Sounding, false, u"Offline"_s},
        {ElementStatus::Online, SilenceState::Silent, false, u"Silent"_s},
        {ElementStatus::Offline, SilenceState::Silent, false, u"Silent"_s},
        {ElementStatus::Online, SilenceState::Silent, true, u"Duplicate IP"_s},
    };
    QHash<QString, QImage> pictures; // by text
    for (const auto &c : cases) {
        model.setElements(c.duplicate ? listing(u"00A0C9000002"_s, u"10.0.0.9"_s) : listing());
        report(key, c.reachability);
        model.setSilence(key, c.silence);
        model.flushChanges();
        const QModelIndex cell = proxy.index(2, ElementListModel::StatusColumn);
        EXPECT_EQ(cell.data().toString(), c.text);
        const QImage picture = cell.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
        ASSERT_FALSE(picture.isNull()) << qPrintable(c.text);
        EXPECT_EQ(pictures.value(c.text, picture), picture) << qPrintable(c.text);
        pictures.insert(c.text, picture);
    }
    const QList<QImage> distinct = pictures.values(); // five texts, five different pictures
    for (qsizetype i = 0; i < distinct.size(); ++i)
        for (qsizetype j = i + 1; j < distinct.size(); ++j)
            EXPECT_NE(distinct.at(i), distinct.at(j));
    EXPECT_EQ(distinct.size(), 5);
    report(u"00A0C90000FF"_s, ElementStatus::Online); // an unknown key changes nothing
    EXPECT_FALSE(model.hasPendingChanges());
}

TEST_F(ElementListModelTest, EachColumnSortsBothWaysKeepingEqualRowsInFileOrder) {
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    report(u"00A0C9000005"_s, ElementStatus::Online, 40, noon.addSecs(30));
    report(u"00A0C9000003"_s, ElementStatus::Offline, {}, noon);
    report(u"00A0C9000001"_s, ElementStatus::Online, 5, noon.addSecs(-3600));
    report(u"00A0C9000004"_s, ElementStatus::Online, 100, noon.addSecs(2));
    model.setSilence(u"00A0C9000004"_s, SilenceState::Silent);
    model.flushChanges();
    // Addresses and numbers by value (10.0.0.9 before 10.0.0.10), names without case, the status
    // with the alarms first, what has no value first.
    const struct {
        int column;
        QStringList ascending;
        QStringList descending; // empty: the ascending order reversed
    } cases[] = {
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
    for (const auto &c : cases) {
        proxy.sort(c.column, Qt::AscendingOrder);
        EXPECT_EQ(names(), c.ascending) << "column " << c.column;
        proxy.sort(c.column, Qt::DescendingOrder);
        QStringList descending = c.descending;
        if (descending.isEmpty())
            std::reverse_copy(c.ascending.cbegin(), c.ascending.cend(), std::back_inserter(descending));
        EXPECT_EQ(names(), descending) << "column " << c.column;
    }
    EXPECT_EQ(column(4), (QStringList{u"100 ms"_s, u"40 ms"_s, u"5 ms"_s, QString(), QString()}));
    // Sorted by status, a change moves its row.
    proxy.sort(ElementListModel::StatusColumn, Qt::AscendingOrder);
    report(u"00A0C9000002"_s, ElementStatus::Offline);
    const QStringList alarmsFirst = {u"TX HILL"_s, u"RELAY"_s};
    EXPECT_TRUE(QTest::qWaitFor([&] { return names().sliced(0, 2) == alarmsFirst; }))
        << qPrintable(names().join(u','));
    proxy.sort(-1);
    EXPECT_EQ(names(), kFileOrder);
}

TEST_F(ElementListModelTest, TheFilterKeepsRowsWhoseNameMacOrAddressContainTheText) {
    const std::pair<QString, QStringList> cases[] = {
        {u"STUDIO"_s, {u"STUDIO B"_s, u"studio a"_s}}, // name, any case
        {u"c9:00:00:03"_s, {u"TX HILL"_s}},            // MAC
        {u"10.0.0.1"_s, {u"STUDIO B"_s, u"RELAY"_s}},  // address
        {u"9.2"_s, {u"TX HILL"_s}},                    // address, not the MAC's "C9:00"
        {u"online"_s, {}},                             // not the status
        {QString(), kFileOrder},
    };
    for (const auto &[text, shown] : cases) {
        proxy.setFilterText(text);
        EXPECT_EQ(names(), shown) << qPrintable(text);
    }
}

TEST_F(ElementListModelTest, StatusChangesComeInBatchesAndAReloadKeepsThoseOfAnUnmovedAddress) {
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (const auto &[key, name, ip] : kElements)
        report(key, ElementStatus::Online, 7);
    EXPECT_EQ(column(2), QStringList(5, u"Online"_s)); // the model holds them already
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_TRUE(model.hasPendingChanges());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !model.hasPendingChanges(); }));
    int rows = 0;
    for (const QList<QVariant> &signal : std::as_const(changed))
        rows += signal.at(1).toModelIndex().row() - signal.at(0).toModelIndex().row() + 1;
    EXPECT_EQ(rows, 5);

    // A reload keeps what is known of an element whose address stayed, not of one that moved.
    model.setElements(listing(u"00A0C9000003"_s, u"10.9.9.9"_s));
    EXPECT_EQ(column(2), (QStringList{u"Online"_s, u"Unknown"_s, u"Online"_s, u"Online"_s, u"Online"_s}));
    EXPECT_EQ(column(4).mid(0, 2), (QStringList{u"7 ms"_s, QString()}));
    // 10.0.0.9 written with leading zeros is the same address: both flagged, whatever else is known.
    model.setElements(listing(u"00A0C9000002"_s, u"010.000.000.009"_s));
    EXPECT_EQ(column(2),
              (QStringList{u"Online"_s, u"Unknown"_s, u"Duplicate IP"_s, u"Online"_s, u"Duplicate IP"_s}));
    model.setElements({}); // a discovery empties the list first
    model.setElements(listing());
    EXPECT_EQ(column(2).mid(0, 3), (QStringList{u"Online"_s, u"Unknown"_s, u"Online"_s}));
}

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
    QString firstName() const {
        return tree()->model()->index(0, 0).data().toString().section(u" ["_s, 0, 0);
    }
    QString caption() const { return find<QGroupBox>(u"frmTreeView"_s)->title(); }
};

// A header click sorts up, the next down, the third back to the file's order.
TEST_F(ElementListTest, HeaderClicksSortAscendingDescendingThenBackToTheFileOrder) {
    QHeaderView *header = tree()->header();
    const QPoint centre(header->sectionViewportPosition(0) + header->sectionSize(0) / 2,
                        header->height() / 2);
    for (const QString &first : {u"LINK 2"_s, u"TX HILL"_s, u"STUDIO B"_s}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        EXPECT_EQ(firstName(), first);
    }
}

TEST_F(ElementListTest, TheFilterBoxTakesCtrlFNarrowsTheListAndItsCountAndEscapeEmptiesIt) {
    QLineEdit *box = elementTree(*window).filterBox();
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(std::pair(box->placeholderText(), box->accessibleName()),
              std::pair(u"Filter elements"_s, u"Filter elements"_s));
    EXPECT_EQ(caption(), u"Select element: (5 items)"_s);
    clickNode(u"00:A0:C9:00:00:03"_s);
    QTest::keyClicks(box, u"studio"_s);
    EXPECT_EQ(std::pair(rowCount(), caption()), std::pair(2, u"Select element: (2 items)"_s));
    // The shown element is marked again once the filter lets it back in; the panel keeps it meanwhile.
    EXPECT_FALSE(tree()->selectionModel()->hasSelection());
    EXPECT_EQ(values(u"lblElementMAC"_s), u"00:A0:C9:00:00:03"_s);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(tree()->selectionModel()->selectedRows(), QModelIndexList{tree()->model()->index(1, 0)});
    QTest::keyClick(box, Qt::Key_Down); // on to the list
    EXPECT_TRUE(tree()->hasFocus());
}

} // namespace
} // namespace ondalink::testing

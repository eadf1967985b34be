// SPDX-License-Identifier: GPL-3.0-or-later
// The drift watch on a loopback link: elements played by sockets on 127.0.0.x answer its pages.
#include "../link/link_fixture.h"
#include "link/element_report.h"
#include "model/mac_text.h"
#include "status/drift_watch.h"
#include "store/atomic_file.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

constexpr QByteArrayView kPaging = "LINKWAVE KORVALEN PAGING REQUEST";

QByteArray reportFrom(int last, const Report &report = {}) {
    QByteArray bytes = report.bytes();
    bytes.replace(0, 4, bytesOf({127, 0, 0, last}));
    return bytes;
}

class DriftWatchTest : public LinkTest {
protected:
    void SetUp() override {
        settings.pagingPort = element.port();
        settings.elementPort = writes.port();
        makeLink();
        resolver.table.insert(parseDottedAddress(u"127.0.0.1"_s)->toNetworkOrder(),
                              QByteArray::fromHex("00a0c9000001"));
    }
    // The section as a discovery would have stored the report, then the changes given.
    void storeAsReported(const QByteArray &datagram, const KeyValues &changed = {}) {
        ElementReport report;
        ASSERT_EQ(decodeReport(datagram, report), ReportCheck::Ok);
        KeyValues keys = discoveryKeys(report.record, report.carried);
        for (auto &[key, value] : keys) {
            for (const auto &[name, text] : changed) {
                if (name == key)
                    value = text;
            }
        }
        ASSERT_TRUE(database.writeSections({{kSelectedKey, keys}}));
        listing = database.listing();
    }
    // The next page arrives at the element, which answers it with the report.
    void answerPage(const QByteArray &report) {
        const QNetworkDatagram request = element.next();
        ASSERT_EQ(request.data(), kPaging);
        element.sendTo(report, peer->endpoint().localPort());
    }
    QByteArray fileBytes() const { return readWholeFile(database.path()).bytes; }

    Peer element;
    Peer writes;
    QList<ElementListing> listing;
    const QByteArray decoder = reportFrom(1, {.tail = decoderTail()});
};

// A report that answers the page is only compared: no box, no write, no reload, no confirmation.
// Accepting stores it as a discovery would, and the drift is gone.
TEST_F(DriftWatchTest, DriftIsFoundWithoutTouchingAnythingAndAcceptingStoresTheReport) {
    storeAsReported(
        decoder, {{u"name"_s, u"OLD NAME        "_s}, {u"ip"_s, u"127.000.000.001"_s}, {u"sdm"_s, u"2"_s}});
    selectMatchingElement();
    const QByteArray before = fileBytes();
    DriftWatch watch(*link, database);
    QSignalSpy found(&watch, &DriftWatch::driftFound);
    watch.reload(listing);
    watch.setIntervalMs(100);
    answerPage(decoder);
    ASSERT_TRUE(found.wait(5000));
    const auto changes = found.at(0).at(1).value<QList<FieldChange>>();
    EXPECT_EQ(changes, (QList<FieldChange>{{ElementKey::Name, u"OLD NAME"_s, u"DEC ONE"_s},
                                           {ElementKey::Sdm, u"2"_s, u"1"_s}}));
    ASSERT_NE(watch.drift(kSelectedKey), nullptr);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(notifier.messages.isEmpty());
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(confirmed, ConfirmedState());

    // The next round finds the same: nothing new is said.
    answerPage(decoder);
    QTest::qWait(300);
    EXPECT_EQ(found.size(), 1);

    watch.setIntervalSeconds(0);
    QSignalSpy cleared(&watch, &DriftWatch::driftCleared);
    QSignalSpy accepted(&watch, &DriftWatch::accepted);
    ASSERT_TRUE(watch.accept(kSelectedKey));
    EXPECT_EQ(cleared.size(), 1);
    ASSERT_EQ(accepted.size(), 1);
    EXPECT_EQ(stored(u"name"_s), u"DEC ONE         "_s);
    EXPECT_EQ(stored(u"sdm"_s), u"1"_s);
    EXPECT_EQ(watch.drift(kSelectedKey), nullptr);
    EXPECT_FALSE(watch.accept(kSelectedKey)) << "nothing left to accept";
    EXPECT_TRUE(notifier.messages.isEmpty());
}

// While the operator's write waits for its answer nothing is paged; once it is answered the round
// goes on, and an answer that matches clears the drift.
TEST_F(DriftWatchTest, NoPageWhileAWriteWaitsAndAMatchingAnswerClears) {
    storeAsReported(decoder, {{u"buf"_s, u"7"_s}});
    DriftWatch watch(*link, database);
    QSignalSpy found(&watch, &DriftWatch::driftFound);
    QSignalSpy cleared(&watch, &DriftWatch::driftCleared);
    watch.reload(listing);
    watch.setIntervalMs(100);
    answerPage(decoder);
    ASSERT_TRUE(found.wait(5000));

    peer->responseTimer().start(); // as sendConfiguration starts it
    while (element.socket.hasPendingDatagrams())
        element.socket.receiveDatagram();
    QTest::qWait(400);
    EXPECT_FALSE(element.socket.hasPendingDatagrams()) << "paged while a write waits for its answer";
    peer->responseTimer().stop();

    storeAsReported(decoder, {{u"buf"_s, u"7"_s}});
    ASSERT_TRUE(database.write(kSelectedKey, u"buf"_s, u"4"_s));
    answerPage(decoder);
    ASSERT_TRUE(cleared.wait(5000));
    EXPECT_EQ(watch.drift(kSelectedKey), nullptr);
}

// A drift answer that arrives while a write waits does not end that wait: the time-out still comes.
TEST_F(DriftWatchTest, ADriftAnswerIsNoConfirmation) {
    storeAsReported(decoder);
    ASSERT_TRUE(link->pageForDrift(*parseDottedAddress(u"127.0.0.1"_s)));
    ASSERT_EQ(element.next().data(), kPaging);
    peer->responseTimer().start();
    element.sendTo(decoder, peer->endpoint().localPort());
    QSignalSpy answered(link.get(), &ElementLink::driftAnswered);
    ASSERT_TRUE(answered.wait(5000));
    EXPECT_EQ(answered.at(0).at(0).toString(), kSelectedMac);
    EXPECT_TRUE(peer->responseTimer().isActive());

    // Once the page is over the same report is a confirmation's business again.
    link->endDriftPage(*parseDottedAddress(u"127.0.0.1"_s));
    selectMatchingElement();
    element.sendTo(decoder, peer->endpoint().localPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !peer->responseTimer().isActive(); }, 5000));
    EXPECT_EQ(answered.size(), 1);
}

// Pages are spread, a few at a time: with nobody answering, no more than the bound are out, and
// every element is paged once before any is paged again.
TEST_F(DriftWatchTest, PagesAreSpreadAndBounded) {
    std::vector<std::unique_ptr<Peer>> elements;
    QList<std::pair<QString, KeyValues>> sections;
    for (int last = 2; last <= 7; ++last) {
        elements.push_back(std::make_unique<Peer>(QHostAddress(u"127.0.0.%1"_s.arg(last)), element.port()));
        sections.append(
            {u"00A0C90000%1"_s.arg(last, 2, 10, QChar(u'0')), {{u"ip"_s, u"127.0.0.%1"_s.arg(last)}}});
    }
    ASSERT_TRUE(database.writeSections(sections));
    DriftWatch watch(*link, database,
                     DriftOptions{.pageWaitMs = 300, .lateMs = 100, .maxInFlight = 2, .shortestTickMs = 20});
    watch.reload(database.listing());
    int most = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, &sample, [&] { most = std::max(most, watch.inFlight()); });
    sample.start(5);
    watch.setIntervalMs(120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.pagesSent() >= 6; }, 10000));
    EXPECT_LE(most, 2);
    for (const auto &one : elements) {
        ASSERT_TRUE(one->socket.hasPendingDatagrams()) << one->socket.localAddress().toString().toStdString();
        one->socket.receiveDatagram();
        EXPECT_FALSE(one->socket.hasPendingDatagrams()) << "paged twice in one round";
    }
}

} // namespace
} // namespace ondalink::testing

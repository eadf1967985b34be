// SPDX-License-Identifier: GPL-3.0-or-later
// A discovery answered at once by 1,000 and by 10,000 elements: every one is stored, listed and
// can be selected. Speed is in bench/bench_scale.cpp.
#include "answering_peer.h"
#include "window_fixture.h"

#include <QComboBox>

#include <arpa/inet.h>

namespace ondalink::testing {
namespace {

using namespace Qt::StringLiterals;

class Scale : public HardeningTest, public ::testing::WithParamInterface<int> {};

TEST_P(Scale, ADiscoveryListsEveryElementThatAnswersAndEachCanBeSelected) {
    const int elements = GetParam();
    QList<QByteArray> reports;
    for (int i = 0; i < elements; ++i) {
        const quint32 ip = 0x0A000000u + quint32(i) + 1;
        reports.append(reportBytes(ip, i % 2 ? 1 : 2, quint32(1000 + i)));
        resolver.table.insert(htonl(ip),
                              QByteArray::fromHex("02AA") +
                                  QByteArray::fromHex(QByteArray::number(ip, 16).rightJustified(8, '0')));
    }
    AnsweringPeer network(reports);
    writeIni({});
    MainWindowSettings s = settings();
    s.link.pagingPort = network.port();
    ASSERT_TRUE(start(s));
    notifier.messages.clear();
    notifier.answers.push_back(Answer::Yes);
    window->AutoDiscovery();
    ASSERT_TRUE(drained(120000));

    EXPECT_EQ(notifier.messages.size(), 1) << "the confirmation, nothing else";
    ASSERT_EQ(rowCount(), elements);
    EXPECT_EQ(elementTree(*window).title(), u"Select element: (%1 items)"_s.arg(elements));
    EXPECT_EQ(panel(*window).findChild<QComboBox *>(u"cmbEncoders"_s)->count(), elements / 2 + 1);
    for (int row : {0, elements / 2 + 1, elements - 1}) {
        clickRow(row);
        const quint32 ip = 0x0A000000u + quint32(row) + 1;
        EXPECT_EQ(panel(*window).selectedMac(), rowMac(row));
        EXPECT_EQ(panel(*window).elementIp(),
                  u"10.%1.%2.%3"_s.arg(ip >> 16 & 255).arg(ip >> 8 & 255).arg(ip & 255));
    }
}

INSTANTIATE_TEST_SUITE_P(Elements, Scale, ::testing::Values(1000, 10000));

} // namespace
} // namespace ondalink::testing

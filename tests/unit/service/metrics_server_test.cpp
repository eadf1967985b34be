// SPDX-License-Identifier: GPL-3.0-or-later
// The endpoint over a real socket on loopback: what a scrape gets, what a wrong path gets, and the
// error when the port is taken.
#include "service/metrics/metrics_server.h"
#include "service/status_board.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

struct Answer {
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

Answer get(quint16 port, const QString &path) {
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(u"http://127.0.0.1:%1%2"_s.arg(port).arg(path)));
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(10000))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
}

class MetricsServerTest : public ::testing::Test {
protected:
    MetricsServerTest() {
        board.replaceListing({{u"00A0F1000001"_s, u"Studio"_s, u"10.0.0.1"_s, ElementRole::Encoder}});
        board.setReachability(u"00A0F1000001"_s, ElementStatus::Online, QDateTime::currentDateTimeUtc(), 3);
    }

    MetricsOptions anyPort() const {
        MetricsOptions options;
        options.port = 0;
        return options;
    }

    StatusBoard board;
};

TEST_F(MetricsServerTest, AScrapeGetsTheBoardAsItIsNowInTheExpositionFormat) {
    MetricsServer server(board);
    QString error;
    ASSERT_TRUE(server.listen(anyPort(), &error)) << error.toStdString();
    ASSERT_NE(server.port(), 0);

    Answer answer = get(server.port(), u"/metrics"_s);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "text/plain; version=0.0.4; charset=utf-8");
    EXPECT_TRUE(answer.body.contains("ondalink_element_up{mac=\"00:A0:F1:00:00:01\",name=\"Studio\",ip=\"10."
                                     "0.0.1\",role=\"encoder\"} 1\n"))
        << answer.body.constData();

    // Rendered at each scrape, never cached.
    board.setReachability(u"00A0F1000001"_s, ElementStatus::Offline, QDateTime::currentDateTimeUtc(),
                          std::nullopt);
    answer = get(server.port(), u"/metrics"_s);
    EXPECT_TRUE(answer.body.contains("role=\"encoder\"} 0\n")) << answer.body.constData();
}

TEST_F(MetricsServerTest, TheRootLinksToTheMetricsAndOtherPathsAreNotFound) {
    MetricsServer server(board);
    QString error;
    ASSERT_TRUE(server.listen(anyPort(), &error)) << error.toStdString();

    const Answer root = get(server.port(), u"/"_s);
    EXPECT_EQ(root.status, 200);
    EXPECT_TRUE(root.contentType.startsWith("text/html"));
    EXPECT_TRUE(root.body.contains("href=\"/metrics\"")) << root.body.constData();

    for (const QString &path : {u"/metric"_s, u"/metrics/x"_s, u"/index.html"_s}) {
        const Answer wrong = get(server.port(), path);
        EXPECT_EQ(wrong.status, 404) << path.toStdString();
        EXPECT_FALSE(wrong.body.contains("ondalink_element_up")) << path.toStdString();
    }
}

TEST_F(MetricsServerTest, ATakenPortIsAClearErrorNamingTheAddress) {
    MetricsServer first(board);
    QString error;
    ASSERT_TRUE(first.listen(anyPort(), &error)) << error.toStdString();

    MetricsOptions same;
    same.port = first.port();
    MetricsServer second(board);
    EXPECT_FALSE(second.listen(same, &error));
    EXPECT_TRUE(error.startsWith(u"cannot listen on 127.0.0.1:%1: "_s.arg(first.port())))
        << error.toStdString();
    EXPECT_GT(error.size(), u"cannot listen on 127.0.0.1:%1: "_s.arg(first.port()).size());
    EXPECT_EQ(second.port(), 0);
    // The first still answers.
    EXPECT_EQ(get(first.port(), u"/metrics"_s).status, 200);
}

TEST_F(MetricsServerTest, ItListensOnLoopbackUnlessToldOtherwise) {
    EXPECT_EQ(MetricsOptions().address, QHostAddress(QHostAddress::LocalHost));
    MetricsServer server(board);
    QString error;
    ASSERT_TRUE(server.listen(anyPort(), &error));
    // Whatever else this host has, the socket is bound to 127.0.0.1 only.
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress(u"127.0.0.2"_s), server.port()));
}

} // namespace
} // namespace ondalink

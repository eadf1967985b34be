// SPDX-License-Identifier: GPL-3.0-or-later
// The window: start-up, monitoring and ping through it, the About box, what it keeps of itself between
// runs, and the panel's own reactions: layout by type and value labels.
#include "claim_in_thread.h"
#include "console_fixture.h"

#include "console/qt_notifier.h"
#include "console/widgets/vu_meter.h"
#include "console/window_memory.h"
#include "link_test_peer.h"

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QToolBar>

#include <ondalink/version.h>

namespace ondalink::testing {
namespace {

class MainWindowTest : public ConsoleTest {
protected:
    void SetUp() override { writeExample(); }
    bool monitoring() const { return station->level.isEnabled(); }
};

// Every label the meter paints has its sign and room of its own, in the narrowest window and with a
// larger font: ink under the bar only inside the labels' boxes, and no two boxes near each other.
TEST_F(MainWindowTest, MeterScaleLabelsAreSignedAndNeverRunTogether) {
    ASSERT_TRUE(start());
    clickNode(kEncoderMac);
    window->resize(window->minimumSize());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto *meter = find<VUMeter>(u"VUMeter"_s);
    EXPECT_GE(meter->width(), meter->sizeHint().width());
    const QFont normal = meter->font();
    for (const double enlarged : {1.0, 1.6, 2.5}) {
        SCOPED_TRACE(enlarged);
        QFont font = normal;
        font.setPointSizeF(normal.pointSizeF() * enlarged);
        meter->setFont(font);
        meter->resize(meter->sizeHint());
        const QList<VUMeter::ScaleLabel> labels = meter->scaleLabels();
        QStringList texts;
        for (const VUMeter::ScaleLabel &label : labels)
            texts.prepend(label.text);
        if (enlarged == 1.0) { // at the usual size every mark is read
            EXPECT_EQ(texts, (QStringList{u"-40"_s, u"-20"_s, u"-10"_s, u"-6"_s, u"-3"_s, u"0"_s}));
        }
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_EQ(labels.first().text, u"0"_s);
        QFont scaleFont = meter->font(); // the scale's, a size smaller
        scaleFont.setPointSizeF(scaleFont.pointSizeF() * 0.8);
        const double digit = QFontMetricsF(scaleFont).horizontalAdvance(u'0');
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const QRectF box = labels[i].box;
            EXPECT_TRUE(QRectF(meter->rect()).contains(box))
                << qPrintable(labels[i].text) << " " << ::testing::PrintToString(box) << " in "
                << ::testing::PrintToString(meter->rect());
            if (i > 0) { // right to left
                EXPECT_GE(labels[i - 1].box.left() - box.right(), digit - 0.01) << qPrintable(labels[i].text);
            }
        }
        // What is painted below the ticks lies in those boxes.
        const QImage image = meter->grab().toImage();
        const double ratio = image.devicePixelRatio();
        const int top = int(std::ceil((labels.first().box.top() + 1) * ratio)); // below the ticks' ends
        for (int x = 0; x < image.width(); ++x) {
            bool ink = false;
            for (int y = top; y < image.height() && !ink; ++y)
                ink = qGray(image.pixel(x, y)) < 96;
            if (!ink)
                continue;
            const bool inLabel =
                std::any_of(labels.cbegin(), labels.cend(), [&](const VUMeter::ScaleLabel &l) {
                    return x >= std::floor(l.box.left() * ratio) - 1 &&
                           x <= std::ceil(l.box.right() * ratio) + 1;
                });
            EXPECT_TRUE(inLabel) << "ink at device column " << x;
        }
    }
}

TEST_F(MainWindowTest, OccupiedPortIsReportedAfterTheTreeIsLoaded) {
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));
    MainWindowSettings s = settings();
    s.link.localPort = holder.localPort();
    EXPECT_FALSE(start(s));
    EXPECT_EQ(notifier.ids(), QList<MessageId>{MessageId::PortOccupied});
    EXPECT_EQ(rowCount(), 2);
}

TEST_F(MainWindowTest, APortHeldByTheMonitoringServiceIsReportedWithItsName) {
    QUdpSocket free;
    ASSERT_TRUE(free.bind(QHostAddress(QHostAddress::LocalHost), 0));
    MainWindowSettings s = settings();
    s.link.localPort = free.localPort();
    s.link.endpointOwner = u"ondalink-nms"_s;
    free.close();
    testing::ClaimInThread service(s.link.localPort, u"ondalink-nmsd"_s);
    EXPECT_FALSE(start(s));
    ASSERT_EQ(notifier.ids(), QList<MessageId>{MessageId::PortOccupied});
    ASSERT_EQ(notifier.messages[0].args.size(), 1);
    EXPECT_TRUE(notifier.messages[0].args[0].startsWith(u"ondalink-nmsd, process "_s));
}

TEST_F(MainWindowTest, MonitoringRunsOnAnEncoderUntilStoppedOrTheLayoutIsAppliedAndCloseEndsTheLink) {
    start();
    clickNode(kEncoderMac);
    window->action(MainWindow::Command::StartMonitoring)->trigger();
    EXPECT_EQ(std::tuple(monitoringButtons(), monitoring()), std::tuple(u"01"_s, true));
    window->action(MainWindow::Command::StopMonitoring)->trigger();
    EXPECT_EQ(std::tuple(monitoringButtons(), values(u"lblVolume"_s), monitoring()),
              std::tuple(u"10"_s, u"-oodBFS"_s, false));
    // Selecting the same encoder again, then a decoder: monitoring off either way.
    for (const auto &[mac, buttons] : {std::pair{kEncoderMac, u"10"}, std::pair{kDecoderMac, u"00"}}) {
        window->action(MainWindow::Command::StartMonitoring)->trigger();
        clickNode(mac);
        EXPECT_FALSE(monitoring());
        EXPECT_EQ(monitoringButtons(), buttons);
    }
    EXPECT_FALSE(find<VUMeter>(u"VUMeter"_s)->isEnabled());
    window->close();
    EXPECT_FALSE(ElementLinkTestPeer(station->link).endpoint().isOpen());
}

TEST_F(MainWindowTest, TheFormHoldsStillScrollsOnASmallScreenAndHidesWhatTheTypeDoesNotUse) {
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QSize size = window->size();
    const QString decoderOnly =
        u"cmbSilDetMode chkSFNEnabled scrlBuffer Label24 scrlSilDetLevel lblSilDetLevel "
        u"Label26 scrlSilDetTime scrlAtten lblAttenDB"_s;
    const QString encoderOnly = u"VUMeter lblVolume Slider1 chkWatchAudio cmbAudioInput cmbAudioTX"_s;
    const auto captionShown = [this](const QString &field) { return captionOf(field)->isVisibleTo(window); };
    QList<QList<QRect>> places;
    for (const QString &mac : {kDecoderMac, kEncoderMac, kDecoderMac}) {
        clickNode(mac);
        QCoreApplication::processEvents();
        const bool encoder = mac == kEncoderMac;
        SCOPED_TRACE(encoder ? "encoder" : "decoder");
        // Another element never resizes the window, and the fields keep their places.
        EXPECT_EQ(window->size(), size);
        QList<QRect> place;
        for (const char16_t *field : {u"txtElementName", u"cmbAudioType", u"cmbEncoders", u"lblPing"}) {
            const QWidget *control = find<QWidget>(QString::fromUtf16(field));
            place.append(QRect(control->mapTo(window, QPoint(0, 0)), control->size()));
        }
        places.append(place);
        EXPECT_EQ(flags(decoderOnly + u' ' + encoderOnly, &QWidget::isVisible),
                  encoder ? u"0000000000111111" : u"1111111111000000");
        EXPECT_EQ(captionShown(u"cmbAudioTX"_s), encoder);
        EXPECT_EQ(captionShown(u"txtRemoteIP"_s), encoder);
        EXPECT_EQ(captionShown(u"cmbSilDetMode"_s), !encoder);
        // Enabled again after an encoder, or the decoder's buffer cannot be edited.
        EXPECT_EQ(flags(u"scrlBuffer cmbSilDetMode lblLatency"_s, &QWidget::isEnabled),
                  encoder ? u"000" : u"111");
        // Hidden, the decoder's silence detector keeps its values while the encoder is shown.
        EXPECT_EQ(values(u"scrlSilDetLevel scrlSilDetTime cmbSilDetMode"_s), u"37|43|0"_s);
    }
    for (const QList<QRect> &place : std::as_const(places))
        EXPECT_EQ(place, places.front()) << qPrintable(QDebug::toString(place));

    // On a small (or scaled) screen the window gets smaller and the properties scroll.
    window->resize(800, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(800, 500));
    auto *properties = find<QScrollArea>(u"scrProperties"_s);
    EXPECT_GT(properties->verticalScrollBar()->maximum(), 0);
    properties->ensureWidgetVisible(find<QWidget>(u"lblPing"_s));
    EXPECT_TRUE(properties->viewport()->rect().contains(
        find<QWidget>(u"lblPing"_s)->mapTo(properties->viewport(), QPoint(0, 0))));
}

TEST_F(MainWindowTest, ValueLabelsAndTheSilenceDetectorFollowTheirControls) {
    start();
    clickNode(kDecoderMac);
    for (const auto &[bar, position] : {std::pair{u"scrlBuffer"_s, 8}, std::pair{u"scrlSilDetLevel"_s, 77},
                                        std::pair{u"scrlSilDetTime"_s, 11}, std::pair{u"scrlAtten"_s, 15}})
        find<QScrollBar>(bar)->setValue(position);
    EXPECT_EQ(values(u"lblLatency lblSilDetLevel lblSilDetTime lblAttenDB"_s), u"25mS|-12dBu|5Sec|-120 dB"_s);

    for (const auto &[mode, enabled] : {std::pair{2, u"000000"}, std::pair{0, u"111111"},
                                        std::pair{1, u"000000"}, std::pair{-1, u"111111"}}) {
        find<QComboBox>(u"cmbSilDetMode"_s)->setCurrentIndex(mode);
        EXPECT_EQ(flags(u"scrlSilDetLevel scrlSilDetTime lblSilDetLevel lblSilDetTime Label24 Label26"_s,
                        &QWidget::isEnabled),
                  enabled)
            << mode;
    }
}

TEST_F(MainWindowTest, APingCountdownSurvivesSelectingAnotherElement) {
    MainWindowSettings s = settings();
    s.pingRetryMs = 300; // a countdown tick, short enough to wait for
    start(s);
    const auto shown = [&] {
        return values(u"lblPing"_s) + u'|' + find<PingIndicator>(u"shpPing"_s)->fillColor().name();
    };
    clickNode(kDecoderMac);
    QSignalSpy echoed(window, &MainWindow::pingEchoed); // the echo runs on a worker thread
    QTest::mouseClick(find<QLabel>(u"lblPing"_s), Qt::LeftButton);
    ASSERT_TRUE(!echoed.isEmpty() || echoed.wait(5000)); // the scripted prober times out
    EXPECT_EQ(prober.addresses, QList{Ipv4Address{0x7F000001}});
    EXPECT_EQ(shown(), u"Request Timed Out|#ff0000"_s);
    clickNode(kEncoderMac);
    EXPECT_EQ(shown(), u"<Click to test>|#ffffc0"_s);
    // The countdown goes on under the other element's label.
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == u"Retrying in 2 seconds...|#ffffc0"_s; }, 5000))
        << qPrintable(shown());
}

TEST_F(MainWindowTest, AboutAndTreeFrameNameTheDatabaseWithoutAToolbarButton) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(find<QGroupBox>(u"frmTreeView"_s)->toolTip().contains(iniPath()));

    auto *about = find<QAction>(u"actAbout"_s);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(find<QToolBar>(u"Toolbar1"_s)->actions().contains(about));
    about->trigger();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (box = window->findChild<QMessageBox *>()) && box->isVisible(); }));
    const QString version = QLatin1StringView(kProgramVersion);
    EXPECT_TRUE(box->text().contains(version)) << qPrintable(box->text());
    EXPECT_TRUE(box->informativeText().contains(iniPath())) << qPrintable(box->informativeText());
    // Which way ping works here; the ways themselves are the diagnostics suite's.
    EXPECT_TRUE(box->informativeText().contains(u"\n\nPing: "_s)) << qPrintable(box->informativeText());
    box->accept();
}

TEST_F(MainWindowTest, NextWindowTakesTheSizeAndSplitOfTheLast) {
    start();
    QTemporaryDir dir;
    QSettings stored(dir.filePath(u"window.conf"_s), QSettings::IniFormat);
    window->resize(1111, 777);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto *splitter = find<QSplitter>(u"splitter"_s);
    splitter->setSizes({420, 640});
    const QList<int> sizes = splitter->sizes();
    saveWindowState(*window, stored);
    station.reset();

    build(settings());
    MainWindow &next = *window;
    const QSize fresh = next.size();
    restoreWindowState(next, stored);
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_EQ(next.size(), QSize(1111, 777));
    EXPECT_NE(fresh, QSize(1111, 777));
    EXPECT_EQ(next.findChild<QSplitter *>(u"splitter"_s)->sizes(), sizes);
}

} // namespace
} // namespace ondalink::testing

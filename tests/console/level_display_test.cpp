// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/widgets/level_display.h"
#include "level_replies.h"
#include "link/datagrams.h"

#include "console/widgets/vu_meter.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace ondalink::testing {
namespace {

TEST(LevelDisplay, PeakOnTheMeterAndInDecibelsToFullScale) {
    const std::pair<QByteArray, LevelDisplay> rows[] = {
        {levelReply("000000", 0, "7fffff"), {2100, u"0dBFS"_s}},
        {levelReply("800000"), {0, u"-oodBFS"_s}}, // negative half-waves do not count
        {levelReply("c00000", 479, "400000"), {1050, u"-6dBFS"_s}},
        {levelReply("000000", 200, "000001"), {0, u"-138.5dBFS"_s}},
        {levelReply("0a0000", 3, "0a0100"), {164, u"-22.1dBFS"_s}}, // big-endian
        {levelReply("000000", 1, "100000"),
         {262, u"-18.1dBFS"_s}}, // 262.5 units: halves go to the even neighbour
        {levelReply("000000", 1, "300000"), {788, u"-8.5dBFS"_s}},          // 787.5
        {levelReply("000000", 200, "000001").left(600), {0, u"-oodBFS"_s}}, // past the end of a short reply
    };
    for (const auto &[data, shown] : rows)
        EXPECT_EQ(levelDisplay(levelPeak(data), QLocale::c()), shown) << shown.text.toStdString();
    EXPECT_EQ(levelDisplay(1, QLocale(QLocale::German)).text, u"-138,5dBFS"_s);
}

TEST(VUMeter, ScaleMarksSitWhereTheBarEndsForTheirLevel) {
    const QList<VUMeter::ScaleMark> &marks = VUMeter::scaleMarks();
    ASSERT_EQ(marks.size(), 6);
    int previous = -1;
    for (const VUMeter::ScaleMark &mark : marks) {
        SCOPED_TRACE(mark.decibels);
        EXPECT_GT(mark.units, previous);
        previous = mark.units;
        // The level that shows as this mark's text fills the bar exactly to the mark.
        const auto peak =
            static_cast<quint32>(std::lround(kLevelFullScale * std::pow(10.0, mark.decibels / 20.0)));
        const LevelDisplay shown = levelDisplay(std::min(peak, kLevelFullScale - 1), QLocale::c());
        EXPECT_EQ(shown.text, QString::number(mark.decibels) + u"dBFS"_s);
        EXPECT_NEAR(shown.meterWidth, mark.units, mark.decibels == 0 ? 1 : 0);
    }
    EXPECT_EQ(marks.last().units, VUMeter::kFullWidth);

    // Painted: a tick under the bar at each mark's column.
    VUMeter meter;
    meter.resize(meter.sizeHint());
    const QImage image = meter.grab().toImage();
    const QColor ink = meter.palette().color(QPalette::WindowText);
    const int tickRow = 14 + 2 + 1;
    const auto device = [&image](int logical) { return int(logical * image.devicePixelRatio()); }; // 200 %
    for (const VUMeter::ScaleMark &mark : marks) {
        const int column = meter.barLeft() + mark.units / VUMeter::kUnitsPerPixel;
        bool found = false;
        for (int x = column - 1; x <= column + 1; ++x)
            found = found || image.pixelColor(device(x), device(tickRow)) == ink;
        EXPECT_TRUE(found) << "no tick for " << mark.decibels << " dBFS at x=" << column;
    }
}

TEST(VUMeter, PeakHoldsThenFollowsAndFullScaleLightsTheClipBox) {
    VUMeter meter;
    meter.setHoldInterval(40);
    meter.setMeterWidth(1500);
    meter.setMeterWidth(300);
    EXPECT_EQ(std::tuple(meter.meterWidth(), meter.heldWidth(), meter.isClipped()),
              std::tuple(300, 1500, false));
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter.heldWidth() == 300; }, 2000));

    meter.setMeterWidth(5000); // clamped to full scale
    meter.setMeterWidth(100);
    EXPECT_EQ(std::tuple(meter.heldWidth(), meter.isClipped()), std::tuple(VUMeter::kFullWidth, true));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !meter.isClipped(); }, 2000));
    EXPECT_EQ(meter.heldWidth(), 100);

    meter.setMeterWidth(VUMeter::kFullWidth);
    meter.reset();
    EXPECT_EQ(std::tuple(meter.meterWidth(), meter.heldWidth(), meter.isClipped()), std::tuple(0, 0, false));
}

} // namespace
} // namespace ondalink::testing

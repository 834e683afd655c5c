#include "frame_motion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace glimmer {
namespace {

FrameMotion prepare(const TransitionSettings& s, int32_t position, int32_t total, int32_t width = 640,
                    int32_t rows = 480) {
    FrameMotion f;
    EXPECT_TRUE(prepareFrameMotion(s, position, total, width, rows, f));
    return f;
}

TEST(FrameMotion, DefaultSettingsReproduceTheWorkedValues) {
    const FrameMotion f = prepare(defaultSettings(), 15, 30);
    EXPECT_NEAR(f.delayScale, 0.026989619, 1e-9);
    EXPECT_NEAR(f.maxDelay, 6.882352, 1e-6);
    EXPECT_DOUBLE_EQ(f.lifeRange, 30);
    EXPECT_DOUBLE_EQ(f.lifeBase, 29.8828125);
    EXPECT_NEAR(f.latestEnd, 67.765165, 1e-6);
    EXPECT_DOUBLE_EQ(f.stretch, 1);
    EXPECT_NEAR(f.span, 22.117647, 1e-6);
    EXPECT_NEAR(f.speedAt(0), 25.411764, 1e-6);
    EXPECT_NEAR(f.speedAt(255), 130.411764, 1e-6);
    EXPECT_NEAR(f.timeScale, 1.8455486, 1e-7);
    EXPECT_DOUBLE_EQ(f.clock, 15);
    // tX is the larger candidate: with no vertical share it decides alone.
    TransitionSettings s = defaultSettings();
    s.xySpeedDifference = 0;
    EXPECT_NEAR(prepare(s, 15, 30).timeScale, 640 / (f.span * f.speedAt(0) * 1.0 + 0.0001), 1e-12);
}

TEST(FrameMotion, StretchSlowsTheClockWhenEveryLifeEndsEarly) {
    TransitionSettings s = defaultSettings();
    s.lifeMinimum = 20;
    s.lifeMaximum = 40;
    const FrameMotion f = prepare(s, 29, 100);
    EXPECT_NEAR(f.latestEnd, 47.43995, 1e-5);
    EXPECT_NEAR(f.stretch, 2.1079279, 1e-7);
    EXPECT_NEAR(f.clock, 13.757585, 1e-6);
    s.lifeMinimum = s.lifeMaximum = s.delay = 0;
    EXPECT_DOUBLE_EQ(prepare(s, 29, 100).stretch, 8);
}

TEST(FrameMotion, ConstantsAreMultipliedLeftToRight) {
    const TransitionSettings s = defaultSettings();
    const FrameMotion f = prepare(s, 15, 30);
    EXPECT_EQ(f.delayScale, 65.0 * 30 * 0.00392156862745098 * 0.0035294117647058825);
    EXPECT_EQ(f.speedAt(7), 8.0 * 105 * 0.00392156862745098 + 25);
    EXPECT_EQ(f.speedAt(-8), -f.speedAt(7));
    EXPECT_EQ(elementDelay(f, 228, 100.5), (228 * f.delayNoiseWeight + 100.5 * f.delayMapWeight) * f.delayScale);
    EXPECT_EQ(elementLife(f, 213), 213 * f.lifeRange * 0.00392156862745098 + f.lifeBase);
    EXPECT_EQ(displacement(3.5, 2.25, 0.4, 1.5), 3.5 * 2.25 * 0.4 + 1.5 * (2.25 * 2.25));
}

TEST(FrameMotion, SpeedTableEdges) {
    TransitionSettings s = defaultSettings();
    s.speedVariance = 0;
    s.minimumSpeed = 0;
    FrameMotion f = prepare(s, 5, 30);
    for (int i = -256; i < 256; ++i) ASSERT_EQ(std::fabs(f.speedAt(i)), 1.0) << i;
    s.minimumSpeed = 10;
    f = prepare(s, 5, 30);
    EXPECT_EQ(f.speedAt(-256), -10);
    EXPECT_EQ(f.speedAt(255), 10);
}

TEST(FrameMotion, ClockShapes) {
    TransitionSettings s = defaultSettings();
    s.lifeMinimum = s.lifeMaximum = 255;  // no stretch
    s.timelineLinearity = 255;
    EXPECT_DOUBLE_EQ(prepare(s, 1, 30).clock, 841);
    EXPECT_EQ(prepare(s, 0, 30).clock, 0);  // not 0 x infinity
    s.timelineLinearity = 0;
    EXPECT_NEAR(prepare(s, 29, 30).clock, 29, 1e-12);
    EXPECT_LT(prepare(s, 10, 30).clock, 10);
    s.timelineLinearity = 127;
    EXPECT_EQ(prepare(s, 1, 1).clock, 1);  // total 1: ratio = position / 1
}

TEST(FrameMotion, SpeedIndexStaysInTheTable) {
    TransitionSettings s = defaultSettings();
    s.centerX = s.centerY = 128;
    FrameMotion f = prepare(s, 5, 30);
    EXPECT_EQ(speedIndex(f, 0, 128, f.xIndexBase), 0);
    EXPECT_EQ(speedIndex(f, 0, 0, f.xIndexBase), -128);
    EXPECT_EQ(speedIndex(f, 0, 127.5, f.yIndexBase), -1);  // floor of the mix
    s.centerX = 256;
    s.centerY = 256;
    f = prepare(s, 5, 30);
    EXPECT_EQ(speedIndex(f, 0, 0, f.xIndexBase), -256);
    EXPECT_EQ(speedIndex(f, 0, 255, f.yIndexBase), 255);
    // Out of range settings are clamped instead of reading outside.
    s.centerX = -100000;
    s.centerY = std::numeric_limits<int32_t>::min();
    s.speedNoise = 1 << 30;
    f = prepare(s, 5, 30);
    EXPECT_EQ(speedIndex(f, 127, 255, f.xIndexBase), 255);
    EXPECT_EQ(speedIndex(f, -128, 0, f.yIndexBase), -256);
    EXPECT_EQ(speedIndex(f, 0, std::nan(""), f.yIndexBase), -256);
}

TEST(FrameMotion, QuadraticChoosesExtremeSpeedsPerDirection) {
    TransitionSettings s = defaultSettings();
    s.wind = 0;
    FrameMotion f = prepare(s, 5, 30);
    EXPECT_EQ(f.windAccel, 32);
    double A = f.span * f.span * 32, b = f.span * f.speedAt(-127) * f.xShare;
    double tX = (-b + std::sqrt(b * b + 4 * 640 * A)) / (2 * A);
    EXPECT_EQ(f.timeScale, std::min(tX, 480 / (f.span * f.speedAt(0) * f.yShare + 0.0001)));
    s.wind = 255;
    f = prepare(s, 5, 30);
    EXPECT_EQ(f.windAccel, -31.75);
    A = f.span * f.span * -31.75;
    b = f.span * f.speedAt(128) * f.xShare;
    tX = (-b + std::sqrt(b * b + 4 * -640.0 * A)) / (2 * A);
    if (!(tX >= 0)) tX = (-b - std::sqrt(b * b + 4 * -640.0 * A)) / (2 * A);
    EXPECT_EQ(f.timeScale, std::min(tX, 480 / (f.span * f.speedAt(0) * f.yShare + 0.0001)));
}

TEST(FrameMotion, NoMotionOnlyWithoutFramesToMoveIn) {
    TransitionSettings s = defaultSettings();
    s.delay = 0;
    s.gravity = 1;
    FrameMotion f;
    EXPECT_FALSE(prepareFrameMotion(s, 0, 1, 640, 480, f));
    s.gravity = 0;
    EXPECT_TRUE(prepareFrameMotion(s, 0, 1, 640, 480, f));
    s.wind = 0;
    EXPECT_FALSE(prepareFrameMotion(s, 0, 1, 640, 480, f));
}

TEST(FrameMotion, DegenerateLengthsStayInDouble) {
    const TransitionSettings s = defaultSettings();
    FrameMotion f;
    EXPECT_TRUE(prepareFrameMotion(s, 0, 0, 640, 480, f));
    EXPECT_EQ(f.clock, 0);
    prepareFrameMotion(s, 3, 0, 640, 480, f);
    prepareFrameMotion(s, 3, -7, 640, 480, f);
    prepareFrameMotion(s, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 1, 1, f);
}

}  // namespace
}  // namespace glimmer

#include "source_map.h"

#include <gtest/gtest.h>

#include <vector>

namespace glimmer {
namespace {

double sample(int32_t x, int32_t y, int32_t w, int32_t h, SourceMap m, const uint32_t* a = nullptr,
              const uint32_t* b = nullptr) {
    return sampleSourceMap(x, y, w, h, m, a, b);
}

TEST(SourceMap, DefaultDelayMapGrowsTowardTheMiddle) {
    const SourceMap m = defaultSettings().delayMap;
    const int32_t w = 640, h = 480;
    for (int32_t x = 0; x < w; x += 37) {
        const double expected = x < w / 2 ? 2.0 * x * 255 / (w + h) : (2.0 * w - 2.0 * x) * 255 / (w + h);
        EXPECT_EQ(sample(x, 0, w, h, m), expected) << x;
    }
    EXPECT_LT(sample(0, 0, w, h, m), sample(w / 2 - 1, h / 2 - 1, w, h, m));
    EXPECT_LT(sample(w - 1, h - 1, w, h, m), sample(w / 2, h / 2, w, h, m));
}

TEST(SourceMap, RampsAndTiles) {
    SourceMap gradX{sourceGradX, 0, 1, 1, 0, 0};
    EXPECT_EQ(sample(0, 0, 640, 480, gradX), 0);
    EXPECT_EQ(sample(639, 0, 640, 480, gradX), 254.6015625);
    gradX.repeatX = 2;
    gradX.oddX = 1;
    EXPECT_LT(sample(100, 0, 640, 480, gradX), sample(200, 0, 640, 480, gradX));  // rising left
    EXPECT_GT(sample(420, 0, 640, 480, gradX), sample(520, 0, 640, 480, gradX));  // falling right

    SourceMap black{sourceBlack, 1, 1, 1, 0, 0};
    EXPECT_EQ(sample(5, 5, 640, 480, black), 255);
    black = {sourceBlack, 0, 2, 1, 1, 0};
    EXPECT_EQ(sample(319, 0, 640, 480, black), 0);
    EXPECT_EQ(sample(320, 0, 640, 480, black), 255);
    black = {sourceBlack, 0, 2, 2, 1, 1};  // checkerboard
    EXPECT_EQ(sample(10, 10, 640, 480, black), 0);
    EXPECT_EQ(sample(330, 10, 640, 480, black), 255);
    EXPECT_EQ(sample(10, 250, 640, 480, black), 255);
    EXPECT_EQ(sample(330, 250, 640, 480, black), 0);

    // Mirrored ramps mirror at width - lx, not width - 1 - lx, and ignore
    // the flips' inversion.
    const SourceMap diag2s{sourceDiag2S, 0, 2, 1, 1, 0};
    const int32_t lx = (400 * 2) % 640;
    EXPECT_EQ(sample(400, 3, 640, 480, diag2s), (640.0 - (640 - lx) + 3) * 255 / 1120);
    EXPECT_EQ(sample(3, 7, 10, 20, {sourceDiag2, 0, 1, 1, 0, 0}), (10.0 - 3 + 7) * 255 / 30);
    EXPECT_EQ(sample(3, 7, 10, 20, {sourceGradY, 1, 1, 1, 0, 0}), 255 - 7.0 * 255 / 20);
}

TEST(SourceMap, ByteSourcesReadOneChannelOfEitherClip) {
    const uint32_t a[1] = {0x11223344u};  // bytes 0x44, 0x33, 0x22, 0x11 in memory
    const uint32_t b[1] = {0xA1B2C3D4u};
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceRed1, 0, 1, 1, 0, 0}, a, b), 0x44);
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceAlpha1, 0, 1, 1, 0, 0}, a, b), 0x11);
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceGreen2, 0, 1, 1, 0, 0}, a, b), 0xC3);
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceBlue2, 1, 1, 1, 0, 0}, a, b), 255 - 0xB2);
    const uint32_t pixel[1] = {68u | 51u << 8 | 34u << 16 | 17u << 24};
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceRed1, 0, 1, 1, 0, 0}, pixel, b), 68);
    EXPECT_EQ(sample(0, 0, 1, 1, {sourceAlpha1, 0, 1, 1, 0, 0}, pixel, b), 17);

    // Repeat samples every repeatX-th column within each tile.
    std::vector<uint32_t> row(8);
    for (uint32_t i = 0; i < 8; ++i) row[i] = i * 10;
    EXPECT_EQ(sample(3, 0, 8, 1, {sourceRed1, 0, 2, 1, 0, 0}, row.data(), row.data()), 60);
    EXPECT_EQ(sample(5, 0, 8, 1, {sourceRed1, 0, 2, 1, 1, 0}, row.data(), row.data()), 255 - 20);
}

TEST(SourceMap, NumbersOutsideTheListReadTheRowCount) {
    EXPECT_EQ(sample(1, 1, 640, 480, {20, 0, 1, 1, 0, 0}), 224);
    EXPECT_EQ(sample(1, 1, 640, 480, {-3, 0, 1, 1, 0, 0}), 224);
    EXPECT_EQ(sample(1, 1, 640, 480, {15, 1, 1, 1, 0, 0}), 255 - 224);
}

TEST(SourceMap, RepeatCountsOutOfRangeStayInsideTheFrame) {
    std::vector<uint32_t> frame(7 * 5, 0x01020304u);
    for (int32_t repeat : {0, -1, 17, 1 << 30, -(1 << 30)})
        for (int32_t source = 0; source < 16; ++source) {
            const double v = sample(6, 4, 7, 5, {source, 0, repeat, repeat, 1, 1}, frame.data(), frame.data());
            ASSERT_GE(v, 0);
            ASSERT_LE(v, 255);
        }
}

TEST(SourceMap, NamesFindTheirIndex) {
    EXPECT_EQ(findSourceByName("Diag 1 S"), sourceDiag1S);
    EXPECT_EQ(findSourceByName("Black"), 14);
    EXPECT_EQ(findSourceByName("black"), -1);
}

}  // namespace
}  // namespace glimmer

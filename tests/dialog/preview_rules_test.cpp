// The preview's portable rules: placement, Hold and track choice, render
// position, timecodes and the readout, the source-map thumbnail.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "preview_rules.h"
#include "source_map.h"
#include "source_thumbnail.h"
#include "timecode.h"
#include "transition_settings.h"

namespace {

TEST(PicturePlacementTest, CentresBelowTheCaptionOrSqueezes) {
    // Vertical slack 22 -> 16, 21 -> 19, 3 -> 1, 2 -> 1, 1 -> 0.
    for (auto [slack, y] : {std::pair<int, int>{22, 16}, {21, 19}, {3, 1}, {2, 1}, {1, 0}, {100, 55}}) {
        const PicturePlacement p = placePicture(100, 50, 120, 50 + slack);
        EXPECT_EQ(p.y, y) << "slack " << slack;
        EXPECT_EQ(p.height, 50);
    }
    const PicturePlacement exact = placePicture(120, 50, 120, 80);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.width, 120);  // as wide as the box: drawn unscaled from 0
    const PicturePlacement centred = placePicture(100, 50, 121, 80);
    EXPECT_EQ(centred.x, 10);
    EXPECT_EQ(centred.width, 100);
    const PicturePlacement squeezed = placePicture(320, 240, 240, 180);
    EXPECT_EQ(squeezed.x, 0);
    EXPECT_EQ(squeezed.y, 0);
    EXPECT_EQ(squeezed.width, 240);
    EXPECT_EQ(squeezed.height, 180);
}

TEST(HoldAndTracksTest, ReverseExchangesTheClipsAndSwapTheTracks) {
    EXPECT_EQ(effectiveHoldBits(1, false), 1);
    EXPECT_EQ(effectiveHoldBits(2, false), 2);
    EXPECT_EQ(effectiveHoldBits(1, true), 2);
    EXPECT_EQ(effectiveHoldBits(2, true), 1);
    EXPECT_EQ(effectiveHoldBits(3, true), 3);
    EXPECT_EQ(effectiveHoldBits(0x7C, true), 0);  // only the low two bits count
    for (auto [swap, reverse, a] : {std::tuple<bool, bool, int>{false, false, 0}, {false, true, 1},
                                    {true, false, 1}, {true, true, 0}}) {
        EXPECT_EQ(sourceTracks(swap, reverse).imageA, a);
        EXPECT_EQ(sourceTracks(swap, reverse).imageB, 1 - a);
    }
    EXPECT_EQ(heldFrameOfImageA(50, false), 0);
    EXPECT_EQ(heldFrameOfImageA(50, true), 49);
    EXPECT_EQ(heldFrameOfImageB(50, false), 49);
    EXPECT_EQ(heldFrameOfImageB(50, true), 0);
    EXPECT_EQ(heldFrameOfImageA(INT32_MIN, true), INT32_MAX);  // wraps, no overflow
}

TEST(RenderPositionTest, ReverseRendersFromTheEnd) {
    EXPECT_EQ(renderPosition(10, 50, false), 10);
    EXPECT_EQ(renderPosition(10, 50, true), 39);
    EXPECT_EQ(renderPosition(0, 50, true), 49);
    EXPECT_EQ(renderPosition(49, 50, true), 0);
    EXPECT_EQ(previewTrackbarMaximum(50), 49);
    EXPECT_EQ(previewTrackbarMaximum(0), 0);
    EXPECT_EQ(previewTrackbarMaximum(-8), 0);
}

struct TimecodeCase {
    int32_t frames;
    int32_t rate;
    const char* text;
};

class TimecodeTest : public ::testing::TestWithParam<TimecodeCase> {};

TEST_P(TimecodeTest, FormatsHoursMinutesSecondsFrames) {
    char text[timecodeBufferSize];
    EXPECT_EQ(FormatTimecode(GetParam().frames, GetParam().rate, text), GetParam().rate > 0);
    EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    KnownAnswers, TimecodeTest,
    ::testing::Values(TimecodeCase{50, 25, "0:00:02:00"}, TimecodeCase{37, 25, "0:00:01:12"},
                      TimecodeCase{1503, 25, "0:01:00:03"}, TimecodeCase{90000, 25, "1:00:00:00"},
                      TimecodeCase{0, 25, "0:00:00:00"}, TimecodeCase{1637, 25, "0:01:05:12"},
                      TimecodeCase{999, 1000, "0:00:00:999"}, // Ten hours or more: the zero filling no longer lines up with the fields.
                      TimecodeCase{900000, 25, "10: 0: 0: 0"},
                      // Any int32 pair formats in full and is cut to the buffer.
                      TimecodeCase{INT32_MAX, 1, "596523:14: 7: 0"}, TimecodeCase{INT32_MIN, 7, "0:00:-306783378"},
                      TimecodeCase{50, 0, ""}, TimecodeCase{50, -25, ""}));

TEST(TimeReadoutTest, TwoFixedLinesOf54Characters) {
    TimeReadout readout;
    EXPECT_EQ(readout.Text(), "Duration:" + std::string(17, ' ') + "\n" + "Preview:" + std::string(19, ' '));
    readout.Update(50, 37, 25);
    EXPECT_EQ(readout.Text(), "Duration: 0:00:02:00      \nPreview:  0:00:01:12       ");
    EXPECT_EQ(readout.Text().size(), 54u);
    // Timecodes longer than their field are cut to it.
    readout.Update(900000, 0, 25);
    EXPECT_EQ(readout.Text().substr(10, 10), "10: 0: 0: ");
    EXPECT_EQ(readout.Text().size(), 54u);
    // No positive rate: both fields blank again, nothing divided by zero.
    readout.Update(50, 37, 0);
    EXPECT_EQ(readout.Text(), TimeReadout().Text());
}

TEST(SourceThumbnailTest, GreyLevelsOfTheSamplerAndBlackWithoutAPicture) {
    const int32_t width = 40;
    const int32_t rows = 30;
    std::vector<uint32_t> clip1(width * rows);
    std::vector<uint32_t> clip2(width * rows);
    for (int32_t i = 0; i < width * rows; ++i) {
        clip1[i] = static_cast<uint32_t>(i * 2654435761u);
        clip2[i] = static_cast<uint32_t>(i * 40503u);
    }
    std::vector<uint32_t> thumbnail(thumbnailWidth * thumbnailRows, 0xDEADBEEF);
    const glimmer::SourceMap map{glimmer::sourceBlue1, 1, 3, 2, 1, 0};
    computeSourceThumbnail(thumbnail.data(), map, {width, rows, clip1.data(), clip2.data()});
    for (auto [c, r] : {std::pair<int, int>{0, 0}, {127, 95}, {64, 10}, {5, 80}}) {
        const double v = glimmer::sampleSourceMap(c * width / 128, r * rows / 96, width, rows, map,
                                                  clip1.data(), clip2.data());
        EXPECT_EQ(thumbnail[r * thumbnailWidth + c], static_cast<uint32_t>(v) * 0x01010101u);
    }
    for (auto [w, h] : {std::pair<int, int>{0, 30}, {40, 0}, {-4, 30}, {40, -1}}) {
        std::fill(thumbnail.begin(), thumbnail.end(), 0xDEADBEEF);
        computeSourceThumbnail(thumbnail.data(), map, {w, h, clip1.data(), clip2.data()});
        EXPECT_EQ(std::count(thumbnail.begin(), thumbnail.end(), 0u), thumbnailWidth * thumbnailRows);
    }
}

}  // namespace

// The built glimmer on moving clips and pictures of every kind: which frame
// of a clip each position takes (starts, rates), how a picture of another
// size is fitted, and colours through tagged videos both ways.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/png_io.h"
#include "run_glimmer.h"
#include "temporary_folder.h"
#include "test_clips.h"

namespace glimmer::tool {
namespace {

// Made once for the whole suite: ffmpeg takes a while to start.
const TemporaryFolder& clips() {
    static TemporaryFolder folder;
    static const bool made = [] {
        const std::string counting = folder.path("counting.mkv");
        return makeCountingClip(counting, 10, 3, "r") &&
               runFfmpeg("-i '" + counting + "' -frames:v 8 '" + folder.path("shot-%04d.png") + "'") &&
               runFfmpeg("-f lavfi -i color=c=0x505050:s=16x8 -frames:v 1 '" + folder.path("grey.jpg") + "'");
    }();
    EXPECT_TRUE(made) << "ffmpeg could not make the test clips";
    return folder;
}

// Raw RGBA frames glimmer wrote on standard output, top row first.
std::vector<std::string> rawFrames(const std::vector<std::string>& arguments, int32_t width, int32_t rows) {
    const GlimmerRun run = runGlimmer(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::size_t frameBytes = static_cast<std::size_t>(width) * rows * 4;
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + frameBytes <= run.out.size(); at += frameBytes) frames.push_back(run.out.substr(at, frameBytes));
    EXPECT_EQ(run.out.size() % frameBytes, 0u);
    return frames;
}

uint8_t byteAt(const std::string& frame, int32_t width, int32_t x, int32_t topRow, int n) {
    return static_cast<uint8_t>(frame[(static_cast<std::size_t>(topRow) * width + x) * 4 + n]);
}

struct FramePick {
    const char* name;
    std::string input;                // in the clips folder
    std::vector<std::string> options;
    std::vector<int> expected;        // the clip's frame at each position
};

class GlimmerClipFrames : public ::testing::TestWithParam<FramePick> {};

// Both sides are the same solid clip, so every pixel of a rendered frame is
// that frame's colour, whatever moved where.
TEST_P(GlimmerClipFrames, PositionKTakesTheFrameAtTheOutputRate) {
    const FramePick& c = GetParam();
    const std::string input = clips().path(c.input);
    std::vector<std::string> arguments = {"render", "--a", input, "--b", input, "--out", "-", "--format", "rgba",
                                          "--frames", std::to_string(c.expected.size())};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const std::vector<std::string> frames = rawFrames(arguments, 16, 8);
    ASSERT_EQ(frames.size(), c.expected.size());
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_NEAR(byteAt(frames[k], 16, 15, 7, 0), 8 * c.expected[k], 2) << "position " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, GlimmerClipFrames,
    ::testing::Values(FramePick{"FromTheStart", "counting.mkv", {}, {0, 1, 2, 3}},
                      FramePick{"StartInSeconds", "counting.mkv", {"--a-start", "1.5", "--b-start", "1.5s"}, {15, 16, 17}},
                      FramePick{"StartInFramesOfTheClip", "counting.mkv", {"--a-start", "5f", "--b-start", "5f"}, {5, 6, 7}},
                      FramePick{"RepeatedForAFasterOutput", "counting.mkv", {"--fps", "20"}, {0, 0, 1, 1, 2}},
                      FramePick{"DroppedForASlowerOutput", "counting.mkv", {"--fps", "5"}, {0, 2, 4, 6}},
                      FramePick{"NtscRateAsADecimal", "counting.mkv", {"--fps", "29.97"}, {0, 0, 0, 1, 1, 1, 2}},
                      FramePick{"PictureSequence", "shot-%04d.png", {}, {0, 1, 2, 3, 4}},
                      FramePick{"StillJpegAtEveryPosition", "grey.jpg", {}, {10, 10, 10}}),
    [](const ::testing::TestParamInfo<FramePick>& pick) { return std::string(pick.param.name); });

struct Fit {
    const char* mode;
    uint8_t topLeftRed, topMiddleRed;  // the picture's red top line, or black bars
};

// A 16x16 white picture with a red top line, shown at 32x16.
TEST(GlimmerClips, PicturesOfAnotherSizeAreFittedAsAsked) {
    TemporaryFolder folder;
    Picture picture(16, 16, pixelWord(255, 255, 255));
    for (int32_t x = 0; x < 16; ++x) picture.row(15)[x] = pixelWord(255, 0, 0);
    writePng(folder.path("p.png"), picture);
    for (const Fit& fit : {Fit{"letterbox", 0, 255}, Fit{"crop", 255, 255}, Fit{"stretch", 255, 255}}) {
        const std::vector<std::string> frames =
            rawFrames({"render", "--a", folder.path("p.png"), "--b", folder.path("p.png"), "--size", "32x16", "--fit",
                       fit.mode, "--frames", "1", "--out", "-", "--format", "rgba"},
                      32, 16);
        ASSERT_EQ(frames.size(), 1u) << fit.mode;
        EXPECT_NEAR(byteAt(frames[0], 32, 0, 0, 0), fit.topLeftRed, 8) << fit.mode;
        EXPECT_NEAR(byteAt(frames[0], 32, 16, 0, 0), fit.topMiddleRed, 8) << fit.mode;
        // Green tells red (0) from white (255): the top line is red unless cropped away.
        const bool cropped = std::string(fit.mode) == "crop";
        EXPECT_NEAR(byteAt(frames[0], 32, 16, 0, 1), cropped ? 255 : 0, 8) << fit.mode;
    }
}

// A known colour through an MP4 and back: tagged as what it is, read back by
// ffmpeg and by glimmer's own decoder with the tagged matrix.
TEST(GlimmerClips, VideosAreTaggedAndReadWithTheirMatrix) {
    TemporaryFolder folder;
    struct Size {
        int32_t width, rows;
        const char* tags;
    };
    for (const Size& size : {Size{1280, 720, "tv,bt709,bt709,bt709"}, Size{640, 360, "tv,smpte170m,smpte170m,smpte170m"}}) {
        const std::string png = folder.path("known.png"), video = folder.path("known.mp4");
        writePng(png, Picture(size.width, size.rows, pixelWord(32, 192, 64)));
        const GlimmerRun run = runGlimmer({"render", "--a", png, "--b", png, "--frames", "2", "--out", video, "--quiet"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(probeStream(video, "v", "color_space,color_primaries,color_transfer,color_range"), size.tags);
        ASSERT_TRUE(runFfmpeg("-y -i '" + video + "' -frames:v 1 -f rawvideo -pix_fmt rgba '" + folder.path("ffmpeg.rgba") + "'"));
        const std::string byFfmpeg = fileText(folder.path("ffmpeg.rgba"));
        const std::vector<std::string> byGlimmer = rawFrames(
            {"render", "--a", video, "--b", video, "--frames", "1", "--out", "-", "--format", "rgba"}, size.width, size.rows);
        ASSERT_EQ(byGlimmer.size(), 1u);
        const int known[3] = {32, 192, 64};
        for (const std::string* frame : {&byFfmpeg, &byGlimmer[0]})
            for (int n = 0; n < 3; ++n)
                EXPECT_NEAR(byteAt(*frame, size.width, size.width / 2, size.rows / 2, n), known[n], 3)
                    << size.tags << " byte " << n;
    }
}

}  // namespace
}  // namespace glimmer::tool

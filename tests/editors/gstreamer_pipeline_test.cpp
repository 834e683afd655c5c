// The frei0r plug-in in GStreamer: gst-launch-1.0 mixes two pictures with
// frei0r-mixer-glimmerscatterweft at a fixed progress, as the README shows,
// and the frame must be glimmer render's at the frei0r mapping, position
// round(progress * 999) of total 1000.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "melt_render.h"
#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "temporary_folder.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {
namespace {

constexpr int32_t width = 64, rows = 36;

class GStreamerPipeline : public ::testing::TestWithParam<double> {};

TEST_P(GStreamerPipeline, MixerFrameIsGlimmerRendersAtTheMappedPosition) {
    ASSERT_FALSE(findProgram("gst-launch-1.0").empty()) << "scripts/install-deps installs gstreamer1.0-tools";
    TemporaryFolder folder;
    writePng(folder.path("a.png"), makeSunsetPicture(width, rows));
    writePng(folder.path("b.png"), makeMosaicPicture(width, rows));
    const std::string progress = std::to_string(GetParam());
    auto clip = [](const char* name, const char* pad) {
        return std::string(" filesrc location=") + name + " ! pngdec ! imagefreeze num-buffers=1 ! videoconvert !"
               " video/x-raw,format=RGBA,framerate=25/1 ! mix." + pad;
    };
    // Our plug-in only, and a registry of the test's own so no cached element list stands in for it.
    const std::string command = "env FREI0R_PATH='" GLIMMERSCATTERWEFT_FOLDER "' GST_REGISTRY=registry.bin"
                                " gst-launch-1.0 -q frei0r-mixer-glimmerscatterweft name=mix position=" + progress +
                                " ! videoconvert ! video/x-raw,format=RGBA ! filesink location=mixed.rgba" +
                                clip("a.png", "sink_0") + clip("b.png", "sink_1");
    const int status = std::system(("cd '" + folder.path("") + "' && " + command + " > gst.log 2>&1").c_str());
    const std::string mixed = fileBytes(folder.path("mixed.rgba"));
    ASSERT_EQ(mixed.size(), std::size_t(width) * rows * 4) << "status " << status << "\n" << fileBytes(folder.path("gst.log"));

    const GlimmerRun run = runGlimmer({"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"), "--position",
                                       std::to_string(std::lround(GetParam() * 999)), "--total", "1000", "--out",
                                       folder.path("expected.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(mixed == topFirstBytes(readPng(folder.path("expected.png"))));
}

INSTANTIATE_TEST_SUITE_P(Progress, GStreamerPipeline, ::testing::Values(0.0, 0.3, 0.7, 1.0));

}  // namespace
}  // namespace glimmer::tool

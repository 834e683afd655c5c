// The frei0r plug-in in real melt: a two-clip mix and a multitrack
// transition, rendered losslessly to raw RGBA and compared frame by frame
// with glimmer render at the documented mapping (total 1000, position
// round(progress * 999), progress running 0 to 1 over the transition).
// The clips come from melt's pixbuf producer, which hands PNG pixels over
// as RGBA unchanged; its avformat producer converts the lower track's
// colours in the multitrack form, so exact comparisons would not hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "melt_render.h"
#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "settings_file.h"
#include "temporary_folder.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {
namespace {

constexpr int32_t width = 64, rows = 36;
constexpr int clipFrames = 20, mixFrames = 10;
constexpr std::size_t frameBytes = std::size_t(width) * rows * 4;

class Frei0rInMelt : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(findProgram("melt").empty()) << "melt is not installed (scripts/install-deps installs it)";
        setenv("FREI0R_PATH", GLIMMERSCATTERWEFT_FOLDER, 1);
        a = makeSunsetPicture(width, rows);
        b = makeMosaicPicture(width, rows);
        writePng(folder.path("a.png"), a);
        writePng(folder.path("b.png"), b);
        TransitionSettings s = defaultSettings();
        s.cellWidth = 3;
        s.delayMap.source = 12;
        ASSERT_EQ(writeSettingsFile(folder.path("held.qvx"), s), SettingsFileStatus::ok);
        std::ofstream(folder.path("profile")) << "description=64x36\nframe_rate_num=25\nframe_rate_den=1\n"
                                                 "width=64\nheight=36\nprogressive=1\nsample_aspect_num=1\n"
                                                 "sample_aspect_den=1\ndisplay_aspect_num=16\ndisplay_aspect_den=9\n";
    }

    // Runs melt and answers its raw RGBA frames.
    std::string runMelt(const std::string& timeline, const std::string& name) {
        const std::string raw = folder.path(name + ".rgba");
        return renderWithMelt(folder.path(""), "melt -silent -profile profile " + timeline + " -consumer avformat:'" +
                                                   raw + "' f=rawvideo vcodec=rawvideo pix_fmt=rgba " +
                                                   std::string(meltRenderInOneThread),
                              raw);
    }

    // glimmer render of transition frame k of mixFrames, as melt would map it.
    std::string glimmerFrame(int k) {
        const double progress = double(k) / (mixFrames - 1);
        const std::string position = std::to_string(std::lround(progress * 999));
        const std::string out = folder.path("glimmer-" + std::to_string(k) + ".png");
        const GlimmerRun run = runGlimmer({"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"),
                                           "--settings", folder.path("held.qvx"), "--set", "gravity=51",
                                           "--position", position, "--total", "1000", "--out", out});
        EXPECT_EQ(run.status, 0) << run.err;
        return topFirstBytes(readPng(out));
    }

    // Checks frames first .. first + mixFrames - 1 of a melt output.
    void checkTransition(const std::string& frames, int first) {
        ASSERT_GE(frames.size(), (first + mixFrames) * frameBytes);
        const std::string bytesA = topFirstBytes(a), bytesB = topFirstBytes(b);
        auto frame = [&](int i) { return frames.substr(std::size_t(i) * frameBytes, frameBytes); };
        // Whole frames compared as booleans: a dump of 9 kB of bytes helps nobody.
        EXPECT_TRUE(frame(first) == bytesA) << "the first transition frame shows clip A";
        EXPECT_TRUE(frame(first + mixFrames - 1) == bytesB) << "the last transition frame shows clip B";
        const std::string middle = frame(first + mixFrames / 2 - 1);
        EXPECT_NE(middle, bytesA);
        EXPECT_NE(middle, bytesB);
        for (int k = 0; k < mixFrames; ++k) EXPECT_TRUE(frame(first + k) == glimmerFrame(k)) << "transition frame " << k;
    }

    const std::string parameters = "position=\"0=0;-1=1\" settings=held.qvx gravity=0.2";
    TemporaryFolder folder;
    Picture a, b;
};

TEST_F(Frei0rInMelt, MixOfTwoClipsMatchesGlimmerRender) {
    const std::string frames =
        runMelt("pixbuf:a.png out=" + std::to_string(clipFrames - 1) + " pixbuf:b.png out=" +
                    std::to_string(clipFrames - 1) + " -mix " + std::to_string(mixFrames) +
                    " -mixer frei0r.glimmerscatterweft " + parameters,
                "mix");
    EXPECT_EQ(frames.size(), std::size_t(2 * clipFrames - mixFrames) * frameBytes);
    checkTransition(frames, clipFrames - mixFrames);
}

TEST_F(Frei0rInMelt, MultitrackTransitionMatchesGlimmerRender) {
    const std::string frames = runMelt("pixbuf:a.png out=29 -track pixbuf:b.png out=29 -transition "
                                       "frei0r.glimmerscatterweft in=10 out=19 a_track=0 b_track=1 " + parameters,
                                       "tracks");
    checkTransition(frames, 10);
}

}  // namespace
}  // namespace glimmer::tool

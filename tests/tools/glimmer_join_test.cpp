// glimmer join on real clips: A alone, then the transition over the
// overlap, then B alone, with the frames where they belong, the sound
// crossfaded under the transition, and the transition's frames those of
// glimmer render on the same decoded frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "run_glimmer.h"
#include "temporary_folder.h"
#include "test_clips.h"

namespace glimmer::tool {
namespace {

// A: red counts the frames, a 440 Hz tone; B: green counts, 880 Hz; 2 s at
// 10 frames a second. Quiet is B without sound.
const TemporaryFolder& clips() {
    static TemporaryFolder folder;
    static const bool made = makeCountingClip(folder.path("a.mkv"), 10, 2, "r", 440) &&
                             makeCountingClip(folder.path("b.mkv"), 10, 2, "g", 880) &&
                             makeCountingClip(folder.path("quiet.mkv"), 10, 2, "g");
    EXPECT_TRUE(made) << "ffmpeg could not make the test clips";
    return folder;
}

constexpr std::size_t frameBytes = 16 * 8 * 4;

std::vector<std::string> decodedFrames(const std::string& video, const std::string& raw) {
    EXPECT_TRUE(runFfmpeg("-y -i '" + video + "' -f rawvideo -pix_fmt rgba '" + raw + "'"));
    const std::string bytes = fileText(raw);
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) frames.push_back(bytes.substr(at, frameBytes));
    return frames;
}

// Whether every pixel is A's frame `a` or B's frame `b` (-1: not allowed).
bool madeOf(const std::string& frame, int a, int b, int tolerance) {
    for (std::size_t p = 0; p < frame.size(); p += 4) {
        const int red = static_cast<uint8_t>(frame[p]), green = static_cast<uint8_t>(frame[p + 1]);
        const bool isA = a >= 0 && std::abs(red - 8 * a) <= tolerance && green <= tolerance;
        const bool isB = b >= 0 && std::abs(green - 8 * b) <= tolerance && red <= tolerance;
        if (!isA && !isB) return false;
    }
    return true;
}

// Amplitude of a tone in a stretch of mono samples (Goertzel).
double toneAmplitude(const std::vector<float>& samples, std::size_t from, std::size_t count, double hertz, double rate) {
    const double w = 2 * M_PI * hertz / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        const double s0 = samples[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2)) / static_cast<double>(count);
}

TEST(GlimmerJoin, TheOverlapLiesWhereAsked) {
    TemporaryFolder folder;
    struct Case {
        std::vector<std::string> options;
        int before, overlap, after;  // frames
    };
    for (const Case& c : {Case{{}, 15, 5, 15}, Case{{"--offset", "0.5s"}, 5, 5, 15}, Case{{"--offset", "3f"}, 3, 5, 15}}) {
        const std::string out = folder.path("joined.mkv");
        std::vector<std::string> arguments = {"join", clips().path("a.mkv"), clips().path("b.mkv"), "--duration", "0.5",
                                              "--set", "gravity=80", "--out", out};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const GlimmerRun run = runGlimmer(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> frames = decodedFrames(out, folder.path("joined.rgba"));
        ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.before + c.overlap + c.after));
        for (int k = 0; k < c.before; ++k) EXPECT_TRUE(madeOf(frames[k], k, -1, 0)) << "frame " << k;
        for (int k = 0; k < c.overlap; ++k) EXPECT_TRUE(madeOf(frames[c.before + k], c.before + k, k, 0)) << "overlap " << k;
        for (int k = 0; k < c.after; ++k)
            EXPECT_TRUE(madeOf(frames[c.before + c.overlap + k], -1, c.overlap + k, 0)) << "after " << k;

        // The transition is glimmer render's on the same frames.
        std::vector<std::string> render = {"render", "--a", clips().path("a.mkv"), "--b", clips().path("b.mkv"),
                                           "--a-start", std::to_string(c.before) + "f", "--set", "gravity=80",
                                           "--frames", std::to_string(c.overlap), "--out", "-", "--format", "rgba"};
        const GlimmerRun rendered = runGlimmer(render);
        ASSERT_EQ(rendered.out.size(), c.overlap * frameBytes) << rendered.err;
        for (int k = 0; k < c.overlap; ++k)
            EXPECT_EQ(frames[c.before + k], rendered.out.substr(k * frameBytes, frameBytes)) << "overlap " << k;
    }
}

TEST(GlimmerJoin, SoundIsCrossfadedWithEqualPowerUnderTheTransition) {
    TemporaryFolder folder;
    const std::string out = folder.path("joined.mp4");
    const GlimmerRun run = runGlimmer({"join", clips().path("a.mkv"), clips().path("b.mkv"), "--duration", "1", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(probeStream(out, "v", "nb_frames"), "30");
    const double duration = std::stod(probeStream(out, "a", "duration"));
    EXPECT_NEAR(duration, 3.0, 0.05);

    ASSERT_TRUE(runFfmpeg("-y -i '" + out + "' -map 0:a -ac 1 -ar 8000 -f f32le '" + folder.path("sound.f32") + "'"));
    const std::string bytes = fileText(folder.path("sound.f32"));
    std::vector<float> samples(bytes.size() / 4);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
    ASSERT_GT(samples.size(), 8000u * 29 / 10);
    auto at = [&](double second, double hertz) { return toneAmplitude(samples, static_cast<std::size_t>(second * 8000), 800, hertz, 8000); };
    const double full = at(0.4, 440);
    EXPECT_GT(full, 0.05);
    EXPECT_LT(at(0.4, 880), full / 20) << "B sounds before the overlap";
    // Halfway through the overlap (1 s to 2 s) each side has 1/sqrt(2).
    EXPECT_NEAR(at(1.45, 440) / full, std::sqrt(0.5), 0.08);
    EXPECT_NEAR(at(1.45, 880) / full, std::sqrt(0.5), 0.08);
    EXPECT_LT(at(2.5, 440), full / 20) << "A sounds after the overlap";
    EXPECT_NEAR(at(2.5, 880) / full, 1.0, 0.08);
}

TEST(GlimmerJoin, SoundIsKeptWhenOneSideHasItAndAbsentWhenNoneHas) {
    TemporaryFolder folder;
    const GlimmerRun oneSided = runGlimmer({"join", clips().path("a.mkv"), clips().path("quiet.mkv"), "--duration", "5f",
                                            "--out", folder.path("one.webm")});
    ASSERT_EQ(oneSided.status, 0) << oneSided.err;
    EXPECT_EQ(probeStream(folder.path("one.webm"), "a", "codec_name"), "opus");

    // To standard output, for a pipe.
    const GlimmerRun silent = runGlimmer({"join", clips().path("quiet.mkv"), clips().path("quiet.mkv"), "--duration",
                                          "5f", "--out", "-", "--format", "nut"});
    ASSERT_EQ(silent.status, 0) << silent.err;
    std::ofstream(folder.path("silent.nut"), std::ios::binary) << silent.out;
    EXPECT_EQ(probeStream(folder.path("silent.nut"), "v", "codec_name"), "rawvideo");
    EXPECT_EQ(probeStream(folder.path("silent.nut"), "a", "codec_name"), "");
    EXPECT_EQ(decodedFrames(folder.path("silent.nut"), folder.path("silent.rgba")).size(), 35u);
}

}  // namespace
}  // namespace glimmer::tool

// glimmer edit and the many-clip join through the built program: bad edit
// lists and outputs that would replace an input refused with one line and
// nothing written, and one real edit whose every join lies where planned.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/png_io.h"
#include "inputs/sample_pictures.h"
#include "run_glimmer.h"
#include "temporary_folder.h"
#include "test_clips.h"

namespace glimmer::tool {
namespace {

// Red, green and blue count the frames of clips r, g and b (2 s at 10
// frames a second); r and b have a tone, g is silent; p is a picture.
const TemporaryFolder& clips() {
    static TemporaryFolder folder;
    static const bool made = makeCountingClip(folder.path("r.mkv"), 10, 2, "r", 440) &&
                             makeCountingClip(folder.path("g.mkv"), 10, 2, "g") &&
                             makeCountingClip(folder.path("b.mkv"), 10, 2, "b", 880) &&
                             (writePng(folder.path("p.png"), makeMosaicPicture(16, 8)), true) &&
                             runFfmpeg("-y -f lavfi -i sine=frequency=220:d=1 -c:a flac '" + folder.path("tune.mkv") + "'");
    EXPECT_TRUE(made) << "ffmpeg could not make the test clips";
    return folder;
}

// "%x" is the path of clip x.
std::string expand(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find_first_of("\" ", i);
        out += clips().path(text.substr(i + 1, end - i - 1));
        i = end - 1;
    }
    return out;
}

struct BadEdit {
    const char* name;
    const char* list;  // the edit list, or "" for a join on the command line
    std::vector<std::string> join;
    std::vector<std::string> mentions;
};

class GlimmerBadEdit : public ::testing::TestWithParam<BadEdit> {};

TEST_P(GlimmerBadEdit, FailsWithOneLineAndLeavesTheOutputAsItWas) {
    const BadEdit& c = GetParam();
    TemporaryFolder folder;
    const std::string out = folder.path("film.mp4");
    std::ofstream(out) << "an earlier film\n";
    std::ofstream(folder.path("film.json")) << expand(c.list);
    link(clips().path("g.mkv").c_str(), folder.path("hard.mkv").c_str());
    symlink(clips().path("g.mkv").c_str(), folder.path("soft.mkv").c_str());
    std::vector<std::string> arguments = {"edit", folder.path("film.json"), "--out", out};
    if (*c.list == '\0') {
        arguments = {"join"};
        for (const std::string& word : c.join) arguments.push_back(word[0] == '@' ? folder.path(word.substr(1)) : expand(word));
    }
    const GlimmerRun run = runGlimmer(arguments);
    EXPECT_TRUE(run.status == 1 || run.status == 2) << run.status << " " << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    for (const std::string& word : c.mentions) EXPECT_NE(run.err.find(word), std::string::npos) << run.err;
    EXPECT_EQ(fileText(out), "an earlier film\n");
    EXPECT_EQ(fileText(clips().path("g.mkv")).size(), fileText(folder.path("hard.mkv")).size());
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"film.json", "film.mp4", "hard.mkv", "soft.mkv"}));
    EXPECT_EQ(ffmpegRunsMentioning(clips().path("")), std::vector<std::string>{}) << "ffmpeg was left running";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GlimmerBadEdit,
    ::testing::Values(
        BadEdit{"NotJson", "{\"clips\": [", {}, {"film.json", "not JSON", "line 1"}},
        BadEdit{"UnknownKey", R"({"clips": [{"file": "%r.mkv", "speed": 2}, {"file": "%g.mkv"}]})", {},
                {"clips[0].speed", "unknown key"}},
        BadEdit{"NotADuration", R"({"clips": [{"file": "%r.mkv"}, {"file": "%p.png", "duration": "2x"}]})", {},
                {"clips[1].duration: \"2x\" is not a duration"}},
        BadEdit{"PictureOfNoTime", R"({"clips": [{"file": "%r.mkv"}, {"file": "%p.png", "duration": 0}]})", {},
                {"clips[1].duration", "above 0"}},
        BadEdit{"MissingClip", R"({"clips": [{"file": "%r.mkv"}, {"file": "%gone.mkv"}]})", {}, {"gone.mkv"}},
        BadEdit{"InPastTheEnd", R"({"clips": [{"file": "%r.mkv", "in": 3}, {"file": "%g.mkv"}]})", {},
                {"clips[0].in", "past the end", "r.mkv"}},
        BadEdit{"OutBeforeIn", R"({"clips": [{"file": "%r.mkv", "in": 1.5, "out": 1}, {"file": "%g.mkv"}]})", {},
                {"clips[0].out", "in point"}},
        BadEdit{"JoinLongerThanAClip",
                R"({"clips": [{"file": "%r.mkv", "transition": {"duration": 1}}, {"file": "%g.mkv", "out": 0.5}]})",
                {}, {"clips[0].transition.duration", "clips[1]", "g.mkv"}},
        BadEdit{"NoClips", R"({"clips": []})", {}, {"clips", "0 clips"}},
        BadEdit{"OneClip", R"({"clips": [{"file": "%r.mkv"}]})", {}, {"clips", "1 clip"}},
        BadEdit{"BadLook", R"({"clips": [{"file": "%r.mkv", "transition": {"set": ["gravty=3"]}}, {"file": "%g.mkv"}]})",
                {}, {"clips[0].transition.set", "gravty"}},
        BadEdit{"UnknownPreset", R"({"clips": [{"file": "%r.mkv", "transition": {"preset": "fog"}}, {"file": "%g.mkv"}]})",
                {}, {"clips[0].transition.preset", "fog"}},
        BadEdit{"MusicWithoutSound", R"({"music": "%p.png", "clips": [{"file": "%r.mkv"}, {"file": "%g.mkv"}]})", {},
                {"music", "p.png", "no sound"}},
        BadEdit{"OutputIsAnInput", "", {"%r.mkv", "%g.mkv", "--duration", "2f", "--out", "%g.mkv"}, {"clip B", "g.mkv"}},
        BadEdit{"OutputIsAHardLink", "", {"%r.mkv", "%g.mkv", "--duration", "2f", "--out", "@hard.mkv"},
                {"hard.mkv", "g.mkv"}},
        BadEdit{"OutputIsASymlink", "", {"%r.mkv", "%b.mkv", "%g.mkv", "--duration", "2f", "--out", "@soft.mkv"},
                {"soft.mkv", "clip C"}},
        BadEdit{"OutputIsTheMusic", "", {"%r.mkv", "%g.mkv", "--duration", "2f", "--music", "%tune.mkv", "--out", "%tune.mkv"},
                {"the music", "tune.mkv"}},
        BadEdit{"OptionTwice", "", {"%r.mkv", "%g.mkv", "--duration", "2f", "--duration", "3f", "--out", "@x.mp4"},
                {"--duration is given twice"}},
        BadEdit{"MisspeltOption", "", {"%r.mkv", "%g.mkv", "--durration", "2f", "--out", "@x.mp4"},
                {"--durration", "did you mean --duration?"}}),
    [](const ::testing::TestParamInfo<BadEdit>& param) { return std::string(param.param.name); });

constexpr std::size_t frameBytes = 16 * 8 * 4;

// Whether every pixel is frame `n` of clip `channel` (0 red, 1 green, 2 blue)
// or frame `m` of clip `other` (-1: none).
bool madeOf(const std::string& frame, int channel, int n, int other, int m) {
    for (std::size_t p = 0; p < frame.size(); p += 4) {
        auto is = [&](int c, int k) {
            for (int i = 0; i < 3; ++i)
                if (static_cast<uint8_t>(frame[p + i]) != (i == c ? 8 * k : 0)) return false;
            return true;
        };
        if (!is(channel, n) && !(other >= 0 && is(other, m))) return false;
    }
    return true;
}

// The output's sound, mono at 8 kHz.
std::vector<float> soundOf(const std::string& film, const TemporaryFolder& folder) {
    EXPECT_TRUE(runFfmpeg("-y -i '" + film + "' -map 0:a -ac 1 -ar 8000 -f f32le '" + folder.path("sound.f32") + "'"));
    const std::string sound = fileText(folder.path("sound.f32"));
    std::vector<float> samples(sound.size() / 4);
    std::memcpy(samples.data(), sound.data(), samples.size() * 4);
    return samples;
}

double loudnessOf(const std::vector<float>& samples, double from, double to) {
    double sum = 0;
    for (std::size_t i = static_cast<std::size_t>(from * 8000); i < static_cast<std::size_t>(to * 8000) && i < samples.size(); ++i)
        sum += samples[i] * samples[i];
    return std::sqrt(sum / ((to - from) * 8000));
}

// r, then g from 0.5 s to 1.5 s, then b: joins of 5 and 3 frames, so the
// middle clip gives its first frames to one join and its last to the next.
TEST(GlimmerEdit, EveryJoinTakesTheFramesOfItsTwoClips) {
    TemporaryFolder folder;
    std::ofstream(folder.path("film.json")) << expand(
        R"({"transition": {"duration": 0.5, "set": {"gravity": 80}},
            "clips": [{"file": "%r.mkv"},
                      {"file": "%g.mkv", "in": 0.5, "out": "15f", "transition": {"duration": "3f"}},
                      {"file": "%b.mkv"}]})");
    const std::string out = folder.path("film.mkv");
    const GlimmerRun run = runGlimmer({"edit", folder.path("film.json"), "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(runFfmpeg("-y -i '" + out + "' -f rawvideo -pix_fmt rgba '" + folder.path("film.rgba") + "'"));
    const std::string bytes = fileText(folder.path("film.rgba"));
    ASSERT_EQ(bytes.size(), 42 * frameBytes);
    auto frame = [&](int k) { return bytes.substr(k * frameBytes, frameBytes); };
    // r alone 0-14, join 15-19 (r 15-19, g 5-9), g alone 20-21 (g 10-11),
    // join 22-24 (g 12-14, b 0-2), b alone 25-41 (b 3-19).
    for (int k = 0; k < 15; ++k) EXPECT_TRUE(madeOf(frame(k), 0, k, -1, 0)) << k;
    for (int k = 0; k < 5; ++k) EXPECT_TRUE(madeOf(frame(15 + k), 0, 15 + k, 1, 5 + k)) << "join 0, " << k;
    for (int k = 0; k < 2; ++k) EXPECT_TRUE(madeOf(frame(20 + k), 1, 10 + k, -1, 0)) << 20 + k;
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(madeOf(frame(22 + k), 1, 12 + k, 2, k)) << "join 1, " << k;
    for (int k = 0; k < 17; ++k) EXPECT_TRUE(madeOf(frame(25 + k), 2, 3 + k, -1, 0)) << 25 + k;

    // r's tone, then silence from the silent g, then b's tone, for 4.2 s.
    const std::vector<float> samples = soundOf(out, folder);
    EXPECT_NEAR(samples.size() / 8000.0, 4.2, 0.05);
    ASSERT_GT(samples.size(), 8000u * 4);
    auto loudness = [&](double from, double to) { return loudnessOf(samples, from, to); };
    const double tone = loudness(0.2, 1.2);
    EXPECT_GT(tone, 0.05);
    EXPECT_LT(loudness(2.05, 2.15), tone / 20) << "g has no sound";
    EXPECT_NEAR(loudness(3, 4), tone, tone / 10);
}

// The 1 s tune looped under 3.5 s, faded in and out over 0.5 s, with r's
// own tone left out at --clip-volume 0 and at half its loudness at 0.5.
TEST(GlimmerEdit, MusicIsLoopedUnderTheWholeEditAndFaded) {
    TemporaryFolder folder;
    const std::string out = folder.path("film.mkv");
    for (const char* volume : {"0", "0.5"}) {
        const GlimmerRun run = runGlimmer({"join", clips().path("r.mkv"), clips().path("g.mkv"), "--duration", "0.5", "--music",
                                           clips().path("tune.mkv"), "--music-fade", "0.5", "--clip-volume", volume, "--out", out});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<float> samples = soundOf(out, folder);
        EXPECT_NEAR(samples.size() / 8000.0, 3.5, 0.05);
        const double tune = loudnessOf(samples, 2.5, 2.9), atStart = loudnessOf(samples, 0, 0.1);
        EXPECT_NEAR(tune, 0.088, 0.01) << "the tune alone, looped, at volume " << volume;
        EXPECT_LT(loudnessOf(samples, 3.4, 3.5), tune / 3) << "faded out";
        if (std::string(volume) == "0") EXPECT_LT(atStart, tune / 3) << "faded in, without r";
        else EXPECT_NEAR(loudnessOf(samples, 0.7, 1.2), tune * std::sqrt(1.25), tune / 10) << "r at half its loudness under the tune";
    }
}

}  // namespace
}  // namespace glimmer::tool

// The built glimmer on bad input: one line naming the thing at fault, exit
// status 1 (2 for a wrong command line), and no output file left behind,
// not even a temporary one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "settings_file.h"
#include "temporary_folder.h"
#include "test_clips.h"

namespace glimmer::tool {
namespace {

// Clips, made once: a second at 10 frames a second with sound, sound alone,
// and a file that only looks like a video.
const TemporaryFolder& clips() {
    static TemporaryFolder folder;
    static const bool made = makeCountingClip(folder.path("clip.mkv"), 10, 1, "r", 440) &&
                             runFfmpeg("-f lavfi -i sine=d=1 '" + folder.path("sound.wav") + "'") &&
                             (std::ofstream(folder.path("garbage.mp4")) << "not a video\n").good();
    EXPECT_TRUE(made) << "ffmpeg could not make the test clips";
    return folder;
}

// The inputs every case may use, made once per case in its own folder.
class Inputs {
public:
    Inputs() {
        writePng(folder.path("a.png"), makeSunsetPicture(32, 18));
        writePng(folder.path("b.png"), makeMosaicPicture(32, 18));
        writePng(folder.path("small.png"), makeMosaicPicture(16, 9));
        std::ifstream in(folder.path("a.png"), std::ios::binary);
        const std::string png(std::istreambuf_iterator<char>(in), {});
        write("cut.png", png.substr(0, png.size() / 2));
        write("text.png", "not a picture\n");
        write("plain-file", "a file where a folder should be\n");
        std::string header(settingsFileHeader, settingsFileHeaderSize);
        write("short.qvx", header + "abc");
        header[31] = '!';
        write("bad-header.qvx", header + std::string(424, '\0'));
        write("ffmpeg-fails/ffmpeg",
              "#!/bin/sh\nfor last; do :; done\necho partial > \"$last\"\ncat > /dev/null\n"
              "echo 'fake ffmpeg: encoder exploded' >&2\nexit 1\n");
        chmod(folder.path("ffmpeg-fails/ffmpeg").c_str(), 0755);
        write("no-programs/.keep", "");
    }
    std::string path(const std::string& name) const { return folder.path(name); }
    TemporaryFolder folder;

private:
    void write(const std::string& name, const std::string& content) {
        const std::size_t slash = name.find('/');
        if (slash != std::string::npos) mkdir(folder.path(name.substr(0, slash)).c_str(), 0755);
        std::ofstream(folder.path(name), std::ios::binary) << content;
    }
};

struct BadRun {
    const char* name;
    std::vector<std::string> arguments;  // "@x" stands for the path of input x
    int status;
    std::vector<std::string> mentions;   // words the error line must hold
    const char* path = nullptr;          // PATH for the run, "@x" allowed
};

// "@x" is input x of the case, "%x" clip x of the suite.
std::string expand(const Inputs& in, const std::string& word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '@' && word[i] != '%') {
            out += word[i];
            continue;
        }
        std::size_t end = word.find_first_of(" =", i);
        if (end == std::string::npos) end = word.size();
        const std::string name = word.substr(i + 1, end - i - 1);
        out += word[i] == '@' ? in.path(name) : clips().path(name);
        i = end - 1;
    }
    return out;
}

class GlimmerBadInput : public ::testing::TestWithParam<BadRun> {};

TEST_P(GlimmerBadInput, FailsWithOneLineAndLeavesNoFile) {
    const BadRun& c = GetParam();
    Inputs in;
    const std::vector<std::string> before = in.folder.entries();
    std::vector<std::string> arguments;
    for (const std::string& a : c.arguments) arguments.push_back(expand(in, a));
    const std::string path = c.path != nullptr ? expand(in, c.path) : "";
    const GlimmerRun run = runGlimmer(arguments, c.path != nullptr ? path.c_str() : nullptr);

    EXPECT_EQ(run.status, c.status) << run.err;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind("glimmer: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    for (const std::string& word : c.mentions) EXPECT_NE(run.err.find(word), std::string::npos) << run.err;
    EXPECT_EQ(in.folder.entries(), before) << "a file was left behind";
    EXPECT_EQ(in.folder.entries("ffmpeg-fails"), std::vector<std::string>{"ffmpeg"});
    EXPECT_EQ(ffmpegRunsMentioning(clips().path("")), std::vector<std::string>{}) << "ffmpeg was left running";
}

const std::vector<std::string> frame = {"--position", "1", "--total", "4"};

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail = frame) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GlimmerBadInput,
    ::testing::Values(
        BadRun{"UnknownField", with({"render", "--set", "gravty=3", "--out", "@out.png"}), 1, {"gravty"}},
        BadRun{"OutOfRange", with({"render", "--set", "gravity=256", "--out", "@out.png"}), 1, {"gravity", "256"}},
        BadRun{"BadSourceName", with({"render", "--set", "delayMap.source=Diag 3", "--out", "@out.png"}), 1,
               {"delayMap.source", "Diag 3"}},
        BadRun{"NotPng", with({"render", "--a", "@text.png", "--out", "@out.png"}), 1, {"text.png", "not a PNG"}},
        BadRun{"TruncatedPng", with({"render", "--b", "@cut.png", "--out", "@out.png"}), 1, {"cut.png", "truncated"}},
        BadRun{"PngChunkPastTheEnd", with({"render", "--a", REGRESSION_PNG, "--out", "@out.png"}), 1,
               {"png-chunk-length-takes-2gb.png", "corrupt or truncated"}},
        BadRun{"MissingPicture", with({"render", "--a", "@nothing.png", "--out", "@out.png"}), 1, {"nothing.png"}},
        BadRun{"MissingSettings", with({"render", "--settings", "@nothing.qvx", "--out", "@out.png"}), 1,
               {"nothing.qvx", "Error opening file!"}},
        BadRun{"ShortSettings", with({"render", "--settings", "@short.qvx", "--out", "@out.png"}), 1,
               {"short.qvx", "Error reading file!"}},
        BadRun{"ForeignSettings", with({"settings", "--settings", "@bad-header.qvx"}, {}), 1,
               {"bad-header.qvx", "Not a Scatterweave file!"}},
        BadRun{"FolderSettings", with({"sheet", "--settings", "@no-programs", "--frames", "2", "--out", "@s.png"}, {}),
               1, {"no-programs"}},
        BadRun{"SizeMismatchWithoutFfmpeg", with({"render", "--a", "@a.png", "--b", "@small.png", "--out", "@out.png"}),
               1, {"32x18", "16x9", "small.png", "ffmpeg"}, "@no-programs"},
        BadRun{"UnwritableFrame", with({"render", "--out", "@plain-file/out.png"}), 1, {"plain-file/out.png"}},
        BadRun{"MissingOutputFolder", with({"render", "--out", "@gone/out.png"}), 1, {"gone"}},
        BadRun{"UnwritableSequence", {"render", "--frames", "3", "--size", "8x8", "--out", "@plain-file/seq/"}, 1,
               {"plain-file"}},
        BadRun{"UnwritableSheet", {"sheet", "--frames", "3", "--size", "8x8", "--out", "@plain-file/s.png"}, 1,
               {"plain-file"}},
        BadRun{"UnwritableSettings", {"settings", "--out", "@plain-file/s.qvx"}, 1, {"plain-file/s.qvx"}},
        BadRun{"VideoWithoutFfmpeg", {"render", "--frames", "3", "--size", "8x8", "--out", "@v.mp4"}, 1,
               {"ffmpeg", "v.mp4"}, "@no-programs"},
        BadRun{"FfmpegFails", {"render", "--frames", "3", "--size", "8x8", "--out", "@v.mkv"}, 1,
               {"encoder exploded", "v.mkv"}, "@ffmpeg-fails"},
        BadRun{"SequenceToOnePng", {"render", "--frames", "3", "--out", "@out.png"}, 2, {"--frames"}},
        BadRun{"FrameToVideo", with({"render", "--out", "@out.mp4"}), 2, {".png"}},
        BadRun{"PositionPastTheEnd", {"render", "--position", "4", "--total", "4", "--out", "@out.png"}, 2,
               {"--position"}},
        BadRun{"UnknownOption", with({"render", "--gravity", "3", "--out", "@out.png"}), 2, {"--gravity"}},
        BadRun{"MalformedAssignment", with({"render", "--set", "gravity", "--out", "@out.png"}), 2,
               {"FIELD=VALUE"}},
        BadRun{"ClipShorterThanItsSide", {"join", "%clip.mkv", "%clip.mkv", "--duration", "2", "--out", "@j.mkv"}, 1,
               {"clip.mkv", "1.00 s long", "10 frames"}},
        BadRun{"ClipShorterThanARender", {"render", "--a", "%clip.mkv", "--frames", "12", "--out", "@seq/"}, 1,
               {"clip.mkv", "1.00 s long"}},
        BadRun{"NotDecodable", {"render", "--a", "%garbage.mp4", "--frames", "2", "--out", "@v.mkv"}, 1,
               {"garbage.mp4", "ffmpeg can read"}},
        BadRun{"NoVideoStream", {"join", "%sound.wav", "%clip.mkv", "--duration", "2f", "--out", "@j.mkv"}, 1,
               {"sound.wav", "no video stream"}},
        BadRun{"OffsetPastTheEndOfA",
               {"join", "%clip.mkv", "%clip.mkv", "--duration", "0.5", "--offset", "0.6", "--out", "@j.mp4"}, 1,
               {"--offset 0.6 s", "clip.mkv", "1.00 s long"}},
        BadRun{"DurationZero", {"join", "%clip.mkv", "%clip.mkv", "--duration", "0", "--out", "@j.mp4"}, 2,
               {"--duration", "'0'"}},
        BadRun{"DurationNegative", {"join", "%clip.mkv", "%clip.mkv", "--duration", "-1", "--out", "@j.mp4"}, 2,
               {"--duration", "'-1'"}},
        BadRun{"DurationUnderAFrame", {"join", "%clip.mkv", "%clip.mkv", "--duration", "0.01", "--out", "@j.mp4"}, 2,
               {"--duration 0.01 s", "one frame"}},
        BadRun{"FpsZero", {"render", "--frames", "2", "--fps", "0", "--out", "@v.mkv"}, 2, {"--fps", "'0'"}},
        BadRun{"FpsOverZero", {"render", "--frames", "2", "--fps", "1/0", "--out", "@v.mkv"}, 2, {"--fps", "'1/0'"}},
        BadRun{"SizeAbove16384", {"render", "--frames", "2", "--size", "16385x8", "--out", "@v.mkv"}, 2,
               {"--size", "16385x8"}},
        BadRun{"SizeZero", {"render", "--frames", "2", "--size", "0x8", "--out", "@v.mkv"}, 2, {"--size", "0x8"}},
        BadRun{"JoinWithoutFfmpeg", {"join", "%clip.mkv", "%clip.mkv", "--duration", "2f", "--out", "@j.mp4"}, 1,
               {"clip.mkv", "apt install ffmpeg"}, "@no-programs"},
        BadRun{"OddSizeForH264", {"render", "--frames", "2", "--size", "9x8", "--out", "@v.mp4"}, 1,
               {"v.mp4", "9x8", "--pad"}},
        BadRun{"CompressionForVideo", {"render", "--frames", "2", "--compression", "3", "--out", "@v.mp4"}, 2,
               {"--compression"}},
        BadRun{"CrfForLossless", {"render", "--frames", "2", "--crf", "20", "--out", "@v.mkv"}, 2, {"--crf", "ffv1"}},
        BadRun{"CodecOutsideItsContainer", {"render", "--frames", "2", "--codec", "vp9", "--out", "@v.mp4"}, 2,
               {"libvpx-vp9", "mp4"}},
        BadRun{"DeviceAsOutput", {"render", "--frames", "2", "--out", "/dev/null"}, 1, {"/dev/null", "--out -"}},
        BadRun{"StandardOutputWithoutFormat", {"render", "--frames", "2", "--out", "-"}, 2, {"--format"}},
        BadRun{"StartOfAStill", {"render", "--a", "@a.png", "--a-start", "1", "--frames", "2", "--out", "@seq/"}, 2,
               {"--a-start", "a.png"}}),
    [](const ::testing::TestParamInfo<BadRun>& run) { return std::string(run.param.name); });

// Ctrl-C while a video is written: glimmer dies of it, its ffmpeg children
// (the decoder of A and the encoder) go with it, and no file stays.
TEST(GlimmerInterrupted, EndsItsChildrenAndRemovesItsTemporaryFile) {
    TemporaryFolder folder;
    const std::string out = folder.path("long.mkv");
    std::vector<std::string> words = {GLIMMER_PROGRAM, "render", "--a", clips().path("clip.mkv"), "--fps", "1000",
                                      "--frames", "900", "--size", "320x180", "--quiet", "--jobs", "1", "--out", out};
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, GLIMMER_PROGRAM, nullptr, nullptr, argv.data(), environ), 0);
    // Wait (at most ten seconds) until the video is being written.
    for (int i = 0; i < 1000 && folder.entries().empty(); ++i) usleep(10000);
    const std::vector<std::string> writing = folder.entries();
    const std::size_t children = ffmpegRunsMentioning(folder.path("")).size() + ffmpegRunsMentioning(clips().path("")).size();
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(writing.size(), 1u);
    EXPECT_EQ(writing[0].rfind(".long.mkv.tmp", 0), 0u) << writing[0];
    EXPECT_EQ(children, 2u) << "the encoder and the decoder of A";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "an interrupt is not reported as success";
    EXPECT_EQ(folder.entries(), std::vector<std::string>{});
    EXPECT_EQ(ffmpegRunsMentioning(folder.path("")), std::vector<std::string>{});
    EXPECT_EQ(ffmpegRunsMentioning(clips().path("")), std::vector<std::string>{});
}

}  // namespace
}  // namespace glimmer::tool

// Golden frames: the program's output for a few recorded command lines
// must hash as recorded, and the plain reference renderer must reach the
// same hashes from the same inputs, so a hash is never just "what the
// program did last time".
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands/command_line.h"
#include "common/png_io.h"
#include "reference_renderer.h"
#include "run_glimmer.h"
#include "temporary_folder.h"
#include "inputs/transition_inputs.h"

namespace glimmer::tool {
namespace {

struct GoldenFrame {
    std::string name;
    std::string hash;
    std::vector<std::string> arguments;
};

std::string trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

// Arguments split at spaces, except that a --set value runs to the next
// " --" so that source names keep their spaces.
std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;) {
        if (!words.empty() && words.back() == "--set" ) {
            std::string rest;
            while (in.peek() == ' ' && in.get() && in.peek() != '-' && in >> rest) w += " " + rest;
        }
        words.push_back(w);
    }
    return words;
}

std::vector<GoldenFrame> loadGoldenFrames() {
    std::vector<GoldenFrame> frames;
    std::ifstream in(GOLDEN_FRAMES_FILE);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
        frames.push_back({trim(line.substr(0, bar1)), trim(line.substr(bar1 + 1, bar2 - bar1 - 1)),
                          splitArguments(line.substr(bar2 + 1))});
    }
    return frames;
}

std::string hashWords(const PixelWords& words) {
    uint64_t h = 14695981039346656037ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(words.data());
    for (std::size_t i = 0; i < words.size() * 4; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

TEST(GoldenFrames, TheDataFileHoldsTheCases) {
    const std::vector<GoldenFrame> frames = loadGoldenFrames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[5].arguments[8], "delayMap.source=Grad Y");
}

TEST(GoldenFrames, ProgramOutputHashesAsRecorded) {
    TemporaryFolder folder;
    for (const GoldenFrame& g : loadGoldenFrames()) {
        std::vector<std::string> arguments = g.arguments;
        arguments.insert(arguments.end(), {"--out", folder.path(g.name + ".png")});
        const GlimmerRun run = runGlimmer(arguments);
        ASSERT_EQ(run.status, 0) << g.name << ": " << run.err;
        EXPECT_EQ(hashWords(readPng(folder.path(g.name + ".png")).pixels), g.hash) << g.name;
    }
}

TEST(GoldenFrames, ReferenceRendererReachesTheRecordedHashes) {
    for (const GoldenFrame& g : loadGoldenFrames()) {
        std::vector<const char*> argv{"glimmer"};
        std::vector<std::string> arguments = g.arguments;
        arguments.insert(arguments.end(), {"--out", "unused.png"});
        for (const std::string& a : arguments) argv.push_back(a.c_str());
        const Options options = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        const TransitionSettings settings = loadTransitionSettings(options);
        const PicturePair pictures = loadPicturePair(options);
        PixelWords frame = pictures.b.pixels;
        glimmer::testing::referenceRenderDissipation(pictures.a.pixels.data(), frame.data(), pictures.a.rows,
                                                     pictures.a.width * 4, settings, options.position, options.total);
        EXPECT_EQ(hashWords(frame), g.hash) << g.name;
    }
}

}  // namespace
}  // namespace glimmer::tool

// What the built glimmer writes: the same frames whatever the number of
// jobs, PNGs that read back as the rendered words, videos that carry the
// frames in order, settings files the plug-in loads, and the demo.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "plan/frame_jobs.h"
#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "settings_file.h"
#include "temporary_folder.h"

namespace glimmer::tool {
namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GlimmerOutput, JobCountDoesNotChangeTheSequence) {
    TemporaryFolder folder;
    const std::vector<std::string> common = {"render", "--frames", "9", "--size", "96x54", "--set", "gravity=40",
                                             "--set", "cellWidth=3", "--quiet"};
    for (const char* jobs : {"1", "2", "3"}) {
        std::vector<std::string> arguments = common;
        arguments.insert(arguments.end(), {"--jobs", jobs, "--out", folder.path(std::string("jobs") + jobs + "/")});
        const GlimmerRun run = runGlimmer(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const std::vector<std::string> names = folder.entries("jobs1");
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names.front(), "frame-0000.png");
    EXPECT_EQ(names.back(), "frame-0008.png");
    for (const char* other : {"jobs2", "jobs3"}) {
        ASSERT_EQ(folder.entries(other), names);
        for (const std::string& name : names)
            EXPECT_EQ(fileBytes(folder.path(std::string("jobs1/") + name)),
                      fileBytes(folder.path(std::string(other) + "/" + name)))
                << other << "/" << name;
    }
}

// The frame as the engine renders it in this process, without the program.
Picture renderInProcess(const Picture& a, const Picture& b, const TransitionSettings& settings, int32_t position,
                        int32_t total) {
    Picture frame(a.width, a.rows);
    const Transition transition{&a, &b, settings, total};
    renderTransitionFrame(transition, position, frame);
    return frame;
}

TEST(GlimmerOutput, WrittenFrameReadsBackAsTheEngineWords) {
    TemporaryFolder folder;
    // Odd sizes and a picture with varied alpha catch row and byte slips.
    Picture a = makeSunsetPicture(51, 29);
    for (std::size_t i = 0; i < a.pixels.size(); ++i) a.pixels[i] = (a.pixels[i] & 0x00FFFFFFu) | (uint32_t(i % 251) << 24);
    const Picture b = makeMosaicPicture(51, 29);
    writePng(folder.path("a.png"), a);
    writePng(folder.path("b.png"), b);
    const GlimmerRun run = runGlimmer({"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"), "--set",
                                       "movingYMap.source=Alpha1", "--set", "wind=90", "--position", "6", "--total",
                                       "15", "--out", folder.path("frame.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    TransitionSettings settings = defaultSettings();
    settings.movingYMap.source = 3;
    settings.wind = 90;
    const Picture expected = renderInProcess(a, b, settings, 6, 15);
    EXPECT_NE(expected.pixels, b.pixels);
    EXPECT_EQ(readPng(folder.path("frame.png")).pixels, expected.pixels);

    // A's alpha goes on into a video that can carry it.
    const GlimmerRun video = runGlimmer({"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"), "--frames",
                                         "2", "--out", folder.path("clip.mov"), "--quiet"});
    ASSERT_EQ(video.status, 0) << video.err;
    const std::string probe = "ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 '" + folder.path("clip.mov") +
                              "' | grep -q yuva";
    EXPECT_EQ(std::system(probe.c_str()), 0) << "clip.mov is opaque";
}

TEST(GlimmerOutput, LosslessVideoCarriesTheFramesInOrderTopRowFirst) {
    TemporaryFolder folder;
    const GlimmerRun run = runGlimmer({"render", "--frames", "7", "--size", "40x22", "--jobs", "3", "--set",
                                       "gravity=60", "--out", folder.path("clip.mkv")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string raw = folder.path("clip.rgba");
    const std::string decode = "ffmpeg -v error -i '" + folder.path("clip.mkv") + "' -f rawvideo -pix_fmt rgba '" + raw + "'";
    ASSERT_EQ(std::system(decode.c_str()), 0);
    const std::string bytes = fileBytes(raw);
    const Picture a = makeSunsetPicture(40, 22), b = makeMosaicPicture(40, 22);
    TransitionSettings settings = defaultSettings();
    settings.gravity = 60;
    const std::size_t frameBytes = 40 * 22 * 4;
    ASSERT_EQ(bytes.size(), 7 * frameBytes);
    for (int32_t p = 0; p < 7; ++p) {
        const Picture expected = renderInProcess(a, b, settings, p, 7);
        std::string topFirst;
        for (int32_t r = expected.rows - 1; r >= 0; --r)
            topFirst.append(reinterpret_cast<const char*>(expected.row(r)), 40 * 4);
        EXPECT_TRUE(bytes.compare(p * frameBytes, frameBytes, topFirst) == 0) << "frame " << p;
    }
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"clip.mkv", "clip.rgba"}));
}

TEST(GlimmerOutput, SettingsFileLoadsAndRendersLikeTheAssignments) {
    TemporaryFolder folder;
    const std::string qvx = folder.path("mine.qvx");
    const GlimmerRun written = runGlimmer({"settings", "--set", "gravity=9", "--set", "delayMap.source=Grad X",
                                           "--set", "bands=1", "--set", "cellWidth=40", "--out", qvx});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("gravity"), std::string::npos);
    EXPECT_NE(written.out.find("Grad X"), std::string::npos);
    EXPECT_EQ(fileBytes(qvx).size(), settingsFileSize);
    TransitionSettings loaded{};
    ASSERT_EQ(readSettingsFile(qvx, loaded), SettingsFileStatus::ok);
    TransitionSettings expected = defaultSettings();
    expected.gravity = 9;
    expected.delayMap.source = 12;
    expected.cellFlags = 1;
    expected.cellWidth = 40;
    EXPECT_EQ(std::memcmp(&loaded, &expected, sizeof loaded), 0);

    const std::vector<std::string> frame = {"--size", "64x36", "--position", "5", "--total", "12", "--out"};
    std::vector<std::string> fromFile = {"render", "--settings", qvx};
    fromFile.insert(fromFile.end(), frame.begin(), frame.end());
    fromFile.push_back(folder.path("file.png"));
    std::vector<std::string> fromSets = {"render", "--set", "gravity=9", "--set", "delayMap.source=12", "--set",
                                         "cellFlags=1", "--set", "cellWidth=40"};
    fromSets.insert(fromSets.end(), frame.begin(), frame.end());
    fromSets.push_back(folder.path("sets.png"));
    ASSERT_EQ(runGlimmer(fromFile).status, 0);
    ASSERT_EQ(runGlimmer(fromSets).status, 0);
    EXPECT_EQ(fileBytes(folder.path("file.png")), fileBytes(folder.path("sets.png")));
}

TEST(GlimmerOutput, SheetPlacesEveryFrameWithItsNumber) {
    TemporaryFolder folder;
    const GlimmerRun run = runGlimmer({"sheet", "--frames", "7", "--columns", "3", "--scale", "0.5", "--size",
                                       "80x40", "--out", folder.path("sheet.png"), "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture sheet = readPng(folder.path("sheet.png"));
    // Three columns of 40-pixel frames and three lines of 20-pixel frames
    // with their labels, all 6 pixels apart.
    EXPECT_EQ(sheet.width, 3 * (40 + 6) + 6);
    EXPECT_EQ(sheet.rows, 3 * (20 + 7 + 4 + 6) + 6);
    // Frame 0 is image A, shrunk: its top-left sheet pixel is the average
    // of the picture's top-left 2x2 block.
    const Picture a = makeSunsetPicture(80, 40);
    uint32_t sums[3] = {0, 0, 0};
    for (int32_t top = 0; top < 2; ++top)
        for (int32_t x = 0; x < 2; ++x)
            for (int n = 0; n < 3; ++n) sums[n] += pixelByte(a.row(a.rows - 1 - top)[x], n);
    const uint32_t corner = sheet.row(sheet.rows - 1 - 6)[6];
    for (int n = 0; n < 3; ++n) EXPECT_EQ(pixelByte(corner, n), (sums[n] + 2) / 4) << "byte " << n;
    // The label line under frame 0 carries light dots; the gap beside it none.
    int lit = 0;
    for (int32_t top = 6 + 20; top < 6 + 20 + 11; ++top)
        for (int32_t x = 6; x < 46; ++x) lit += pixelByte(sheet.row(sheet.rows - 1 - top)[x], 0) > 200;
    EXPECT_GT(lit, 5);
}

TEST(GlimmerOutput, DemoWritesTheSheetAndVideosAndSaysWhere) {
    TemporaryFolder folder;
    const std::string out = folder.path("demo");
    const GlimmerRun run = runGlimmer({"demo", "--out", out, "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(folder.entries("demo"),
              (std::vector<std::string>{"image-a.png", "image-b.png", "sheet.png", "transition.gif", "transition.mp4"}));
    EXPECT_NE(run.out.find(out + "/sheet.png"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(out + "/transition.mp4"), std::string::npos) << run.out;
    const Picture sheet = readPng(out + "/sheet.png");
    EXPECT_EQ(sheet.width, 5 * (160 + 6) + 6);
    const std::string probe = "ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames "
                              "-of csv=p=0 '" + out + "/transition.mp4' > '" + folder.path("frames.txt") + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    EXPECT_EQ(fileBytes(folder.path("frames.txt")), "50\n");
}

}  // namespace
}  // namespace glimmer::tool

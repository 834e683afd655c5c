#include "render_dissipation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "frame_motion.h"
#include "frame_random.h"
#include "kernel_sets.h"
#include "parallel_render.h"
#include "reference_renderer.h"
#include "test_frames.h"

namespace glimmer {
namespace {

using testing::patternFrame;
using testing::randomSettings;
using testing::referenceRenderDissipation;

struct Rendered {
    std::vector<uint32_t> fast, plain;
};

// One renderer for each thread count, kept over the whole run as a host
// keeps its own: a frame must not depend on what the previous one left.
ParallelRenderer& rendererWith(int32_t threads) {
    static std::unique_ptr<ParallelRenderer> renderers[8];
    auto& r = renderers[threads];
    if (!r) r = std::make_unique<ParallelRenderer>(threads);
    return *r;
}

Rendered renderBoth(const ChunkKernels& kernels, int32_t threads, const TransitionSettings& s, int32_t width,
                    int32_t rows, int32_t position, int32_t total) {
    const auto a = patternFrame(int64_t{width} * rows, 0xA);
    const auto b = patternFrame(int64_t{width} * rows, 0xB);
    Rendered r{b, b};
    ParallelRenderer& split = rendererWith(threads);
    if (threads == 1) renderDissipation(a.data(), r.fast.data(), rows, width * 4, s, position, total, kernels);
    // Seven threads set out before image A is there, and read it where it
    // was mapped, top row first and with room after each row, as the OBS
    // module does.
    else if (threads == 7 && split.begin(nullptr, rows, width * 4, s, position, total, kernels)) {
        const int64_t line = width + 3;
        std::vector<uint32_t> mapped(std::size_t(line * rows));
        for (int64_t y = 0; y < rows; ++y)
            std::copy_n(a.begin() + y * width, width, mapped.begin() + (rows - 1 - y) * line);
        split.finish(mapped.data() + (rows - 1) * line, -line, r.fast.data());
    } else split.render(a.data(), r.fast.data(), rows, width * 4, s, position, total, kernels);
    referenceRenderDissipation(a.data(), r.plain.data(), rows, width * 4, s, position, total);
    return r;
}

Rendered renderBoth(const TransitionSettings& s, int32_t width, int32_t rows, int32_t position, int32_t total) {
    return renderBoth(chosenChunkKernels(), 1, s, width, rows, position, total);
}

TEST(FrameRandom, FirstOutputsFromTheSeed) {
    FrameRandom r;
    EXPECT_EQ(r.next(), 4068);
    EXPECT_EQ(r.next(), 213);
    EXPECT_EQ(r.next(), 12761);
    EXPECT_EQ(r.next(), 8758);
    FrameRandom again;
    const int32_t bytes[] = {228, 213, 217, 54};
    for (int32_t b : bytes) EXPECT_EQ(again.next() & 255, b);
    FrameRandom stepped;
    for (int i = 0; i < 4; ++i) stepped.next();
    const FrameRandomJump j = frameRandomJump(4);
    EXPECT_EQ(frameRandomSeed * j.multiplier + j.increment, stepped.state);
}

// The vector path, with every kernel set this machine runs, on one thread
// and split over two and seven, against the plain renderer.
class RenderDissipationKernels : public ::testing::TestWithParam<std::tuple<testing::KernelSet, int32_t>> {
protected:
    Rendered renderBoth(const TransitionSettings& s, int32_t width, int32_t rows, int32_t position, int32_t total) {
        return glimmer::renderBoth(*std::get<0>(GetParam()).kernels, std::get<1>(GetParam()), s, width, rows,
                                   position, total);
    }
};

INSTANTIATE_TEST_SUITE_P(EachKernelSet, RenderDissipationKernels,
                         ::testing::Combine(::testing::ValuesIn(testing::kernelSetsToTest()), ::testing::Values(1, 2, 7)),
                         [](const ::testing::TestParamInfo<std::tuple<testing::KernelSet, int32_t>>& param) {
                             return std::get<0>(param.param).name + "_threads" + std::to_string(std::get<1>(param.param));
                         });

TEST_P(RenderDissipationKernels, MatchesThePlainRendererOnRandomSettings) {
    std::mt19937 rng(20261208);
    // Wider frames walk rows in several chunks, and past 8191 columns the
    // diagonal ramps are divided rather than looked up.
    const int32_t sizes[][2] = {{1, 1}, {3, 1}, {1, 7}, {16, 9}, {37, 23}, {64, 48}, {517, 5}, {8200, 2}};
    for (int round = 0; round < 480; ++round) {
        const TransitionSettings s = randomSettings(rng, round % 4 != 3);
        const auto& size = sizes[round % 8];
        const int32_t total = std::uniform_int_distribution<int>(1, 40)(rng);
        const int32_t position = std::uniform_int_distribution<int>(0, total - 1)(rng);
        const Rendered r = renderBoth(s, size[0], size[1], position, total);
        ASSERT_EQ(r.fast, r.plain) << "round " << round << " position " << position << "/" << total;
    }
}

// The default 2 x 2 cells have a write loop of their own for chunks that lie
// whole inside the frame; odd sizes leave a last column or row of cut cells,
// and cells moved partly out of the frame are copied clipped in between.
TEST_P(RenderDissipationKernels, DefaultCellsMatchThePlainRendererInEveryOrder) {
    std::mt19937 rng(8122026);
    const int32_t sizes[][2] = {{64, 48}, {517, 5}, {37, 23}, {600, 9}, {2, 2}};
    for (int round = 0; round < 160; ++round) {
        TransitionSettings s = randomSettings(rng);
        s.cellFlags = 0;
        s.cellWidth = s.cellHeight = 2;
        s.orderFlags = round % 4;
        if (round % 3 == 0) s = [&] { TransitionSettings d = defaultSettings(); d.orderFlags = round % 4; return d; }();
        const auto& size = sizes[round % 5];
        const int32_t total = std::uniform_int_distribution<int>(2, 30)(rng);
        const int32_t position = std::uniform_int_distribution<int>(0, total - 1)(rng);
        const Rendered r = renderBoth(s, size[0], size[1], position, total);
        ASSERT_EQ(r.fast, r.plain) << "round " << round << " position " << position << "/" << total;
    }
}

TEST(RenderDissipation, PositionZeroShowsImageAInBothPasses) {
    for (int32_t cell : {1, 2, 5}) {
        TransitionSettings s = defaultSettings();
        s.cellWidth = s.cellHeight = cell;
        const auto a = patternFrame(40 * 30, 0xA);
        auto d = patternFrame(40 * 30, 0xB);
        renderDissipation(a.data(), d.data(), 30, 160, s, 0, 30);
        EXPECT_EQ(d, a) << cell;
    }
}

TEST(RenderDissipation, LaterFramesRevealImageBAndMoveImageA) {
    const TransitionSettings s = defaultSettings();
    const auto a = patternFrame(64 * 48, 0xA);
    auto d = patternFrame(64 * 48, 0xB);
    const auto b = d;
    renderDissipation(a.data(), d.data(), 48, 256, s, 12, 30);
    int fromA = 0, fromB = 0, moved = 0;
    for (size_t i = 0; i < d.size(); ++i) {
        fromA += (d[i] >> 24) == 0xA;
        fromB += d[i] == b[i];
        moved += (d[i] >> 24) == 0xA && d[i] != a[i];
    }
    EXPECT_GT(fromA, 0);
    EXPECT_GT(fromB, 0);
    EXPECT_GT(moved, 0);
}

TEST(RenderDissipation, BandsChooseCellSizes) {
    // Four vertical bands on 640 x 480: cells 160 wide, 480 high. Every
    // element not yet started copies its whole band, so at position 0 the
    // frame is image A and one frame later whole bands have moved.
    TransitionSettings s = defaultSettings();
    s.cellFlags = 1;
    s.cellWidth = 4;
    s.cellHeight = 1;
    s.delay = 0;
    const Rendered r = renderBoth(s, 640, 480, 5, 30);
    EXPECT_EQ(r.fast, r.plain);
    s.cellWidth = 7;
    s.cellHeight = 5;
    EXPECT_EQ(renderBoth(s, 640, 480, 5, 30).fast, renderBoth(s, 640, 480, 5, 30).plain);
    s.cellWidth = 0;  // taken as one band
    s.cellHeight = 0;
    EXPECT_EQ(renderBoth(s, 64, 48, 5, 30).fast, renderBoth(s, 64, 48, 5, 30).plain);
}

TEST(RenderDissipation, ImpossibleMotionOrNoElementsKeepImageB) {
    TransitionSettings s = defaultSettings();
    s.delay = 0;
    s.gravity = 10;
    const auto a = patternFrame(16 * 8, 0xA);
    const auto b = patternFrame(16 * 8, 0xB);
    auto d = b;
    renderDissipation(a.data(), d.data(), 8, 64, s, 0, 1);
    EXPECT_EQ(d, b);
    s = defaultSettings();
    s.cellWidth = -2;
    renderDissipation(a.data(), d.data(), 8, 64, s, 0, 30);
    EXPECT_EQ(d, b);
    s.cellWidth = 2;
    renderDissipation(a.data(), d.data(), 0, 64, s, 0, 30);
    renderDissipation(a.data(), d.data(), -5, 64, s, 0, 30);
    renderDissipation(a.data(), d.data(), 8, 3, s, 0, 30);
    EXPECT_EQ(d, b);
}

TEST(RenderDissipation, HugeCellsAndDisplacementsStayInsideTheFrame) {
    // Delay and variance at their ends over a short transition give time
    // scales in the millions and displacements beyond any int32.
    TransitionSettings s = defaultSettings();
    s.delay = 255;
    s.speedVariance = 255;
    const Rendered r = renderBoth(s, 64, 48, 9, 10);
    EXPECT_EQ(r.fast, r.plain);
    s.cellWidth = INT32_MAX;
    s.cellHeight = INT32_MAX;
    const Rendered big = renderBoth(s, 64, 48, 3, 10);
    EXPECT_EQ(big.fast, big.plain);
}

TEST(RenderDissipation, OrderChangesWhoGetsWhichNumbers) {
    TransitionSettings s = defaultSettings();
    s.cellWidth = s.cellHeight = 1;
    const Rendered plain = renderBoth(s, 32, 24, 10, 30);
    s.orderFlags = 3;
    const Rendered reversed = renderBoth(s, 32, 24, 10, 30);
    EXPECT_EQ(reversed.fast, reversed.plain);
    EXPECT_NE(plain.fast, reversed.fast);
}

}  // namespace
}  // namespace glimmer

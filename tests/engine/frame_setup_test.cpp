#include "frame_setup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "parallel_render.h"
#include "render_dissipation.h"
#include "test_frames.h"

namespace glimmer {
namespace {

using testing::patternFrame;

struct Frames {
    int32_t rows, rowBytes;
    std::vector<uint32_t> a, b, d;
    Frames(int32_t rows_, int32_t rowBytes_)
        : rows(rows_), rowBytes(rowBytes_),
          a(patternFrame(int64_t{rows_} * rowBytes_ / 4 + 1, 0xA)),
          b(patternFrame(int64_t{rows_} * rowBytes_ / 4 + 1, 0xB)),
          d(patternFrame(int64_t{rows_} * rowBytes_ / 4 + 1, 0xD)) {}
    FrameRequest request(int32_t position, int32_t total, bool interleaved) {
        return FrameRequest{a.data(), b.data(), d.data(), rows, rowBytes, position, total, interleaved};
    }
    // The second half of row r, as bytes, of a frame.
    std::vector<unsigned char> secondHalf(const std::vector<uint32_t>& f, int32_t r) const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(f.data()) + int64_t{r} * rowBytes;
        return {bytes + rowBytes / 2, bytes + rowBytes / 2 + rowBytes / 8 * 4};
    }
};

struct CountingScratch {
    int obtained = 0, released = 0;
    bool fail = false;
    ScratchMemory memory() {
        return {[](std::size_t n, void* c) -> void* {
                    auto* self = static_cast<CountingScratch*>(c);
                    if (self->fail) return nullptr;
                    ++self->obtained;
                    return ::operator new(n);
                },
                [](void* p, void* c) {
                    ++static_cast<CountingScratch*>(c)->released;
                    ::operator delete(p);
                },
                this};
    }
};

TEST(FrameSetup, NormalModeRendersOverImageB) {
    Frames f(24, 128);
    const TransitionSettings s = defaultSettings();
    std::vector<uint32_t> expected = f.b;
    renderDissipation(f.a.data(), expected.data(), 24, 128, s, 7, 20);
    runFrameSetup(f.request(7, 20, false), s);
    EXPECT_TRUE(std::equal(f.d.begin(), f.d.end() - 1, expected.begin()));
    EXPECT_NE(f.d.back(), f.b.back());  // nothing past the frame is touched
}

// The host's 14-bit row length is the plug-in's business: frame setup takes
// rows wider than 4095 pixels whole.
TEST(FrameSetup, RowsWiderThanFourteenBitsAreTakenWhole) {
    const int32_t width = 4100;
    Frames f(3, width * 4);
    const TransitionSettings s = defaultSettings();
    std::vector<uint32_t> expected = f.b;
    renderDissipation(f.a.data(), expected.data(), 3, width * 4, s, 4, 20);
    runFrameSetup(f.request(4, 20, false), s);
    EXPECT_TRUE(std::equal(f.d.begin(), f.d.end() - 1, expected.begin()));
    int fromImageA = 0;
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t x = 4096; x < width; ++x) fromImageA += f.d[static_cast<std::size_t>(r * width + x)] >> 24 == 0xA;
    EXPECT_GT(fromImageA, 0) << "the columns past 4095 were not rendered";
}

TEST(FrameSetup, InterleavedEvenPositionKeepsImageBInSecondHalves) {
    for (int32_t rowBytes : {128, 132, 4, 12}) {
        Frames f(9, rowBytes);
        CountingScratch scratch;
        runFrameSetup(f.request(6, 20, true), defaultSettings(), scratch.memory());
        for (int32_t r = 0; r < 9; ++r) ASSERT_EQ(f.secondHalf(f.d, r), f.secondHalf(f.b, r)) << rowBytes;
        EXPECT_EQ(scratch.obtained, 1);
        EXPECT_EQ(scratch.released, 1);
    }
}

// On one thread and split over two and seven, as the hosts other than the
// plug-in render.
TEST(FrameSetup, InterleavedOddPositionRendersOverTheDestination) {
    for (int32_t threads : {1, 2, 7}) {
        Frames f(9, 132);
        const std::vector<uint32_t> before = f.d;
        TransitionSettings s = defaultSettings();
        s.cellWidth = s.cellHeight = threads == 7 ? 1 : 2;
        std::vector<uint32_t> expected = before;
        renderDissipation(f.a.data(), expected.data(), 18, 66, s, 7, 20);
        ParallelRenderer renderer(threads);
        runFrameSetup(f.request(7, 20, true), s, renderer);
        for (int32_t r = 0; r < 9; ++r) {
            ASSERT_EQ(f.secondHalf(f.d, r), f.secondHalf(before, r));
            // First halves carry the renderer's even lines.
            ASSERT_EQ(0, std::memcmp(reinterpret_cast<unsigned char*>(f.d.data()) + r * 132,
                                     reinterpret_cast<unsigned char*>(expected.data()) + r * 132, 66))
                << threads << " threads";
        }
    }
}

TEST(FrameSetup, WithoutScratchMemoryNothingProtectedIsLost) {
    const TransitionSettings s = defaultSettings();
    CountingScratch failing;
    failing.fail = true;

    Frames odd(9, 128);
    const std::vector<uint32_t> before = odd.d;
    runFrameSetup(odd.request(5, 20, true), s, failing.memory());
    EXPECT_EQ(odd.d, before);

    Frames even(9, 132), reference(9, 132);
    runFrameSetup(even.request(6, 20, true), s, failing.memory());
    runFrameSetup(reference.request(6, 20, true), s);
    EXPECT_EQ(even.d, reference.d);
}

TEST(FrameSetup, EmptyFramesWriteNothing) {
    Frames f(4, 64);
    const std::vector<uint32_t> before = f.d;
    for (int32_t rows : {0, -3}) {
        FrameRequest q = f.request(3, 10, false);
        q.rows = rows;
        runFrameSetup(q, defaultSettings());
        q.interleaved = true;
        runFrameSetup(q, defaultSettings());
    }
    EXPECT_EQ(f.d, before);
}

}  // namespace
}  // namespace glimmer

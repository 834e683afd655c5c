// Every position of short and long transitions, for random records in and
// out of range, on odd frame sizes, in both passes and both interleaved
// parities. Run under the sanitizers by the test command: any out-of-bounds
// access, overflow or bad conversion ends the run. Every frame must be made
// of image A and image B pixels only.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame_setup.h"
#include "test_frames.h"

namespace glimmer {
namespace {

using testing::patternFrame;
using testing::randomSettings;

struct Geometry {
    int32_t rows, rowBytes;
};

// 1 x 1, 3 x 1, 1 x 7, 97 x 31, and row pitches that are not a multiple of 8.
constexpr Geometry geometries[] = {{1, 4}, {1, 12}, {7, 4}, {31, 388}, {5, 20}, {9, 36}, {3, 44}};

bool madeOfAAndB(const std::vector<uint32_t>& frame, int64_t words) {
    for (int64_t i = 0; i < words; ++i) {
        const uint32_t tag = frame[static_cast<size_t>(i)] >> 24;
        if (tag != 0xA && tag != 0xB) return false;
    }
    return true;
}

TEST(Soak, EveryPositionOfRandomRecordsOnOddFrames) {
    std::mt19937 rng(77);
    const int32_t totals[] = {1, 2, 10, 200};
    int frames = 0;
    for (int record = 0; record < 300; ++record) {
        TransitionSettings s = randomSettings(rng, record % 3 != 0);
        if (record % 2 == 0) s.cellWidth = s.cellHeight = 1;  // pixel pass
        const Geometry g = geometries[record % (sizeof geometries / sizeof geometries[0])];
        const int32_t total = totals[record % 4];
        const int64_t words = int64_t{g.rows} * g.rowBytes / 4;
        const auto a = patternFrame(words, 0xA);
        const auto b = patternFrame(words, 0xB);
        for (int32_t position = 0; position < total; ++position) {
            for (bool interleaved : {false, true}) {
                std::vector<uint32_t> d = b;  // what the host left there
                runFrameSetup(FrameRequest{a.data(), b.data(), d.data(), g.rows, g.rowBytes, position, total,
                                           interleaved},
                              s);
                ASSERT_TRUE(madeOfAAndB(d, words)) << "record " << record << " position " << position;
                ++frames;
            }
        }
    }
    EXPECT_GT(frames, 10000);
}

TEST(Soak, PositionsOutsideTheTransition) {
    std::mt19937 rng(78);
    const int32_t odd[] = {0, -1, -200, INT32_MIN, INT32_MAX};
    for (int record = 0; record < 40; ++record) {
        const TransitionSettings s = randomSettings(rng, record % 2 == 0);
        const auto a = patternFrame(31 * 97, 0xA);
        const auto b = patternFrame(31 * 97, 0xB);
        for (int32_t total : odd)
            for (int32_t position : odd) {
                std::vector<uint32_t> d = b;
                runFrameSetup(FrameRequest{a.data(), b.data(), d.data(), 31, 388, position, total, false}, s);
                ASSERT_TRUE(madeOfAAndB(d, 31 * 97));
            }
    }
}

}  // namespace
}  // namespace glimmer

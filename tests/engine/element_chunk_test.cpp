// The vector path's numbers, element by element, against the formulas of
// frame_motion.h and the placement rules of the plain renderer. Map values
// are arbitrary doubles here, fractions and out-of-range ones included, so
// every clamp and truncation of the speed index gets exercised.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "chunk_kernels.h"
#include "frame_random.h"
#include "kernel_sets.h"
#include "test_frames.h"

namespace glimmer {
namespace {

struct Expected {
    bool waiting, moving;
    double tau, dx, dy;
};

Expected expectedElement(const FrameMotion& f, FrameRandom& random, double mD, double mY, double mX) {
    const int32_t r1 = random.next() & 255, r2 = random.next() & 255;
    const int32_t r3 = (random.next() & 255) - 128, r4 = (random.next() & 255) - 128;
    const double delay = elementDelay(f, r1, mD), life = elementLife(f, r2);
    const double age = f.clock - delay, tau = age * f.timeScale;
    const bool waiting = !(f.clock > delay);
    return {waiting, !waiting && !(life < age), tau,
            displacement(f.speedAt(speedIndex(f, r4, mX, f.xIndexBase)), tau, f.xShare, f.windAccel),
            displacement(f.speedAt(speedIndex(f, r3, mY, f.yIndexBase)), tau, f.yShare, f.gravityAccel)};
}

// Where the plain renderer puts a whole cell: its top-left word, -1 when
// nothing of it lands, -2 when only part of it does.
int64_t expectedCellTarget(const Expected& e, int32_t x, int32_t y0, int32_t cw, int32_t ch, int32_t width,
                           int32_t rows) {
    if (!(e.dx > -width && e.dx < width && e.dy > -rows && e.dy < rows)) return -1;
    const int64_t tx = x - static_cast<int32_t>(e.dx), ty = y0 - static_cast<int32_t>(e.dy);
    if (tx >= width || tx <= -cw || ty >= rows || ty <= -ch) return -1;
    if (tx < 0 || tx > width - cw || ty < 0 || ty > rows - ch) return -2;
    return ty * width + tx;
}

class ElementChunkKernels : public ::testing::TestWithParam<testing::KernelSet> {};

INSTANTIATE_TEST_SUITE_P(EachKernelSet, ElementChunkKernels, ::testing::ValuesIn(testing::kernelSetsToTest()),
                         testing::kernelSetName);

TEST_P(ElementChunkKernels, NumbersAndTargetsMatchTheElementFormulas) {
    const ChunkKernels& k = *GetParam().kernels;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> anyValue(-300.0, 600.0);
    const int32_t width = 800, rows = 40;  // room for 256 cells of 3
    for (int round = 0; round < 200; ++round) {
        const TransitionSettings s = testing::randomSettings(rng, round % 3 != 2);
        const int32_t total = std::uniform_int_distribution<int>(1, 60)(rng);
        FrameMotion f;
        if (!prepareFrameMotion(s, std::uniform_int_distribution<int>(0, total)(rng), total, width, rows, f)) continue;
        const int32_t count = std::uniform_int_distribution<int>(1, chunkColumns)(rng);
        const int32_t cell = 1 + round % 3, step = round % 2 == 0 ? cell : -cell;
        const int32_t x = step > 0 ? 0 : (count - 1) * cell, y0 = round % rows / cell * cell;
        double mD[chunkColumns], mY[chunkColumns], mX[chunkColumns];
        for (int32_t i = 0; i < chunkColumns; ++i) {
            // Whole numbers half of the time, as byte maps give.
            mD[i] = anyValue(rng);
            mY[i] = i % 2 == 0 ? std::floor(anyValue(rng)) : anyValue(rng);
            mX[i] = anyValue(rng);
        }
        const uint32_t state = static_cast<uint32_t>(rng());
        ElementChunk c;
        bool anyMoving = false;
        const uint32_t end = k.ageElements(f, mD, state, count, c, anyMoving);
        const ChunkPlace p{y0, x, step, count};
        ElementChunk pixels = c;
        k.placePixels(f, mY, mX, p, width, rows, pixels);
        k.placeCells(f, mY, mX, p, cell, cell, width, rows, c);

        FrameRandom random{state};
        bool sawMoving = false;
        for (int32_t i = 0; i < count; ++i) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " element " << i);
            const Expected e = expectedElement(f, random, mD[i], mY[i], mX[i]);
            const int32_t column = x + i * step;
            ASSERT_EQ(c.waiting[i] != 0, e.waiting);
            ASSERT_EQ(c.moving[i] != 0, e.moving);
            sawMoving |= e.moving;
            if (e.waiting) {
                ASSERT_EQ(pixels.target[i], int64_t{y0} * width + column);
                const bool whole = column <= width - cell && y0 <= rows - cell;
                ASSERT_EQ(c.target[i], whole ? int64_t{y0} * width + column : -1);
                ASSERT_EQ(c.clipped[i] != 0, !whole);
                continue;
            }
            if (!e.moving) {
                ASSERT_EQ(pixels.target[i], -1);
                ASSERT_EQ(c.target[i], -1);
                ASSERT_EQ(c.clipped[i], 0);
                continue;
            }
            ASSERT_EQ(c.tau[i], e.tau);
            const double ty = y0 - e.dy, tx = column - e.dx;
            const bool lands = ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width;
            ASSERT_EQ(pixels.target[i], lands ? static_cast<int32_t>(ty) * width + static_cast<int32_t>(tx) : -1);
            const int64_t cellTarget = expectedCellTarget(e, column, y0, cell, cell, width, rows);
            if (cellTarget == -2 || column > width - cell || y0 > rows - cell) {
                // Left to placeCell, which gets the same displacements.
                if (c.clipped[i] != 0) {
                    ASSERT_EQ(c.dx[i], e.dx);
                    ASSERT_EQ(c.dy[i], e.dy);
                } else {
                    ASSERT_EQ(cellTarget, -1);
                }
            } else {
                ASSERT_EQ(c.clipped[i], 0);
                ASSERT_EQ(c.target[i], cellTarget);
            }
        }
        EXPECT_EQ(anyMoving, sawMoving);
        EXPECT_EQ(end, random.state);
    }
}

}  // namespace
}  // namespace glimmer

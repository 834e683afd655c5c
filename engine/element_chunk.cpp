#include "element_chunk.h"

#include "frame_random.h"
#include "simd_lanes.h"

namespace glimmer {
namespace {

using lanes::F64;
using lanes::I32;
using lanes::Mask64;
using lanes::U32;
using lanes::load;
using lanes::select;
using lanes::splat;
using lanes::store;

constexpr FrameRandomJump jump1 = frameRandomJump(1);
constexpr FrameRandomJump jump2 = frameRandomJump(2);
constexpr FrameRandomJump jump3 = frameRandomJump(3);
constexpr FrameRandomJump jump4 = frameRandomJump(4);
// Four elements side by side draw four numbers each: lane k starts 4k draws
// after lane 0, and all lanes move on by sixteen draws.
constexpr FrameRandomJump laneStart[lanes::count] = {frameRandomJump(0), frameRandomJump(4),
                                                     frameRandomJump(8), frameRandomJump(12)};
constexpr FrameRandomJump laneStep = frameRandomJump(16);

GLIMMER_LANE_INLINE I32 drawBytes(U32 state, FrameRandomJump j) {
    return (I32)(((state * j.multiplier + j.increment) >> 16) & 255u);
}

// Columns x, x + step, ... of four elements, in wrapping arithmetic: lanes
// past the chunk's end may lie far outside the frame.
GLIMMER_LANE_INLINE I32 laneColumns(int32_t x, int32_t step, int32_t i) {
    const U32 offsets = U32{0u, 1u, 2u, 3u} + static_cast<uint32_t>(i);
    return (I32)(splat(static_cast<uint32_t>(x)) + offsets * static_cast<uint32_t>(step));
}

// speedIndexOfMix, lane by lane.
GLIMMER_LANE_INLINE I32 speedIndexes(F64 mix) {
    F64 c = select(mix > splat(-1.0), mix, splat(0.0));  // NaN too
    c = select(c < splat(512.0), c, splat(511.0));
    return lanes::truncate(c) - splat(256);
}

GLIMMER_LANE_INLINE F64 gather(const double* table, I32 index) {
    return F64{table[index[0]], table[index[1]], table[index[2]], table[index[3]]};
}

struct Displacements {
    F64 dx, dy;
};

// speedIndex and displacement of frame_motion.h for both axes.
GLIMMER_LANE_INLINE Displacements displace(const FrameMotion& f, const ElementChunk& c, const double* yValues,
                                           const double* xValues, int32_t i) {
    const double* speeds = f.speedTable + 256;
    const F64 tau = load<F64>(c.tau + i);
    const F64 sw = splat(f.speedNoiseWeight), mw = splat(f.speedMapWeight), centre = splat(128.0);
    const F64 mixY = lanes::toDouble(load<I32>(c.r3 + i)) * sw + (load<F64>(yValues + i) - centre) * mw +
                     splat(f.yIndexBase);
    const F64 mixX = lanes::toDouble(load<I32>(c.r4 + i)) * sw + (load<F64>(xValues + i) - centre) * mw +
                     splat(f.xIndexBase);
    const F64 vy = gather(speeds, speedIndexes(mixY));
    const F64 vx = gather(speeds, speedIndexes(mixX));
    return {vx * tau * splat(f.xShare) + splat(f.windAccel) * (tau * tau),
            vy * tau * splat(f.yShare) + splat(f.gravityAccel) * (tau * tau)};
}

}  // namespace

GLIMMER_WIDE_KERNEL
uint32_t ageElements(const FrameMotion& f, const double* delayValues, uint32_t state, int32_t count,
                     ElementChunk& c, bool& anyMoving) {
    U32 s;
    for (int32_t k = 0; k < lanes::count; ++k) s[k] = state * laneStart[k].multiplier + laneStart[k].increment;
    const F64 noiseWeight = splat(f.delayNoiseWeight), mapWeight = splat(f.delayMapWeight);
    const F64 scale = splat(f.delayScale), clock = splat(f.clock), timeScale = splat(f.timeScale);
    const F64 lifeRange = splat(f.lifeRange), lifeBase = splat(f.lifeBase), by255 = splat(factor1by255);
    I32 moving = splat(0);
    uint32_t end = state;
    for (int32_t i = 0; i < count; i += lanes::count) {
        const F64 r1 = lanes::toDouble(drawBytes(s, jump1));
        const F64 r2 = lanes::toDouble(drawBytes(s, jump2));
        store(c.r3 + i, drawBytes(s, jump3) - splat(128));
        store(c.r4 + i, drawBytes(s, jump4) - splat(128));
        const F64 delay = (r1 * noiseWeight + load<F64>(delayValues + i) * mapWeight) * scale;
        const F64 life = r2 * lifeRange * by255 + lifeBase;
        const F64 age = clock - delay;
        store(c.tau + i, age * timeScale);
        const Mask64 started = clock > delay;
        const I32 waiting = lanes::narrow(~started);
        const I32 alive = lanes::narrow(started & ~(life < age));
        store(c.waiting + i, waiting);
        store(c.moving + i, alive);
        if (count - i < lanes::count) {
            end = s[count - i];
            const I32 inChunk = I32{0, 1, 2, 3} < splat(count - i);
            moving |= alive & inChunk;
        } else {
            moving |= alive;
        }
        s = s * laneStep.multiplier + laneStep.increment;
    }
    if (count % lanes::count == 0) end = s[0];
    anyMoving = lanes::any(moving);
    return end;
}

GLIMMER_WIDE_KERNEL
void placePixels(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                 int32_t width, int32_t rows, ElementChunk& c) {
    const F64 y0 = splat(static_cast<double>(p.y0)), widthD = splat(static_cast<double>(width));
    const F64 rowsD = splat(static_cast<double>(rows)), one = splat(1.0);
    const I32 rowStart = splat(p.y0 * width);
    for (int32_t i = 0; i < p.count; i += lanes::count) {
        const I32 x = laneColumns(p.x, p.step, i);
        I32 target = select(load<I32>(c.waiting + i), rowStart + x, splat(-1));
        const I32 moving = load<I32>(c.moving + i);
        if (yValues != nullptr && lanes::any(moving)) {
            const Displacements m = displace(f, c, yValues, xValues, i);
            // Strict lower bounds: row 0 and column 0 never receive a moved
            // pixel. Tested in double; only lanes that pass are converted.
            const F64 ty = y0 - m.dy, tx = lanes::toDouble(x) - m.dx;
            const Mask64 lands = (ty >= one) & (ty < rowsD) & (tx >= one) & (tx < widthD) & lanes::widen(moving);
            const F64 to = lanes::toDouble(lanes::truncate(select(lands, ty, one))) * widthD +
                           lanes::toDouble(lanes::truncate(select(lands, tx, one)));
            target = select(lanes::narrow(lands), lanes::truncate(to), target);
        }
        store(c.target + i, target);
    }
}

GLIMMER_WIDE_KERNEL
void placeCells(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                int32_t cellWidth, int32_t cellHeight, int32_t width, int32_t rows, ElementChunk& c) {
    const F64 widthD = splat(static_cast<double>(width)), rowsD = splat(static_cast<double>(rows));
    const I32 lastX = splat(width - cellWidth), lastY = splat(rows - cellHeight);
    const I32 y0 = splat(p.y0), none = splat(-1);
    const I32 rowWhole = splat(p.y0 <= rows - cellHeight ? -1 : 0);
    for (int32_t i = 0; i < p.count; i += lanes::count) {
        const I32 x = laneColumns(p.x, p.step, i);
        const I32 whole = rowWhole & (x <= lastX);
        const I32 waiting = load<I32>(c.waiting + i);
        I32 target = select(waiting & whole, (I32)((U32)y0 * static_cast<uint32_t>(width) + (U32)x), none);
        I32 clipped = waiting & ~whole;
        const I32 moving = load<I32>(c.moving + i);
        if (yValues != nullptr && lanes::any(moving)) {
            const Displacements m = displace(f, c, yValues, xValues, i);
            store(c.dx + i, m.dx);
            store(c.dy + i, m.dy);
            // placeCell's first test, then the truncated move of lanes that
            // pass it.
            const Mask64 near = (m.dx > -widthD) & (m.dx < widthD) & (m.dy > -rowsD) & (m.dy < rowsD);
            const I32 inRange = lanes::narrow(near) & moving;
            const F64 zero = splat(0.0);
            const I32 tx = (I32)((U32)x - (U32)lanes::truncate(select(near, m.dx, zero)));
            const I32 ty = (I32)((U32)y0 - (U32)lanes::truncate(select(near, m.dy, zero)));
            const I32 inside = (tx >= splat(0)) & (tx <= lastX) & (ty >= splat(0)) & (ty <= lastY);
            const I32 gone = (tx >= splat(width)) | (tx <= splat(-cellWidth)) | (ty >= splat(rows)) |
                             (ty <= splat(-cellHeight));
            const I32 moves = inRange & whole & inside;
            target = select(moves, (I32)((U32)ty * static_cast<uint32_t>(width) + (U32)tx), target);
            clipped |= inRange & ~moves & ~(whole & gone);
        }
        store(c.target + i, target);
        store(c.clipped + i, clipped);
    }
}

void writePixels(const FramePixels& fr, const ChunkPlace& p, const ElementChunk& c) {
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    uint32_t sink;
    int64_t from = int64_t{p.y0} * fr.width + p.x;
    for (int32_t i = 0; i < p.count; ++i, from += p.step) {
        const int32_t t = c.target[i];
        // No branch on where the element goes: that is different for
        // almost every element and would be mispredicted half the time.
        uint32_t* to = t >= 0 ? d + t : &sink;
        *to = a[from];
    }
}

void writeCells(const FramePixels& fr, const ChunkPlace& p, int32_t cellWidth, int32_t cellHeight,
                const ElementChunk& c) {
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int64_t width = fr.width;
    uint32_t sink[4] = {};
    int64_t x = p.x;
    for (int32_t i = 0; i < p.count; ++i, x += p.step) {
        if (c.clipped[i] != 0) {
            if (c.waiting[i] != 0) copyCellInPlace(fr, static_cast<int32_t>(x), p.y0, cellWidth, cellHeight);
            else placeCell(fr, static_cast<int32_t>(x), p.y0, cellWidth, cellHeight, c.dx[i], c.dy[i]);
            continue;
        }
        const int32_t t = c.target[i];
        const int64_t from = p.y0 * width + x;
        if (cellWidth == 2 && cellHeight == 2) {
            // Whole cells without a branch on whether they land.
            const bool lands = t >= 0;
            const uint32_t* f0 = lands ? a + from : sink;
            const uint32_t* f1 = lands ? f0 + width : sink + 2;
            uint32_t* t0 = lands ? d + t : sink;
            uint32_t* t1 = lands ? t0 + width : sink + 2;
            t0[0] = f0[0];
            t0[1] = f0[1];
            t1[0] = f1[0];
            t1[1] = f1[1];
        } else if (t >= 0) {
            for (int32_t j = 0; j < cellHeight; ++j) copyWords(d + t + j * width, a + from + j * width, cellWidth);
        }
    }
}

}  // namespace glimmer

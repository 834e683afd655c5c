#include "element_chunk.h"

#include <cstring>

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

// Four elements side by side draw four numbers each: lane k starts 4k draws
// after lane 0, and all lanes move on by sixteen draws.
constexpr FrameRandomJump laneStart[lanes::count] = {frameRandomJump(0), frameRandomJump(4),
                                                     frameRandomJump(8), frameRandomJump(12)};
constexpr FrameRandomJump laneStep = frameRandomJump(16);

GLIMMER_LANE_INLINE I32 drawBytes(U32 state, FrameRandomJump j) {
    return (I32)(((state * j.multiplier + j.increment) >> 16) & 255u);
}

// Columns x, x + step, ... of four elements, as doubles (exact).
GLIMMER_LANE_INLINE F64 laneColumns(int32_t x, int32_t step) {
    const double x0 = x, s = step;
    return F64{x0, x0 + s, x0 + 2 * s, x0 + 3 * s};
}

// The whole part of v, for 0 <= v < 2^51, without leaving the double
// lanes: adding and taking away 2^52 rounds to the nearest whole number
// (the frame's arithmetic runs in round-to-nearest throughout).
GLIMMER_LANE_INLINE F64 wholePart(F64 v) {
    const F64 big = splat(4503599627370496.0);
    const F64 nearest = (v + big) - big;
    return nearest - select(nearest > v, splat(1.0), splat(0.0));
}

// Truncation toward zero, for |v| < 2^51.
GLIMMER_LANE_INLINE F64 truncated(F64 v) {
    const F64 sign = splat(-0.0);
    const Mask64 signBit = (Mask64)v & (Mask64)sign;
    return (F64)((Mask64)wholePart((F64)((Mask64)v & ~(Mask64)sign)) | signBit);
}

// The frame's motion numbers, one per lane, held in registers for a chunk.
struct MotionLanes {
    F64 noiseWeight, mapWeight, yBase, xBase, yShare, xShare, gravity, wind, variance, speedBase;

    explicit MotionLanes(const FrameMotion& f)
        : noiseWeight(splat(f.speedNoiseWeight)), mapWeight(splat(f.speedMapWeight)), yBase(splat(f.yIndexBase)),
          xBase(splat(f.xIndexBase)), yShare(splat(f.yShare)), xShare(splat(f.xShare)),
          gravity(splat(f.gravityAccel)), wind(splat(f.windAccel)), variance(splat(f.speedVariance)),
          speedBase(splat(f.speedBase)) {}
};

// The speed-table entry at speedIndexOfMix(mix), computed the way
// prepareFrameMotion computes the table: entry 256 + j holds
// (j + 1) * variance / 255 + base, entry 255 - j its negation.
GLIMMER_LANE_INLINE F64 speedOfMix(const MotionLanes& m, F64 mix) {
    // Mixes above -1 and below 0 truncate to 0 as well; wholePart needs
    // no negative lanes. NaN goes to 0 too.
    F64 c = select(mix > splat(0.0), mix, splat(0.0));
    c = select(c < splat(512.0), c, splat(511.0));
    const F64 entry = wholePart(c);
    const Mask64 ahead = entry >= splat(256.0);
    const F64 steps = select(ahead, entry - splat(255.0), splat(256.0) - entry);
    const F64 v = steps * m.variance * splat(factor1by255) + m.speedBase;
    return select(ahead, v, -v);
}

struct Displacements {
    F64 dx, dy;
};

// speedIndex and displacement of frame_motion.h for both axes.
GLIMMER_LANE_INLINE Displacements displace(const MotionLanes& m, const ElementChunk& c, const double* yValues,
                                           const double* xValues, int32_t i) {
    const F64 tau = load<F64>(c.tau + i), centre = splat(128.0);
    const F64 mixY = load<F64>(c.r3 + i) * m.noiseWeight + (load<F64>(yValues + i) - centre) * m.mapWeight + m.yBase;
    const F64 mixX = load<F64>(c.r4 + i) * m.noiseWeight + (load<F64>(xValues + i) - centre) * m.mapWeight + m.xBase;
    const F64 tau2 = tau * tau;
    return {speedOfMix(m, mixX) * tau * m.xShare + m.wind * tau2,
            speedOfMix(m, mixY) * tau * m.yShare + m.gravity * tau2};
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
    Mask64 moving = {};
    uint32_t end = state;
    for (int32_t i = 0; i < count; i += lanes::count) {
        const F64 r1 = lanes::toDouble(drawBytes(s, elementDraw1));
        const F64 r2 = lanes::toDouble(drawBytes(s, elementDraw2));
        store(c.r3 + i, lanes::toDouble(drawBytes(s, elementDraw3) - splat(128)));
        store(c.r4 + i, lanes::toDouble(drawBytes(s, elementDraw4) - splat(128)));
        const F64 delay = (r1 * noiseWeight + load<F64>(delayValues + i) * mapWeight) * scale;
        const F64 life = r2 * lifeRange * by255 + lifeBase;
        const F64 age = clock - delay;
        store(c.tau + i, age * timeScale);
        const Mask64 started = clock > delay;
        const Mask64 alive = started & ~(life < age);
        store(c.waiting + i, ~started);
        store(c.moving + i, alive);
        if (count - i < lanes::count) {
            end = s[count - i];
            moving |= alive & lanes::firstLanes(count - i);
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
    const MotionLanes m(f);
    const F64 y0 = splat(static_cast<double>(p.y0)), widthD = splat(static_cast<double>(width));
    const F64 rowsD = splat(static_cast<double>(rows)), one = splat(1.0), none = splat(-1.0);
    const F64 rowStart = splat(static_cast<double>(p.y0) * width), advance = splat(4.0 * p.step);
    F64 x = laneColumns(p.x, p.step);
    for (int32_t i = 0; i < p.count; i += lanes::count, x += advance) {
        F64 target = select(load<Mask64>(c.waiting + i), rowStart + x, none);
        const Mask64 moving = load<Mask64>(c.moving + i);
        if (yValues != nullptr && lanes::any(moving)) {
            const Displacements d = displace(m, c, yValues, xValues, i);
            // Strict lower bounds: row 0 and column 0 never receive a moved
            // pixel. Tested in double; only lanes that pass are converted.
            const F64 ty = y0 - d.dy, tx = x - d.dx;
            const Mask64 lands = (ty >= one) & (ty < rowsD) & (tx >= one) & (tx < widthD) & moving;
            const F64 to = wholePart(select(lands, ty, one)) * widthD + wholePart(select(lands, tx, one));
            target = select(lands, to, target);
        }
        // Lanes past the chunk's end may lie outside int32.
        if (p.count - i < lanes::count) target = select(lanes::firstLanes(p.count - i), target, none);
        store(c.target + i, lanes::truncate(target));
    }
}

GLIMMER_WIDE_KERNEL
void placeCells(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                int32_t cellWidth, int32_t cellHeight, int32_t width, int32_t rows, ElementChunk& c) {
    const MotionLanes m(f);
    const F64 widthD = splat(static_cast<double>(width)), rowsD = splat(static_cast<double>(rows));
    const F64 lastX = splat(static_cast<double>(width) - cellWidth);
    const F64 lastY = splat(static_cast<double>(rows) - cellHeight);
    const F64 y0 = splat(static_cast<double>(p.y0)), zero = splat(0.0), none = splat(-1.0);
    const F64 pastLeft = splat(-static_cast<double>(cellWidth)), pastBottom = splat(-static_cast<double>(cellHeight));
    const F64 advance = splat(4.0 * p.step);
    const Mask64 rowWhole = y0 <= lastY;
    F64 x = laneColumns(p.x, p.step);
    for (int32_t i = 0; i < p.count; i += lanes::count, x += advance) {
        const Mask64 whole = (x <= lastX) & rowWhole;
        const Mask64 waiting = load<Mask64>(c.waiting + i);
        F64 target = select(waiting & whole, y0 * widthD + x, none);
        Mask64 clipped = waiting & ~whole;
        const Mask64 moving = load<Mask64>(c.moving + i);
        if (yValues != nullptr && lanes::any(moving)) {
            const Displacements d = displace(m, c, yValues, xValues, i);
            store(c.dx + i, d.dx);
            store(c.dy + i, d.dy);
            // placeCell's first test, then the truncated move of the lanes
            // that pass it.
            const Mask64 near = (d.dx > -widthD) & (d.dx < widthD) & (d.dy > -rowsD) & (d.dy < rowsD) & moving;
            const F64 tx = x - truncated(select(near, d.dx, zero));
            const F64 ty = y0 - truncated(select(near, d.dy, zero));
            const Mask64 inside = (tx >= zero) & (tx <= lastX) & (ty >= zero) & (ty <= lastY);
            const Mask64 gone = (tx >= widthD) | (tx <= pastLeft) | (ty >= rowsD) | (ty <= pastBottom);
            const Mask64 moves = near & whole & inside;
            target = select(moves, ty * widthD + tx, target);
            clipped |= near & ~moves & ~(whole & gone);
        }
        if (p.count - i < lanes::count) {
            const Mask64 real = lanes::firstLanes(p.count - i);
            target = select(real, target, none);
            clipped &= real;
        }
        store(c.target + i, lanes::truncate(target));
        store(c.clipped + i, clipped);
    }
}

// Targets are scattered over the frame: asking for the lines some elements
// ahead keeps several misses in flight instead of one at a time.
constexpr int32_t prefetchDistance = 32;

void writePixels(const FramePixels& fr, const ChunkPlace& p, const ElementChunk& c) {
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    uint32_t sink;
    int64_t from = int64_t{p.y0} * fr.width + p.x;
    for (int32_t i = 0; i < p.count; ++i, from += p.step) {
        if (i + prefetchDistance < p.count && c.target[i + prefetchDistance] >= 0)
            __builtin_prefetch(d + c.target[i + prefetchDistance], 1);
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
        if (i + prefetchDistance < p.count && c.target[i + prefetchDistance] >= 0) {
            uint32_t* ahead = d + c.target[i + prefetchDistance];
            __builtin_prefetch(ahead, 1);
            __builtin_prefetch(ahead + (cellHeight - 1) * width, 1);
        }
        if (cellWidth == 2 && cellHeight == 2) {
            // Whole cells without a branch on whether they land.
            const bool lands = t >= 0;
            const uint32_t* f0 = lands ? a + from : sink;
            const uint32_t* f1 = lands ? f0 + width : sink + 2;
            uint32_t* t0 = lands ? d + t : sink;
            uint32_t* t1 = lands ? t0 + width : sink + 2;
            // Two words a row, in one move each.
            uint64_t row0, row1;
            std::memcpy(&row0, f0, sizeof row0);
            std::memcpy(&row1, f1, sizeof row1);
            std::memcpy(t0, &row0, sizeof row0);
            std::memcpy(t1, &row1, sizeof row1);
        } else if (t >= 0) {
            for (int32_t j = 0; j < cellHeight; ++j) copyWords(d + t + j * width, a + from + j * width, cellWidth);
        }
    }
}

}  // namespace glimmer

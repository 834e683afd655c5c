// The vector kernels of the element chunks: draws and ages, then the
// displacements and targets of the pixel and the cell pass.
//
// This file is compiled once for each instruction set the engine carries,
// each time into a namespace of its own (GLIMMER_KERNEL_SET), and the
// renderer picks one set a frame (chunk_kernels.h). For that to be safe it
// must not use an inline function of another header that the compiler might
// emit out of line: the linker keeps one copy of such a function for the
// whole program, and it could be the AVX2 one. The lane helpers are always
// inlined; the headers below give only types and constants.
#include "chunk_kernels.h"

#include "frame_random.h"
#include "simd_lanes.h"

#ifndef GLIMMER_KERNEL_SET
#error "GLIMMER_KERNEL_SET names the namespace of this build of the kernels"
#endif

namespace glimmer::GLIMMER_KERNEL_SET {
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
    // Mixes above -1 and below 0 truncate to 0 as well. NaN goes to 0 too.
    F64 c = select(mix > splat(0.0), mix, splat(0.0));
    c = select(c < splat(512.0), c, splat(511.0));
    // c lies within 0 .. 511, so the conversions are exact.
    const F64 entry = lanes::toDouble(lanes::truncate(c));
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

// The displacements of every group of four with an element that moves.
// The placement steps compute them first and the targets after: two short
// loops, whose iterations the processor overlaps better than those of one
// long loop, each with the constants it needs in registers.
GLIMMER_LANE_INLINE void storeDisplacements(const MotionLanes& m, const double* yValues, const double* xValues,
                                            int32_t count, ElementChunk& c) {
    if (yValues == nullptr) return;
    for (int32_t i = 0; i < count; i += lanes::count) {
        if (!lanes::anyStored(c.moving + i)) continue;
        const Displacements d = displace(m, c, yValues, xValues, i);
        store(c.dx + i, d.dx);
        store(c.dy + i, d.dy);
    }
}

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
        store(c.waiting + i, lanes::narrow(~started));
        store(c.moving + i, lanes::narrow(alive));
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

// Targets are word indices below width * rows < 2^31; the products are
// taken in unsigned lanes, which wrap, so lanes whose result is thrown away
// compute nothing undefined.
GLIMMER_LANE_INLINE I32 wordIndex(I32 y, int32_t width, I32 x) {
    return (I32)((U32)y * static_cast<uint32_t>(width) + (U32)x);
}

void placePixels(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                 int32_t width, int32_t rows, ElementChunk& c) {
    const MotionLanes m(f);
    const F64 y0 = splat(static_cast<double>(p.y0)), widthD = splat(static_cast<double>(width));
    const F64 rowsD = splat(static_cast<double>(rows)), one = splat(1.0);
    const I32 y0Lanes = splat(p.y0), none = splat(-1);
    const U32 advance = splat(4 * static_cast<uint32_t>(p.step));
    const int32_t count = p.count;  // c's stores might otherwise alias p
    storeDisplacements(m, yValues, xValues, count, c);
    U32 columns = lanes::laneSteps(p.x, p.step);
    for (int32_t i = 0; i < count; i += lanes::count, columns += advance) {
        const I32 x = (I32)columns;
        I32 target = select(load<I32>(c.waiting + i), wordIndex(y0Lanes, width, x), none);
        if (yValues != nullptr && lanes::anyStored(c.moving + i)) {
            const Displacements d{load<F64>(c.dx + i), load<F64>(c.dy + i)};
            // Strict lower bounds: row 0 and column 0 never receive a moved
            // pixel. Tested in double; only lanes that pass are converted.
            const F64 ty = y0 - d.dy, tx = lanes::toDouble(x) - d.dx;
            const Mask64 lands = (ty >= one) & (ty < rowsD) & (tx >= one) & (tx < widthD) &
                                 lanes::widen(load<I32>(c.moving + i));
            const I32 to = wordIndex(lanes::truncate(select(lands, ty, one)), width,
                                     lanes::truncate(select(lands, tx, one)));
            target = select(lanes::narrow(lands), to, target);
        }
        if (count - i < lanes::count) target = select(lanes::firstLanes32(count - i), target, none);
        store(c.target + i, target);
    }
}

void placeCells(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                int32_t cellWidth, int32_t cellHeight, int32_t width, int32_t rows, ElementChunk& c) {
    const MotionLanes m(f);
    const F64 widthD = splat(static_cast<double>(width)), rowsD = splat(static_cast<double>(rows));
    // Frames of at most 2^30 a side keep every column and row reached here,
    // moved or not, within int32 (fitsElementChunks).
    const I32 lastX = splat(width - cellWidth), lastY = splat(rows - cellHeight);
    // t >= width and t <= -cellWidth as the one comparison SSE has.
    const I32 lastColumn = splat(width - 1), lastRow = splat(rows - 1);
    const I32 leftLimit = splat(1 - cellWidth), bottomLimit = splat(1 - cellHeight);
    const I32 y0 = splat(p.y0), none = splat(-1);
    const I32 rowWhole = splat(p.y0 <= rows - cellHeight ? -1 : 0);
    const U32 advance = splat(4 * static_cast<uint32_t>(p.step));
    const int32_t count = p.count;  // c's stores might otherwise alias p
    storeDisplacements(m, yValues, xValues, count, c);
    U32 columns = lanes::laneSteps(p.x, p.step);
    for (int32_t i = 0; i < count; i += lanes::count, columns += advance) {
        const I32 x = (I32)columns;
        const I32 whole = (x <= lastX) & rowWhole;
        const I32 waiting = load<I32>(c.waiting + i);
        I32 target = select(waiting & whole, wordIndex(y0, width, x), none);
        I32 clipped = waiting & ~whole;
        if (yValues != nullptr && lanes::anyStored(c.moving + i)) {
            const Displacements d{load<F64>(c.dx + i), load<F64>(c.dy + i)};
            // placeCell's first test, in double, then the truncated move of
            // the lanes that pass it.
            const Mask64 near = (lanes::magnitude(d.dx) < widthD) & (lanes::magnitude(d.dy) < rowsD);
            const I32 tx = (I32)(columns - (U32)lanes::truncate(lanes::keep(near, d.dx)));
            const I32 ty = (I32)((U32)y0 - (U32)lanes::truncate(lanes::keep(near, d.dy)));
            // 0 <= t <= last, with last >= 0 wherever the cell is whole.
            const I32 inside = ((U32)tx <= (U32)lastX) & ((U32)ty <= (U32)lastY);
            const I32 gone = (tx > lastColumn) | (leftLimit > tx) | (ty > lastRow) | (bottomLimit > ty);
            const I32 nearLanes = lanes::narrow(near) & load<I32>(c.moving + i);
            const I32 moves = nearLanes & whole & inside;
            target = select(moves, wordIndex(ty, width, tx), target);
            clipped |= nearLanes & ~moves & ~(whole & gone);
        }
        if (count - i < lanes::count) {
            const I32 real = lanes::firstLanes32(count - i);
            target = select(real, target, none);
            clipped &= real;
        }
        store(c.target + i, target);
        store(c.clipped + i, clipped);
    }
}

}  // namespace

const ChunkKernels chunkKernels{ageElements, placePixels, placeCells};

}  // namespace glimmer::GLIMMER_KERNEL_SET

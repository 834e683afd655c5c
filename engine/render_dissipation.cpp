#include "render_dissipation.h"

#include <cstring>

#include "frame_motion.h"
#include "frame_random.h"
#include "cell_copy.h"
#include "map_walk.h"

namespace glimmer {
namespace {

constexpr FrameRandomJump jump1 = frameRandomJump(1);
constexpr FrameRandomJump jump2 = frameRandomJump(2);
constexpr FrameRandomJump jump3 = frameRandomJump(3);
constexpr FrameRandomJump jump4 = frameRandomJump(4);

inline int32_t drawByte(uint32_t state, FrameRandomJump j) {
    return static_cast<int32_t>(((state * j.multiplier + j.increment) >> 16) & 255u);
}

struct ElementGrid {
    bool pixelPass;
    int32_t cellWidth, cellHeight;  // 1 x 1 in the pixel pass
    int32_t columns, rows;
};

// Chooses the pass and the cell size. Answers false when the settings give
// no elements at all (negative sizes or counts).
bool chooseElementGrid(const TransitionSettings& s, int32_t width, int32_t rows, ElementGrid& g) {
    int32_t cw, ch;
    if ((s.cellFlags & 1) == 0) {
        cw = s.cellWidth;
        ch = s.cellHeight;
        if (cw < 0 || ch < 0) return false;
        g.pixelPass = cw == 1 && ch == 1;
    } else {
        // A band count of 0 is taken as 1 before anything divides by it.
        const int32_t across = s.cellWidth == 0 ? 1 : s.cellWidth;
        const int32_t down = s.cellHeight == 0 ? 1 : s.cellHeight;
        if (across < 0 || down < 0) return false;
        g.pixelPass = across >= width / 2 && down >= rows / 2;
        cw = width / across;
        ch = rows / down;
    }
    if (g.pixelPass) { cw = 1; ch = 1; }
    if (cw == 0) cw = 1;
    if (ch == 0) ch = 1;
    g.cellWidth = cw;
    g.cellHeight = ch;
    g.columns = width / cw + (width % cw != 0 ? 1 : 0);
    g.rows = rows / ch + (rows % ch != 0 ? 1 : 0);
    return true;
}

struct Walk {
    const FrameMotion& f;
    const ElementGrid& g;
    const FramePixels& fr;
    MapWalk& delayMap;
    MapWalk& movingYMap;
    MapWalk& movingXMap;
};

// The elements of one chunk of an element row, in processing order. Every
// element draws four numbers, started or not. The Moving maps' values are
// computed only once the chunk has an element that moves.
template <bool pixelPass>
uint32_t renderChunk(const Walk& k, uint32_t state, int32_t y0, int32_t x, int32_t step, int32_t count,
                     const uint32_t* clip1) {
    const FrameMotion& f = k.f;
    const FramePixels fr = k.fr;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int32_t width = fr.width, rows = fr.rows;
    const int32_t cw = k.g.cellWidth, ch = k.g.cellHeight;
    const double clock = f.clock, timeScale = f.timeScale;
    const double* speedTable = f.speedTable + 256;
    const double* delayValues = k.delayMap.values();
    const double* yValues = nullptr;
    const double* xValues = nullptr;
    bool motionValuesReady = false;
    const int64_t rowStart = static_cast<int64_t>(y0) * width;
    const int32_t firstX = x;

    for (int32_t i = 0; i < count; ++i, x += step) {
        const int32_t r1 = drawByte(state, jump1);
        const int32_t r2 = drawByte(state, jump2);
        const int32_t r3 = drawByte(state, jump3) - 128;
        const int32_t r4 = drawByte(state, jump4) - 128;
        state = state * jump4.multiplier + jump4.increment;

        const double mD = delayValues != nullptr ? delayValues[i] : k.delayMap.value(i, a, d);
        const double delay = elementDelay(f, r1, mD);
        const double life = elementLife(f, r2);
        const double age = clock - delay;
        const double tau = age * timeScale;

        if (!(clock > delay)) {
            if (pixelPass) d[rowStart + x] = a[rowStart + x];
            else copyCellInPlace(fr, x, y0, cw, ch);
            continue;
        }
        if (life < age) continue;  // died: its place keeps what is there

        if (!motionValuesReady) {
            k.movingYMap.fillChunk(firstX, step, count, clip1);
            k.movingXMap.fillChunk(firstX, step, count, clip1);
            yValues = k.movingYMap.values();
            xValues = k.movingXMap.values();
            motionValuesReady = true;
        }
        const double mY = yValues != nullptr ? yValues[i] : k.movingYMap.value(i, a, d);
        const double dy = displacement(speedTable[speedIndex(f, r3, mY, f.yIndexBase)], tau, f.yShare,
                                       f.gravityAccel);
        const double mX = xValues != nullptr ? xValues[i] : k.movingXMap.value(i, a, d);
        const double dx = displacement(speedTable[speedIndex(f, r4, mX, f.xIndexBase)], tau, f.xShare,
                                       f.windAccel);

        if (pixelPass) {
            // Strict lower bounds: row 0 and column 0 never receive a moved
            // pixel in this pass. Tested before converting, as above.
            const double ty = y0 - dy, tx = x - dx;
            if (ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width) {
                const int64_t to = static_cast<int64_t>(static_cast<int32_t>(ty)) * width +
                                   static_cast<int32_t>(tx);
                d[to] = a[rowStart + x];
            }
        } else {
            placeCell(fr, x, y0, cw, ch, dx, dy);
        }
    }
    return state;
}


// Per-element numbers of one chunk, computed a whole array at a time so that
// the compiler can use vector instructions; each value is the same double
// the element-by-element formulas give.
struct ChunkNumbers {
    int32_t r1[chunkColumns], r2[chunkColumns], r3[chunkColumns], r4[chunkColumns];
    double delay[chunkColumns], life[chunkColumns], age[chunkColumns], tau[chunkColumns];
    double dy[chunkColumns], dx[chunkColumns];
    int32_t yIndex[chunkColumns], xIndex[chunkColumns];
};

// speedIndexOfMix without branches.
inline int32_t clampedIndex(double mix) {
    double c = mix > -1.0 ? mix : 0.0;  // NaN too
    c = c < 512.0 ? c : 511.0;
    return static_cast<int32_t>(c) - 256;
}

// The same walk as renderChunk for chunks whose maps do not read the
// destination: the numbers first, then the writes in processing order.
template <bool pixelPass>
uint32_t renderChunkBatched(const Walk& k, ChunkNumbers& c, uint32_t state, int32_t y0, int32_t x,
                            int32_t step, int32_t count, const uint32_t* clip1) {
    const FrameMotion& f = k.f;
    for (int32_t i = 0; i < count; ++i) {
        c.r1[i] = drawByte(state, jump1);
        c.r2[i] = drawByte(state, jump2);
        c.r3[i] = drawByte(state, jump3) - 128;
        c.r4[i] = drawByte(state, jump4) - 128;
        state = state * jump4.multiplier + jump4.increment;
    }
    const double clock = f.clock, timeScale = f.timeScale;
    const double noiseWeight = f.delayNoiseWeight, mapWeight = f.delayMapWeight, scale = f.delayScale;
    const double lifeRange = f.lifeRange, lifeBase = f.lifeBase;
    const double* mD = k.delayMap.values();
    for (int32_t i = 0; i < count; ++i) {
        c.delay[i] = (c.r1[i] * noiseWeight + mD[i] * mapWeight) * scale;
        c.life[i] = c.r2[i] * lifeRange * factor1by255 + lifeBase;
        c.age[i] = clock - c.delay[i];
        c.tau[i] = c.age[i] * timeScale;
    }
    int32_t moving = 0;
    for (int32_t i = 0; i < count; ++i)
        moving |= static_cast<int32_t>(clock > c.delay[i]) & static_cast<int32_t>(!(c.life[i] < c.age[i]));
    if (moving != 0) {
        k.movingYMap.fillChunk(x, step, count, clip1);
        k.movingXMap.fillChunk(x, step, count, clip1);
        const double* mY = k.movingYMap.values();
        const double* mX = k.movingXMap.values();
        const double sw = f.speedNoiseWeight, mw = f.speedMapWeight;
        const double yBase = f.yIndexBase, xBase = f.xIndexBase;
        for (int32_t i = 0; i < count; ++i) {
            c.yIndex[i] = clampedIndex(c.r3[i] * sw + (mY[i] - 128) * mw + yBase);
            c.xIndex[i] = clampedIndex(c.r4[i] * sw + (mX[i] - 128) * mw + xBase);
        }
        const double* speeds = f.speedTable + 256;
        const double yShare = f.yShare, xShare = f.xShare, gravity = f.gravityAccel, wind = f.windAccel;
        for (int32_t i = 0; i < count; ++i) {
            const double tau = c.tau[i];
            c.dy[i] = speeds[c.yIndex[i]] * tau * yShare + gravity * (tau * tau);
            c.dx[i] = speeds[c.xIndex[i]] * tau * xShare + wind * (tau * tau);
        }
    }

    const FramePixels fr = k.fr;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int32_t width = fr.width, rows = fr.rows;
    const int32_t cw = k.g.cellWidth, ch = k.g.cellHeight;
    const int64_t rowStart = static_cast<int64_t>(y0) * width;
    for (int32_t i = 0; i < count; ++i, x += step) {
        if (!(clock > c.delay[i])) {
            if (pixelPass) d[rowStart + x] = a[rowStart + x];
            else copyCellInPlace(fr, x, y0, cw, ch);
            continue;
        }
        if (c.life[i] < c.age[i]) continue;
        if (pixelPass) {
            const double ty = y0 - c.dy[i], tx = x - c.dx[i];
            if (ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width) {
                const int64_t to = static_cast<int64_t>(static_cast<int32_t>(ty)) * width +
                                   static_cast<int32_t>(tx);
                d[to] = a[rowStart + x];
            }
        } else {
            placeCell(fr, x, y0, cw, ch, c.dx[i], c.dy[i]);
        }
    }
    return state;
}

}  // namespace

void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                       int32_t rowBytes, const TransitionSettings& settings,
                       int32_t position, int32_t total) {
    const int32_t width = rowBytes / 4;
    if (rows <= 0 || width <= 0) return;

    FrameMotion f;
    if (!prepareFrameMotion(settings, position, total, width, rows, f)) return;

    ElementGrid g;
    if (!chooseElementGrid(settings, width, rows, g)) return;

    const FramePixels fr{clip1Pixels, destPixels, width, rows};
    RampTable ramps;
    if (isDiagonal(settings.delayMap.source) || isDiagonal(settings.movingYMap.source) ||
        isDiagonal(settings.movingXMap.source))
        ramps.prepare(width, rows);
    MapWalk delayMap(settings.delayMap, width, rows, ramps);
    MapWalk movingYMap(settings.movingYMap, width, rows, ramps);
    MapWalk movingXMap(settings.movingXMap, width, rows, ramps);
    const Walk walk{f, g, fr, delayMap, movingYMap, movingXMap};
    const bool batched = delayMap.values() != nullptr && movingYMap.values() != nullptr &&
                         movingXMap.values() != nullptr;
    ChunkNumbers numbers;

    const bool rowsDown = (settings.orderFlags & 1) != 0;
    const bool columnsBack = (settings.orderFlags & 2) != 0;
    const int32_t step = columnsBack ? -g.cellWidth : g.cellWidth;
    uint32_t state = frameRandomSeed;

    for (int32_t n = 0; n < g.rows; ++n) {
        const int32_t y0 = (rowsDown ? g.rows - 1 - n : n) * g.cellHeight;
        delayMap.startRow(y0);
        movingYMap.startRow(y0);
        movingXMap.startRow(y0);
        for (int32_t done = 0; done < g.columns; done += chunkColumns) {
            const int32_t count = g.columns - done < chunkColumns ? g.columns - done : chunkColumns;
            const int32_t column = columnsBack ? g.columns - 1 - done : done;
            const int32_t x = column * g.cellWidth;
            delayMap.fillChunk(x, step, count, clip1Pixels);
            if (batched)
                state = g.pixelPass
                            ? renderChunkBatched<true>(walk, numbers, state, y0, x, step, count, clip1Pixels)
                            : renderChunkBatched<false>(walk, numbers, state, y0, x, step, count, clip1Pixels);
            else
                state = g.pixelPass ? renderChunk<true>(walk, state, y0, x, step, count, clip1Pixels)
                                    : renderChunk<false>(walk, state, y0, x, step, count, clip1Pixels);
        }
    }
}

}  // namespace glimmer

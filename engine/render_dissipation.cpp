#include "render_dissipation.h"

#include <cstring>

#include "frame_motion.h"
#include "frame_random.h"
#include "cell_copy.h"
#include "chunk_kernels.h"
#include "element_chunk.h"
#include "element_grid.h"
#include "map_walk.h"

namespace glimmer {
namespace {

inline int32_t drawByte(uint32_t state, FrameRandomJump j) {
    return static_cast<int32_t>(((state * j.multiplier + j.increment) >> 16) & 255u);
}

struct Walk {
    const FrameMotion& f;
    const ElementGrid& g;
    const FramePixels& fr;
    MapWalk& delayMap;
    MapWalk& movingYMap;
    MapWalk& movingXMap;
    const ChunkKernels& kernels;
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
        const int32_t r1 = drawByte(state, elementDraw1);
        const int32_t r2 = drawByte(state, elementDraw2);
        const int32_t r3 = drawByte(state, elementDraw3) - 128;
        const int32_t r4 = drawByte(state, elementDraw4) - 128;
        state = state * elementDraw4.multiplier + elementDraw4.increment;

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


// The same walk as renderChunk for chunks whose maps do not read the
// destination, four elements at a time.
uint32_t renderElementChunk(const Walk& k, ElementChunk& c, uint32_t state, const ChunkPlace& p,
                            const uint32_t* clip1) {
    bool anyMoving = false;
    state = k.kernels.ageElements(k.f, k.delayMap.values(), state, p.count, c, anyMoving);
    const double* yValues = nullptr;
    const double* xValues = nullptr;
    if (anyMoving) {
        k.movingYMap.fillChunk(p.x, p.step, p.count, clip1);
        k.movingXMap.fillChunk(p.x, p.step, p.count, clip1);
        yValues = k.movingYMap.values();
        xValues = k.movingXMap.values();
    }
    const FramePixels& fr = k.fr;
    if (k.g.pixelPass) {
        k.kernels.placePixels(k.f, yValues, xValues, p, fr.width, fr.rows, c);
        writePixels(fr, p, c);
    } else {
        k.kernels.placeCells(k.f, yValues, xValues, p, k.g.cellWidth, k.g.cellHeight, fr.width, fr.rows, c);
        writeCells(fr, p, k.g.cellWidth, k.g.cellHeight, c);
    }
    return state;
}

}  // namespace

void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                       int32_t rowBytes, const TransitionSettings& settings,
                       int32_t position, int32_t total) {
    renderDissipation(clip1Pixels, destPixels, rows, rowBytes, settings, position, total, chosenChunkKernels());
}

void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                       const TransitionSettings& settings, int32_t position, int32_t total,
                       const ChunkKernels& kernels) {
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
    const Walk walk{f, g, fr, delayMap, movingYMap, movingXMap, kernels};
    const bool batched = delayMap.values() != nullptr && movingYMap.values() != nullptr &&
                         movingXMap.values() != nullptr && fitsElementChunks(width, rows);
    ElementChunk chunk;

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
                state = renderElementChunk(walk, chunk, state, ChunkPlace{y0, x, step, count}, clip1Pixels);
            else
                state = g.pixelPass ? renderChunk<true>(walk, state, y0, x, step, count, clip1Pixels)
                                    : renderChunk<false>(walk, state, y0, x, step, count, clip1Pixels);
        }
    }
}

}  // namespace glimmer

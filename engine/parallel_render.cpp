#include "parallel_render.h"

#include <algorithm>
#include <cstring>
#include <atomic>
#include <new>
#include <thread>

#include "cell_copy.h"
#include "element_chunk.h"
#include "element_grid.h"
#include "frame_motion.h"
#include "frame_random.h"
#include "map_walk.h"
#include "render_dissipation.h"

namespace glimmer {
namespace {

struct FrameWalk {
    const FrameMotion& f;
    const ElementGrid& g;
    FramePixels fr;
    const TransitionSettings& settings;
    const RampTable& ramps;
    const ChunkKernels& kernels;
    ElementRun* runs;
    int32_t runCount;
    int32_t* targets;
    std::atomic<int32_t>* written;  // runs written so far, in walk order
};

struct WalkOrder {
    bool rowsDown, columnsBack;
    int32_t y0(const ElementGrid& g, int32_t n) const { return (rowsDown ? g.rows - 1 - n : n) * g.cellHeight; }
};

WalkOrder walkOrderOf(const TransitionSettings& s) {
    return WalkOrder{(s.orderFlags & 1) != 0, (s.orderFlags & 2) != 0};
}

// Cells that the whole-cell writes do not take, noted for their run's writes.
void noteClippedCells(const FrameWalk& w, ElementRun& run, const ChunkPlace& p, const ElementChunk& c,
                      int32_t* targets) {
    const FramePixels& fr = w.fr;
    for (int32_t i = 0, x = p.x; i < p.count; ++i, x += p.step) {
        if (c.clipped[i] == 0) continue;
        targets[i] = -1;
        if (c.waiting[i] != 0) {
            run.clipped[static_cast<size_t>(run.clippedCount)] = ClippedCell{x, p.y0, 0, 0};
        } else {
            const double dx = c.dx[i], dy = c.dy[i];
            // placeCell's test, before anything is converted.
            if (!(dx > -fr.width && dx < fr.width && dy > -fr.rows && dy < fr.rows)) continue;
            run.clipped[static_cast<size_t>(run.clippedCount)] =
                ClippedCell{x, p.y0, static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
        }
        targets[i] = -2 - run.clippedCount++;
    }
}

void replayRun(const FrameWalk& w, const ElementRun& run);

// A thread's run of element rows, as renderDissipation walks them. The
// first run is written as it is walked; every other is noted, then written
// as soon as the runs before it are: the written runs are counted, and a
// thread waits its turn, so the frame takes the runs in walk order.
void walkRun(void* context, int32_t k) {
    const FrameWalk& w = *static_cast<const FrameWalk*>(context);
    if (k >= w.runCount) return;
    ElementRun& run = w.runs[k];
    const FramePixels& fr = w.fr;
    const ElementGrid& g = w.g;
    run.clippedCount = 0;

    MapWalk delayMap(w.settings.delayMap, fr.width, fr.rows, w.ramps);
    MapWalk movingYMap(w.settings.movingYMap, fr.width, fr.rows, w.ramps);
    MapWalk movingXMap(w.settings.movingXMap, fr.width, fr.rows, w.ramps);
    ElementChunk chunk;
    const WalkOrder order = walkOrderOf(w.settings);
    const int32_t step = order.columnsBack ? -g.cellWidth : g.cellWidth;
    // Every element draws four numbers.
    const FrameRandomJump skip = frameRandomJumpBy(uint64_t{4} * static_cast<uint64_t>(run.first) *
                                                   static_cast<uint64_t>(g.columns));
    uint32_t state = frameRandomSeed * skip.multiplier + skip.increment;

    for (int32_t n = run.first; n < run.end; ++n) {
        const int32_t y0 = order.y0(g, n);
        delayMap.startRow(y0);
        movingYMap.startRow(y0);
        movingXMap.startRow(y0);
        for (int32_t done = 0; done < g.columns; done += chunkColumns) {
            const int32_t count = std::min(g.columns - done, chunkColumns);
            const int32_t x = (order.columnsBack ? g.columns - 1 - done : done) * g.cellWidth;
            const ChunkPlace p{y0, x, step, count};
            delayMap.fillChunk(x, step, count, fr.a);
            bool anyMoving = false;
            state = w.kernels.ageElements(w.f, delayMap.values(), state, count, chunk, anyMoving);
            const double* yValues = nullptr;
            const double* xValues = nullptr;
            if (anyMoving) {
                movingYMap.fillChunk(x, step, count, fr.a);
                movingXMap.fillChunk(x, step, count, fr.a);
                yValues = movingYMap.values();
                xValues = movingXMap.values();
            }
            int32_t* targets = w.targets + int64_t{n} * g.columns + done;
            if (g.pixelPass) {
                w.kernels.placePixels(w.f, yValues, xValues, p, fr.width, fr.rows, chunk);
            } else {
                w.kernels.placeCells(w.f, yValues, xValues, p, g.cellWidth, g.cellHeight, fr.width, fr.rows, chunk);
            }
            if (k == 0) {
                // No other run is written before this one is.
                if (g.pixelPass) writePixels(fr, p, chunk);
                else writeCells(fr, p, g.cellWidth, g.cellHeight, chunk);
                continue;
            }
            std::memcpy(targets, chunk.target, sizeof(int32_t) * static_cast<size_t>(count));
            if (!g.pixelPass) noteClippedCells(w, run, p, chunk, targets);
        }
    }
    if (k > 0) {
        while (w.written->load(std::memory_order_acquire) != k) std::this_thread::yield();
        replayRun(w, run);
    }
    w.written->store(k + 1, std::memory_order_release);
}

// A noted run of the pixel pass written in walk order.
void replayPixels(const FrameWalk& w, const ElementRun& run) {
    const ElementGrid& g = w.g;
    const int64_t width = w.fr.width;
    uint32_t* __restrict d = w.fr.d;
    const WalkOrder order = walkOrderOf(w.settings);
    const int32_t step = order.columnsBack ? -1 : 1;
    // The look ahead stays inside the run: the next run's thread may still
    // be noting its targets.
    const int32_t* runEnd = w.targets + int64_t{run.end} * width;
    uint32_t sink;
    for (int32_t n = run.first; n < run.end; ++n) {
        const uint32_t* __restrict from = w.fr.a + order.y0(g, n) * width + (order.columnsBack ? width - 1 : 0);
        const int32_t* __restrict rowTargets = w.targets + n * width;
        for (int64_t i = 0; i < width; ++i, from += step) {
            const int32_t ahead = rowTargets + i + prefetchDistance < runEnd ? rowTargets[i + prefetchDistance] : -1;
            __builtin_prefetch(d + (ahead >= 0 ? ahead : 0), 1);
            const int32_t t = rowTargets[i];
            *(t >= 0 ? d + t : &sink) = *from;
        }
    }
}

// A noted run of cells written in walk order: whole cells copied row by row
// (the default 2 x 2 in two 8-byte moves), clipped ones as the one-thread
// render places them.
template <bool defaultCells>
void replayCells(const FrameWalk& w, const ElementRun& run) {
    const ElementGrid& g = w.g;
    const FramePixels& fr = w.fr;
    const int64_t width = fr.width;
    const int32_t cw = g.cellWidth, ch = g.cellHeight;
    const WalkOrder order = walkOrderOf(w.settings);
    uint32_t* __restrict d = fr.d;
    const int32_t* runEnd = w.targets + int64_t{run.end} * g.columns;  // as for the pixel pass
    for (int32_t n = run.first; n < run.end; ++n) {
        const int32_t y0 = order.y0(g, n);
        const int32_t* rowTargets = w.targets + int64_t{n} * g.columns;
        const uint32_t* rowA = fr.a + int64_t{y0} * width;
        for (int32_t j = 0; j < g.columns; ++j) {
            const int32_t ahead = rowTargets + j + prefetchDistance < runEnd ? rowTargets[j + prefetchDistance] : -1;
            if (ahead >= 0) {
                __builtin_prefetch(d + ahead, 1);
                __builtin_prefetch(d + ahead + (ch - 1) * width, 1);
            }
            const int32_t t = rowTargets[j];
            if (t == -1) continue;
            if (t < -1) {
                const ClippedCell& m = run.clipped[static_cast<size_t>(-2 - t)];
                placeCell(fr, m.x0, m.y0, cw, ch, m.dx, m.dy);
                continue;
            }
            const uint32_t* from = rowA + (order.columnsBack ? g.columns - 1 - j : j) * cw;
            if (defaultCells) {
                uint64_t row0, row1;
                std::memcpy(&row0, from, sizeof row0);
                std::memcpy(&row1, from + width, sizeof row1);
                std::memcpy(d + t, &row0, sizeof row0);
                std::memcpy(d + t + width, &row1, sizeof row1);
            } else {
                for (int64_t row = 0; row < ch; ++row) copyWords(d + t + row * width, from + row * width, cw);
            }
        }
    }
}

void replayRun(const FrameWalk& w, const ElementRun& run) {
    if (w.g.pixelPass) replayPixels(w, run);
    else if (w.g.cellWidth == 2 && w.g.cellHeight == 2) replayCells<true>(w, run);
    else replayCells<false>(w, run);
}

void renderOnRenderer(void* context, const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                      int32_t rowBytes, const TransitionSettings& settings, int32_t position, int32_t total) {
    static_cast<ParallelRenderer*>(context)->render(clip1Pixels, destPixels, rows, rowBytes, settings, position,
                                                    total);
}

}  // namespace

void ParallelRenderer::render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                              const TransitionSettings& settings, int32_t position, int32_t total) {
    render(clip1Pixels, destPixels, rows, rowBytes, settings, position, total, chosenChunkKernels());
}

void ParallelRenderer::render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                              const TransitionSettings& settings, int32_t position, int32_t total,
                              const ChunkKernels& kernels) {
    const int32_t width = rowBytes / 4;
    ElementGrid g;
    FrameMotion f;
    const bool split = threads_.count() > 1 && rows > 0 && width > 0 && fitsElementChunks(width, rows) &&
                       !anyMapReadsClipTwo(settings) && chooseElementGrid(settings, width, rows, g) &&
                       g.rows > 1;
    if (!split) {
        renderDissipation(clip1Pixels, destPixels, rows, rowBytes, settings, position, total, kernels);
        return;
    }
    if (!prepareFrameMotion(settings, position, total, width, rows, f)) return;

    const int32_t runCount = std::min(threads_.count(), g.rows);
    // The writes look this far past the last element.
    const size_t elements = static_cast<size_t>(int64_t{g.rows} * g.columns) + prefetchDistance;
    try {
        if (static_cast<int32_t>(runs_.size()) < runCount) runs_.resize(static_cast<size_t>(runCount));
        if (targets_.size() < elements) targets_.resize(elements);
        // Writing as it walks costs the first run's thread a fifth to a
        // quarter more an element (measured for cells and pixels alike), so
        // it walks 4 / (4 + 5 (n - 1)) of the rows.
        const int32_t firstRows =
            std::max<int32_t>(1, static_cast<int32_t>(int64_t{g.rows} * 4 / (4 + 5 * int64_t{runCount - 1})));
        for (int32_t k = 0; k < runCount; ++k) {
            ElementRun& run = runs_[static_cast<size_t>(k)];
            run.first = k == 0 ? 0 : firstRows + static_cast<int32_t>(int64_t{g.rows - firstRows} * (k - 1) / (runCount - 1));
            run.end = k == 0 ? firstRows : firstRows + static_cast<int32_t>(int64_t{g.rows - firstRows} * k / (runCount - 1));
            const size_t most = g.pixelPass ? 0 : static_cast<size_t>(int64_t{run.end - run.first} * g.columns);
            if (run.clipped.size() < most) run.clipped.resize(most);
        }
    } catch (const std::bad_alloc&) {
        // The hosts call from C; the one-thread walk needs no memory.
        renderDissipation(clip1Pixels, destPixels, rows, rowBytes, settings, position, total, kernels);
        return;
    }
    std::fill_n(targets_.begin() + static_cast<int64_t>(elements) - prefetchDistance, prefetchDistance, -1);

    RampTable ramps;
    if (isDiagonal(settings.delayMap.source) || isDiagonal(settings.movingYMap.source) ||
        isDiagonal(settings.movingXMap.source))
        ramps.prepare(width, rows);
    std::atomic<int32_t> written{0};
    FrameWalk walk{f, g, FramePixels{clip1Pixels, destPixels, width, rows}, settings, ramps, kernels,
                   runs_.data(), runCount, targets_.data(), &written};
    threads_.run(walkRun, &walk);
}

void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer) {
    runFrameSetup(request, settings, heapScratchMemory(), RenderCall{renderOnRenderer, &renderer});
}

}  // namespace glimmer

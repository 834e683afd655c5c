#include "parallel_render.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "cell_copy.h"
#include "element_chunk.h"
#include "element_grid.h"
#include "frame_motion.h"
#include "frame_random.h"
#include "map_walk.h"
#include "render_dissipation.h"

namespace glimmer {
namespace {

bool readsDestination(const SourceMap& m) { return m.source >= sourceRed2 && m.source <= sourceAlpha2; }

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
};

struct WalkOrder {
    bool rowsDown, columnsBack;
    int32_t y0(const ElementGrid& g, int32_t n) const { return (rowsDown ? g.rows - 1 - n : n) * g.cellHeight; }
};

WalkOrder walkOrderOf(const TransitionSettings& s) {
    return WalkOrder{(s.orderFlags & 1) != 0, (s.orderFlags & 2) != 0};
}

// The band of frame rows thread k writes.
void bandOf(const FrameWalk& w, int32_t k, int32_t& rowLow, int32_t& rowHigh) {
    rowLow = static_cast<int32_t>(int64_t{w.fr.rows} * k / w.runCount);
    rowHigh = static_cast<int32_t>(int64_t{w.fr.rows} * (k + 1) / w.runCount);
}

// The cell moved by whole pixels, only its rows that land in rows
// rowLow .. rowHigh - 1 and its columns inside the frame.
void layCellRows(const FramePixels& fr, int32_t cellWidth, int32_t cellHeight, const ClippedCell& m,
                 int32_t rowLow, int32_t rowHigh) {
    const int64_t width = fr.width;
    const int64_t visibleW = std::min<int64_t>(cellWidth, width - m.x0);
    const int64_t visibleH = std::min<int64_t>(cellHeight, int64_t{fr.rows} - m.y0);
    const int64_t i0 = std::max<int64_t>(0, int64_t{m.dx} - m.x0);
    const int64_t i1 = std::min<int64_t>(visibleW, width + m.dx - m.x0);
    const int64_t j0 = std::max<int64_t>(0, int64_t{rowLow} + m.dy - m.y0);
    const int64_t j1 = std::min<int64_t>(visibleH, int64_t{rowHigh} + m.dy - m.y0);
    if (i1 <= i0) return;
    for (int64_t j = j0; j < j1; ++j) {
        const int64_t from = (m.y0 + j) * width + m.x0 + i0;
        const int64_t to = (m.y0 + j - m.dy) * width + m.x0 + i0 - m.dx;
        copyWords(fr.d + to, fr.a + from, i1 - i0);
    }
}

// Cells that the whole-cell writes do not take, noted for the second step.
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

// The first step: a thread's run of element rows, as renderDissipation
// walks them, noting where each element lands.
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
                // Nothing else writes the frame while the runs are walked.
                if (g.pixelPass) writePixels(fr, p, chunk);
                else writeCells(fr, p, g.cellWidth, g.cellHeight, chunk);
                continue;
            }
            std::memcpy(targets, chunk.target, sizeof(int32_t) * static_cast<size_t>(count));
            if (!g.pixelPass) noteClippedCells(w, run, p, chunk, targets);
        }
    }
}

// The second step, pixel pass: every element in walk order, written where
// it lands in this thread's band, into a sink elsewhere (no branch on it).
void writePixelBand(const FrameWalk& w, int32_t rowLow, int32_t rowHigh) {
    const ElementGrid& g = w.g;
    const int64_t width = w.fr.width;
    const int32_t* __restrict targets = w.targets;
    uint32_t* __restrict d = w.fr.d;
    const int64_t low = rowLow * width;
    const uint64_t bandWords = static_cast<uint64_t>((rowHigh - rowLow) * width);
    const WalkOrder order = walkOrderOf(w.settings);
    const int32_t step = order.columnsBack ? -1 : 1;
    uint32_t sink;
    for (int32_t n = w.runs[1].first; n < g.rows; ++n) {
        const uint32_t* __restrict from = w.fr.a + order.y0(g, n) * width + (order.columnsBack ? width - 1 : 0);
        const int32_t* rowTargets = targets + n * width;
        for (int64_t i = 0; i < width; ++i, from += step) {
            const int32_t ahead = rowTargets[i + prefetchDistance];
            __builtin_prefetch(d + (static_cast<uint64_t>(ahead - low) < bandWords ? ahead : low), 1);
            const int32_t t = rowTargets[i];
            *(static_cast<uint64_t>(t - low) < bandWords ? d + t : &sink) = *from;
        }
    }
}

// The default 2 x 2 cells: a cell whose target lies in the band is moved in
// two 8-byte moves, any other into a sink, so that the writes do not branch
// on the band; only cells across its edges and clipped ones take a branch.
void writeDefaultCellBand(const FrameWalk& w, int32_t rowLow, int32_t rowHigh) {
    const ElementGrid& g = w.g;
    const FramePixels& fr = w.fr;
    const int64_t width = fr.width;
    const int64_t low = rowLow * width, high = rowHigh * width;
    const WalkOrder order = walkOrderOf(w.settings);
    uint32_t* __restrict d = fr.d;
    uint64_t sink[2] = {};
    const uint64_t nothing[2] = {};
    for (int32_t r = 1; r < w.runCount; ++r) {
        const ElementRun& run = w.runs[r];
        for (int32_t n = run.first; n < run.end; ++n) {
            const int32_t y0 = order.y0(g, n);
            const int32_t* rowTargets = w.targets + int64_t{n} * g.columns;
            const uint32_t* rowA = fr.a + int64_t{y0} * width;
            for (int32_t j = 0; j < g.columns; ++j) {
                const int32_t ahead = rowTargets[j + prefetchDistance];
                __builtin_prefetch(d + (ahead >= low && ahead < high ? ahead : low), 1);
                __builtin_prefetch(d + (ahead >= low && ahead < high ? ahead : low) + width, 1);
                const int32_t t = rowTargets[j];
                const bool inside = t >= low && t + width < high;
                if (__builtin_expect(!inside && (t < -1 || (t >= 0 && t + width >= low && t < high)), 0)) {
                    const int32_t x = (order.columnsBack ? g.columns - 1 - j : j) * 2;
                    if (t < -1) {
                        layCellRows(fr, 2, 2, run.clipped[static_cast<size_t>(-2 - t)], rowLow, rowHigh);
                    } else {
                        const int32_t ty = static_cast<int32_t>(t / width);
                        const int32_t tx = static_cast<int32_t>(t - int64_t{ty} * width);
                        layCellRows(fr, 2, 2, ClippedCell{x, y0, x - tx, y0 - ty}, rowLow, rowHigh);
                    }
                    continue;
                }
                const int32_t x = (order.columnsBack ? g.columns - 1 - j : j) * 2;
                // Cells not whole in the frame are read only where they land.
                const void* from0 = inside ? static_cast<const void*>(rowA + x) : nothing;
                const void* from1 = inside ? static_cast<const void*>(rowA + x + width) : nothing + 1;
                void* to0 = inside ? static_cast<void*>(d + t) : sink;
                void* to1 = inside ? static_cast<void*>(d + t + width) : sink + 1;
                uint64_t row0, row1;
                std::memcpy(&row0, from0, sizeof row0);
                std::memcpy(&row1, from1, sizeof row1);
                std::memcpy(to0, &row0, sizeof row0);
                std::memcpy(to1, &row1, sizeof row1);
            }
        }
    }
}

// The same for cells: whole cells copied row by row where they lie in the
// band, clipped ones through layCellRows.
void writeCellBand(const FrameWalk& w, int32_t rowLow, int32_t rowHigh) {
    const ElementGrid& g = w.g;
    const FramePixels& fr = w.fr;
    const int64_t width = fr.width;
    const int32_t cw = g.cellWidth, ch = g.cellHeight;
    const int64_t low = rowLow * width, high = rowHigh * width, lastRow = (ch - 1) * width;
    const WalkOrder order = walkOrderOf(w.settings);
    for (int32_t r = 1; r < w.runCount; ++r) {
        const ElementRun& run = w.runs[r];
        for (int32_t n = run.first; n < run.end; ++n) {
            const int32_t y0 = order.y0(g, n);
            const int32_t* rowTargets = w.targets + int64_t{n} * g.columns;
            for (int32_t j = 0; j < g.columns; ++j) {
                const int32_t ahead = rowTargets[j + prefetchDistance];
                if (ahead >= low && ahead < high) __builtin_prefetch(fr.d + ahead, 1);
                const int32_t t = rowTargets[j];
                if (t == -1) continue;
                if (t < -1) {
                    layCellRows(fr, cw, ch, run.clipped[static_cast<size_t>(-2 - t)], rowLow, rowHigh);
                    continue;
                }
                if (t + lastRow < low || t >= high) continue;
                const int32_t x = (order.columnsBack ? g.columns - 1 - j : j) * cw;
                const int64_t from = int64_t{y0} * width + x;
                if (t >= low && t + lastRow < high) {
                    for (int64_t row = 0; row < ch; ++row) copyWords(fr.d + t + row * width, fr.a + from + row * width, cw);
                    continue;
                }
                // A whole cell across the band's edge.
                const int32_t ty = static_cast<int32_t>(t / width);
                const int32_t tx = static_cast<int32_t>(t - int64_t{ty} * width);
                layCellRows(fr, cw, ch, ClippedCell{x, y0, x - tx, y0 - ty}, rowLow, rowHigh);
            }
        }
    }
}

void writeBand(void* context, int32_t k) {
    const FrameWalk& w = *static_cast<const FrameWalk*>(context);
    if (k >= w.runCount) return;
    int32_t rowLow, rowHigh;
    bandOf(w, k, rowLow, rowHigh);
    if (w.g.pixelPass) writePixelBand(w, rowLow, rowHigh);
    else if (w.g.cellWidth == 2 && w.g.cellHeight == 2) writeDefaultCellBand(w, rowLow, rowHigh);
    else writeCellBand(w, rowLow, rowHigh);
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
                       !readsDestination(settings.delayMap) && !readsDestination(settings.movingYMap) &&
                       !readsDestination(settings.movingXMap) && chooseElementGrid(settings, width, rows, g) &&
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
    FrameWalk walk{f, g, FramePixels{clip1Pixels, destPixels, width, rows}, settings, ramps, kernels,
                   runs_.data(), runCount, targets_.data()};
    threads_.run(walkRun, &walk);
    threads_.run(writeBand, &walk);
}

void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer) {
    runFrameSetup(request, settings, heapScratchMemory(), RenderCall{renderOnRenderer, &renderer});
}

}  // namespace glimmer

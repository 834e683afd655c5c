#include "parallel_render.h"

#include <algorithm>
#include <cstring>

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
    uint8_t* ownWrites;
};

// Marks `count` pixels as written by the band's own run; cells are narrow,
// and a call of memset per row cost more than the row's copy.
inline void markOwn(uint8_t* marks, int64_t count) {
    if (count > 16) {
        std::memset(marks, 1, static_cast<size_t>(count));
        return;
    }
    for (int64_t i = 0; i < count; ++i) marks[i] = 1;
}

// How a cell's rows that land in a band are laid.
enum class Laying {
    own,      // the band's own run: write, and mark as written
    earlier,  // a run before the band's own: only where the own run wrote nothing
    later,    // a run after it: over everything
};

// The cell at (x0, y0) moved by whole pixels, only its rows that land in
// rows rowLow .. rowHigh - 1 and its columns inside the frame.
// Everything is read into locals first: the marks are bytes, which may
// alias anything, and each store of one would reload the rest.
inline void layCellRows(const FramePixels& frame, int32_t cellWidth, int32_t cellHeight, const ElementMove move,
                        int32_t rowLow, int32_t rowHigh, uint8_t* __restrict ownWrites, Laying laying) {
    const FramePixels fr = frame;
    const ElementMove m = move;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int64_t width = fr.width;
    const int64_t visibleW = std::min<int64_t>(cellWidth, width - m.x0);
    const int64_t visibleH = std::min<int64_t>(cellHeight, int64_t{fr.rows} - m.y0);
    const int64_t i0 = std::max<int64_t>(0, int64_t{m.dx} - m.x0);
    const int64_t i1 = std::min<int64_t>(visibleW, width + m.dx - m.x0);
    const int64_t j0 = std::max<int64_t>(0, int64_t{rowLow} + m.dy - m.y0);
    const int64_t j1 = std::min<int64_t>(visibleH, int64_t{rowHigh} + m.dy - m.y0);
    for (int64_t j = j0; j < j1; ++j) {
        const int64_t from = (m.y0 + j) * width + m.x0 + i0;
        const int64_t to = (m.y0 + j - m.dy) * width + m.x0 + i0 - m.dx;
        const int64_t length = i1 - i0;
        if (length <= 0) return;
        if (laying == Laying::earlier) {
            // Whether the own run wrote there is a coin toss per pixel:
            // chosen, not branched on.
            for (int64_t i = 0; i < length; ++i) d[to + i] = ownWrites[to + i] != 0 ? d[to + i] : a[from + i];
            continue;
        }
        copyWords(d + to, a + from, length);
        if (laying == Laying::own) markOwn(ownWrites + to, length);
    }
}

// Whether all of the moved cell that lies in the frame lands in the band.
bool landsWithin(const FramePixels& fr, int32_t cellHeight, const ElementMove& m, int32_t rowLow, int32_t rowHigh) {
    const int64_t top = std::min<int64_t>(int64_t{m.y0} + cellHeight, fr.rows) - m.dy;
    const int64_t bottom = int64_t{m.y0} - m.dy;
    return std::max<int64_t>(bottom, 0) >= rowLow && std::min<int64_t>(top, fr.rows) <= rowHigh;
}

// Where nothing is to be written: the pixel pass writes every element
// somewhere, as the one-thread walk does, rather than branch on each.
struct Sink {
    uint32_t word;
    uint8_t mark;
};

void writePixelsInBand(const FrameWalk& w, ElementRun& run, const ChunkPlace& p, const ElementChunk& c) {
    const FramePixels& fr = w.fr;
    const int32_t width = fr.width;
    const int64_t low = int64_t{run.rowLow} * width;
    const uint64_t bandWords = static_cast<uint64_t>(int64_t{run.rowHigh - run.rowLow} * width);
    const uint32_t* __restrict from = fr.a + int64_t{p.y0} * width + p.x;
    uint32_t* __restrict d = fr.d;
    uint8_t* __restrict marks = w.ownWrites;
    PixelMove* __restrict moves = run.pixelMoves.data();
    const int32_t rowStart = p.y0 * width;
    size_t count = run.moveCount;
    Sink sink;
    for (int32_t i = 0, x = p.x; i < p.count; ++i, x += p.step, from += p.step) {
        const int32_t ahead = c.target[i + prefetchDistance] >= 0 ? c.target[i + prefetchDistance] : 0;
        __builtin_prefetch(d + ahead, 1);
        __builtin_prefetch(marks + ahead, 1);
        const int32_t t = c.target[i];
        const bool own = static_cast<uint64_t>(t - low) < bandWords;
        *(own ? d + t : &sink.word) = *from;
        *(own ? marks + t : &sink.mark) = 1;
        // Written always, kept only when the element lands elsewhere.
        moves[count] = PixelMove{rowStart + x, t};
        count += !own && t >= 0;
    }
    run.moveCount = count;
}

// A cell that lands whole in the band, row by row.
inline void copyCellOwn(const FramePixels& fr, uint8_t* marks, int64_t to, int64_t from, int32_t cellWidth,
                        int32_t cellHeight) {
    if (cellWidth == 2 && cellHeight == 2) {
        // The default cell: two words a row, in one move each.
        const int64_t width = fr.width;
        uint64_t row0, row1;
        std::memcpy(&row0, fr.a + from, sizeof row0);
        std::memcpy(&row1, fr.a + from + width, sizeof row1);
        std::memcpy(fr.d + to, &row0, sizeof row0);
        std::memcpy(fr.d + to + width, &row1, sizeof row1);
        const uint16_t both = 0x0101;
        std::memcpy(marks + to, &both, sizeof both);
        std::memcpy(marks + to + width, &both, sizeof both);
        return;
    }
    for (int32_t j = 0; j < cellHeight; ++j, to += fr.width, from += fr.width) {
        copyWords(fr.d + to, fr.a + from, cellWidth);
        markOwn(marks + to, cellWidth);
    }
}

void writeCellsInBand(const FrameWalk& w, ElementRun& run, const ChunkPlace& place, const ElementChunk& c) {
    const FramePixels fr = w.fr;
    const ChunkPlace p = place;
    const int32_t rowLow = run.rowLow, rowHigh = run.rowHigh;
    ElementMove* __restrict moves = run.moves.data();
    size_t moveCount = run.moveCount;
    const int32_t cw = w.g.cellWidth, ch = w.g.cellHeight;
    const int64_t width = fr.width;
    for (int32_t i = 0, x = p.x; i < p.count; ++i, x += p.step) {
        const int32_t ahead = c.target[i + prefetchDistance];
        if (ahead >= 0) {
            __builtin_prefetch(fr.d + ahead, 1);
            __builtin_prefetch(fr.d + ahead + (ch - 1) * width, 1);
            __builtin_prefetch(w.ownWrites + ahead, 1);
            __builtin_prefetch(w.ownWrites + ahead + (ch - 1) * width, 1);
        }
        if (c.clipped[i] == 0) {
            // Whole cells: in place while waiting, else moved whole.
            const int32_t t = c.target[i];
            if (t < 0) continue;
            const int32_t ty = c.waiting[i] != 0 ? p.y0 : p.y0 - static_cast<int32_t>(c.dy[i]);
            if (ty >= rowLow && ty + ch <= rowHigh) {
                copyCellOwn(fr, w.ownWrites, t, p.y0 * width + x, cw, ch);
                continue;
            }
            const ElementMove m{x, p.y0, static_cast<int32_t>(c.dx[i]), static_cast<int32_t>(c.dy[i])};
            layCellRows(fr, cw, ch, m, rowLow, rowHigh, w.ownWrites, Laying::own);
            moves[moveCount++] = m;
            continue;
        }
        if (c.waiting[i] != 0) {
            layCellRows(fr, cw, ch, ElementMove{x, p.y0, 0, 0}, rowLow, rowHigh, w.ownWrites, Laying::own);
            continue;
        }
        const double dx = c.dx[i], dy = c.dy[i];
        // placeCell's test, before anything is converted.
        if (!(dx > -fr.width && dx < fr.width && dy > -fr.rows && dy < fr.rows)) continue;
        const ElementMove m{x, p.y0, static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
        layCellRows(fr, cw, ch, m, rowLow, rowHigh, w.ownWrites, Laying::own);
        if (!landsWithin(fr, ch, m, rowLow, rowHigh)) moves[moveCount++] = m;
    }
    run.moveCount = moveCount;
}

// The first step: a thread's run of element rows, as renderDissipation
// walks them, writing into its own band.
void walkRun(void* context, int32_t k) {
    const FrameWalk& w = *static_cast<const FrameWalk*>(context);
    if (k >= w.runCount) return;
    ElementRun& run = w.runs[k];
    const FramePixels& fr = w.fr;
    const ElementGrid& g = w.g;
    run.moveCount = 0;
    std::memset(w.ownWrites + int64_t{run.rowLow} * fr.width, 0,
                static_cast<size_t>(int64_t{run.rowHigh - run.rowLow} * fr.width));

    MapWalk delayMap(w.settings.delayMap, fr.width, fr.rows, w.ramps);
    MapWalk movingYMap(w.settings.movingYMap, fr.width, fr.rows, w.ramps);
    MapWalk movingXMap(w.settings.movingXMap, fr.width, fr.rows, w.ramps);
    ElementChunk chunk;
    const bool rowsDown = (w.settings.orderFlags & 1) != 0;
    const bool columnsBack = (w.settings.orderFlags & 2) != 0;
    const int32_t step = columnsBack ? -g.cellWidth : g.cellWidth;
    // Every element draws four numbers.
    const FrameRandomJump skip = frameRandomJumpBy(uint64_t{4} * static_cast<uint64_t>(run.first) *
                                                   static_cast<uint64_t>(g.columns));
    uint32_t state = frameRandomSeed * skip.multiplier + skip.increment;

    for (int32_t n = run.first; n < run.end; ++n) {
        const int32_t y0 = (rowsDown ? g.rows - 1 - n : n) * g.cellHeight;
        delayMap.startRow(y0);
        movingYMap.startRow(y0);
        movingXMap.startRow(y0);
        for (int32_t done = 0; done < g.columns; done += chunkColumns) {
            const int32_t count = std::min(g.columns - done, chunkColumns);
            const int32_t x = (columnsBack ? g.columns - 1 - done : done) * g.cellWidth;
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
            if (g.pixelPass) {
                w.kernels.placePixels(w.f, yValues, xValues, p, fr.width, fr.rows, chunk);
                writePixelsInBand(w, run, p, chunk);
            } else {
                w.kernels.placeCells(w.f, yValues, xValues, p, g.cellWidth, g.cellHeight, fr.width, fr.rows, chunk);
                writeCellsInBand(w, run, p, chunk);
            }
        }
    }
}

// The second step: the other runs' elements that land in this thread's band.
void layOtherRuns(void* context, int32_t k) {
    const FrameWalk& w = *static_cast<const FrameWalk*>(context);
    if (k >= w.runCount) return;
    const int32_t rowLow = w.runs[k].rowLow, rowHigh = w.runs[k].rowHigh;
    const FramePixels fr = w.fr;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const uint8_t* __restrict ownWrites = w.ownWrites;
    const int32_t cellWidth = w.g.cellWidth, cellHeight = w.g.cellHeight;
    const int64_t width = fr.width;
    const int64_t low = rowLow * width;
    const uint64_t bandWords = static_cast<uint64_t>((rowHigh - rowLow) * width);
    for (int32_t r = 0; r < w.runCount; ++r) {
        if (r == k) continue;
        const bool earlier = r < k;
        const size_t count = w.runs[r].moveCount;
        if (w.g.pixelPass) {
            const PixelMove* __restrict moves = w.runs[r].pixelMoves.data();
            for (size_t n = 0; n < count; ++n) {
                // moves has one entry past the last one kept, and others
                // past it from earlier frames.
                const int32_t ahead = std::max(0, moves[std::min(n + prefetchDistance, count)].to);
                __builtin_prefetch(d + ahead, 1);
                if (earlier) __builtin_prefetch(ownWrites + ahead, 0);
                const PixelMove m = moves[n];
                if (static_cast<uint64_t>(m.to - low) >= bandWords) continue;
                if (earlier && ownWrites[m.to] != 0) continue;
                d[m.to] = a[m.from];
            }
        } else {
            const ElementMove* __restrict moves = w.runs[r].moves.data();
            for (size_t n = 0; n < count; ++n) {
                const ElementMove& ahead = moves[std::min(n + prefetchDistance / 4, count - 1)];
                const int64_t at = std::max<int64_t>(0, (int64_t{ahead.y0} - ahead.dy) * width + ahead.x0 - ahead.dx);
                __builtin_prefetch(d + at, 1);
                __builtin_prefetch(d + at + (cellHeight - 1) * width, 1);
                if (earlier) {
                    __builtin_prefetch(ownWrites + at, 0);
                    __builtin_prefetch(ownWrites + at + (cellHeight - 1) * width, 0);
                }
                layCellRows(fr, cellWidth, cellHeight, moves[n], rowLow, rowHigh, w.ownWrites,
                            earlier ? Laying::earlier : Laying::later);
            }
        }
    }
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
    if (static_cast<int32_t>(runs_.size()) < runCount) runs_.resize(static_cast<size_t>(runCount));
    const size_t pixels = static_cast<size_t>(int64_t{width} * rows);
    if (ownWrites_.size() < pixels) ownWrites_.resize(pixels);
    const bool rowsDown = (settings.orderFlags & 1) != 0;
    for (int32_t k = 0; k < runCount; ++k) {
        ElementRun& run = runs_[static_cast<size_t>(k)];
        run.first = static_cast<int32_t>(int64_t{g.rows} * k / runCount);
        run.end = static_cast<int32_t>(int64_t{g.rows} * (k + 1) / runCount);
        // Walking down, the run's first element row is its highest.
        const int64_t lowRow = rowsDown ? g.rows - run.end : run.first;
        const int64_t highRow = rowsDown ? g.rows - run.first : run.end;
        run.rowLow = static_cast<int32_t>(std::min<int64_t>(lowRow * g.cellHeight, rows));
        run.rowHigh = static_cast<int32_t>(std::min<int64_t>(highRow * g.cellHeight, rows));
        // One more than the run's elements: the pixel pass writes an entry
        // past the last one it keeps.
        const size_t most = static_cast<size_t>(int64_t{run.end - run.first} * g.columns) + 1;
        if (g.pixelPass && run.pixelMoves.size() < most) run.pixelMoves.resize(most);
        if (!g.pixelPass && run.moves.size() < most) run.moves.resize(most);
    }

    RampTable ramps;
    if (isDiagonal(settings.delayMap.source) || isDiagonal(settings.movingYMap.source) ||
        isDiagonal(settings.movingXMap.source))
        ramps.prepare(width, rows);
    FrameWalk walk{f, g, FramePixels{clip1Pixels, destPixels, width, rows}, settings, ramps, kernels,
                   runs_.data(), runCount, ownWrites_.data()};
    threads_.run(walkRun, &walk);
    threads_.run(layOtherRuns, &walk);
}

void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer) {
    runFrameSetup(request, settings, heapScratchMemory(), RenderCall{renderOnRenderer, &renderer});
}

}  // namespace glimmer

#include "parallel_render.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>
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

// What the leader saw, for the next frame's split.
struct LeaderLog {
    int32_t rowsWalked = 0;     // by the leader, before the split
    int32_t rowsTaken = 0;      // before the split, by the others
    int32_t rowsCaughtUp = 0;   // after the split, walked by the leader
    double walkSeconds = 0;     // on the rows before the split
    double waitSeconds = 0;     // for the others' notes after the split
    double endSeconds = 0;      // when the leader wrote its last row
    double beginSeconds = 0;    // when the others set out
};

struct FrameWalk {
    const FrameMotion& f;
    const ElementGrid& g;
    FramePixels fr;
    int64_t aLine;  // words from one row of image A to the next
    const TransitionSettings& settings;
    const RampTable& ramps;
    const ChunkKernels& kernels;
    int32_t* targets;
    ClippedCell* clipped;
    // Rows 0..split-1 are the leader's to walk; the other threads take them
    // from the back once rows split.. are all taken. `taken` holds the
    // leader's next from the front in the low half, the first taken from the
    // back in the high half; `next` the next row from split on.
    int32_t split;
    std::atomic<uint64_t>* taken;
    std::atomic<int32_t>* next;
    std::atomic<int32_t>* rowNoted;  // by element row
    LeaderLog* log;
    std::atomic<double>* othersEnd;  // when the last of the others ran out of rows
};

struct WalkOrder {
    bool rowsDown, columnsBack;
    int32_t y0(const ElementGrid& g, int32_t n) const { return (rowsDown ? g.rows - 1 - n : n) * g.cellHeight; }
};

WalkOrder walkOrderOf(const TransitionSettings& s) {
    return WalkOrder{(s.orderFlags & 1) != 0, (s.orderFlags & 2) != 0};
}

uint64_t takenRows(uint32_t front, uint32_t back) { return uint64_t{back} << 32 | front; }

// Takes the next row from the front (the leader) or from the back; -1 when
// the two have met.
int32_t takeRow(const FrameWalk& w, bool fromFront) {
    uint64_t now = w.taken->load(std::memory_order_relaxed);
    for (;;) {
        const uint32_t front = static_cast<uint32_t>(now), back = static_cast<uint32_t>(now >> 32);
        if (front >= back) return -1;
        const uint64_t next = fromFront ? takenRows(front + 1, back) : takenRows(front, back - 1);
        if (w.taken->compare_exchange_weak(now, next, std::memory_order_relaxed))
            return static_cast<int32_t>(fromFront ? front : back - 1);
    }
}

// Cells that the whole-cell writes do not take, noted for the leader.
void noteClippedCells(const FrameWalk& w, const ChunkPlace& p, const ElementChunk& c, int32_t* targets,
                      ClippedCell* clipped) {
    // Most chunks have none: one pass over the flags, which vectorises,
    // spares a test and a branch per cell.
    int32_t any = 0;
    for (int32_t i = 0; i < p.count; ++i) any |= c.clipped[i];
    if (any == 0) return;
    const FramePixels& fr = w.fr;
    for (int32_t i = 0, x = p.x; i < p.count; ++i, x += p.step) {
        if (c.clipped[i] == 0) continue;
        targets[i] = -1;
        if (c.waiting[i] != 0) {
            clipped[i] = ClippedCell{x, p.y0, 0, 0};
        } else {
            const double dx = c.dx[i], dy = c.dy[i];
            // placeCell's test, before anything is converted.
            if (!(dx > -fr.width && dx < fr.width && dy > -fr.rows && dy < fr.rows)) continue;
            clipped[i] = ClippedCell{x, p.y0, static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
        }
        targets[i] = -2;
    }
}

// One thread's maps and chunk, kept over the rows it walks.
struct RowWalker {
    MapWalk delayMap, movingYMap, movingXMap;
    ElementChunk chunk;

    explicit RowWalker(const FrameWalk& w)
        : delayMap(w.settings.delayMap, w.fr.width, w.fr.rows, w.ramps),
          movingYMap(w.settings.movingYMap, w.fr.width, w.fr.rows, w.ramps),
          movingXMap(w.settings.movingXMap, w.fr.width, w.fr.rows, w.ramps) {}

    // Walks element row n from generator state `state`, as renderDissipation
    // walks it: writes its elements (the leader) or notes them. Answers the
    // state after the row.
    uint32_t walk(const FrameWalk& w, int32_t n, uint32_t state, bool write) {
        const FramePixels& fr = w.fr;
        const ElementGrid& g = w.g;
        const WalkOrder order = walkOrderOf(w.settings);
        const int32_t step = order.columnsBack ? -g.cellWidth : g.cellWidth;
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
            if (g.pixelPass) {
                w.kernels.placePixels(w.f, yValues, xValues, p, fr.width, fr.rows, chunk);
            } else {
                w.kernels.placeCells(w.f, yValues, xValues, p, g.cellWidth, g.cellHeight, fr.width, fr.rows, chunk);
            }
            if (write) {
                if (g.pixelPass) writePixels(fr, p, chunk);
                else writeCells(fr, p, g.cellWidth, g.cellHeight, chunk);
                continue;
            }
            const int64_t first = int64_t{n} * g.columns + done;
            std::memcpy(w.targets + first, chunk.target, sizeof(int32_t) * static_cast<size_t>(count));
            if (!g.pixelPass) noteClippedCells(w, p, chunk, w.targets + first, w.clipped + first);
        }
        return state;
    }
};

void replayRow(const FrameWalk& w, int32_t n);

// The generator's state at the first element of row n: every element draws
// four numbers.
uint32_t stateAtRow(const ElementGrid& g, int32_t n) {
    const FrameRandomJump skip =
        frameRandomJumpBy(uint64_t{4} * static_cast<uint64_t>(n) * static_cast<uint64_t>(g.columns));
    return frameRandomSeed * skip.multiplier + skip.increment;
}

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The chunk writers read image A at the destination's row length; a
// picture laid out otherwise is noted and written as the others' rows are.
uint32_t walkAndWrite(const FrameWalk& w, RowWalker& walker, int32_t n, uint32_t state) {
    if (w.aLine == w.fr.width) return walker.walk(w, n, state, true);
    state = walker.walk(w, n, state, false);
    replayRow(w, n);
    return state;
}

// Answers how long it waited.
double waitUntilNoted(const FrameWalk& w, int32_t n) {
    if (w.rowNoted[n].load(std::memory_order_acquire) != 0) return 0;
    const double start = secondsNow();
    while (w.rowNoted[n].load(std::memory_order_acquire) == 0) std::this_thread::yield();
    return secondsNow() - start;
}

// The leader walks and writes rows from the front up to the split, then
// writes the rows the others noted, in walk order, as they are noted. A row
// that no thread has taken yet when the leader reaches it, the leader walks
// and writes itself.
void leadRows(const FrameWalk& w, RowWalker& walker) {
    const ElementGrid& g = w.g;
    LeaderLog& log = *w.log;
    const double start = secondsNow();
    uint32_t state = frameRandomSeed;
    int32_t n = takeRow(w, true);
    for (; n >= 0; n = takeRow(w, true), ++log.rowsWalked) state = walkAndWrite(w, walker, n, state);
    log.walkSeconds = secondsNow() - start;
    log.rowsTaken = w.split - log.rowsWalked;
    for (n = log.rowsWalked; n < w.split; ++n) {
        waitUntilNoted(w, n);
        replayRow(w, n);
    }
    for (n = w.split; n < g.rows; ++n) {
        int32_t untaken = n;
        if (w.next->compare_exchange_strong(untaken, n + 1, std::memory_order_relaxed)) {
            walkAndWrite(w, walker, n, stateAtRow(g, n));
            ++log.rowsCaughtUp;
            continue;
        }
        log.waitSeconds += waitUntilNoted(w, n);
        replayRow(w, n);
    }
    log.endSeconds = secondsNow();
}

// The other threads note rows from the split on, then the leader's from the
// back.
void noteRows(const FrameWalk& w, RowWalker& walker) {
    const ElementGrid& g = w.g;
    const auto note = [&](int32_t n) {
        walker.walk(w, n, stateAtRow(g, n), false);
        w.rowNoted[n].store(1, std::memory_order_release);
    };
    for (int32_t n = w.next->fetch_add(1, std::memory_order_relaxed); n < g.rows;
         n = w.next->fetch_add(1, std::memory_order_relaxed))
        note(n);
    for (int32_t n = takeRow(w, false); n >= 0; n = takeRow(w, false)) note(n);
    const double end = secondsNow();
    double last = w.othersEnd->load(std::memory_order_relaxed);
    while (last < end && !w.othersEnd->compare_exchange_weak(last, end, std::memory_order_relaxed)) {
    }
}

void walkRows(void* context, int32_t k) {
    const FrameWalk& w = *static_cast<const FrameWalk*>(context);
    RowWalker walker(w);
    if (k == 0) leadRows(w, walker);
    else noteRows(w, walker);
}

// A noted row of the pixel pass written in walk order.
void replayPixels(const FrameWalk& w, int32_t n) {
    const ElementGrid& g = w.g;
    const int64_t width = w.fr.width;
    uint32_t* __restrict d = w.fr.d;
    const WalkOrder order = walkOrderOf(w.settings);
    const int32_t step = order.columnsBack ? -1 : 1;
    const uint32_t* __restrict from = w.fr.a + order.y0(g, n) * w.aLine + (order.columnsBack ? width - 1 : 0);
    const int32_t* __restrict rowTargets = w.targets + n * width;
    // The look ahead stays inside the row: the next may still be being noted.
    uint32_t sink;
    for (int64_t i = 0; i < width; ++i, from += step) {
        const int32_t ahead = i + prefetchDistance < width ? rowTargets[i + prefetchDistance] : -1;
        __builtin_prefetch(d + (ahead >= 0 ? ahead : 0), 1);
        const int32_t t = rowTargets[i];
        *(t >= 0 ? d + t : &sink) = *from;
    }
}

// A noted row of cells written in walk order: whole cells copied row by row
// (the default 2 x 2 in two 8-byte moves), clipped ones as the one-thread
// render places them.
template <bool defaultCells>
void replayCells(const FrameWalk& w, int32_t n) {
    const ElementGrid& g = w.g;
    const FramePixels& fr = w.fr;
    const int64_t width = fr.width;
    const int32_t cw = g.cellWidth, ch = g.cellHeight;
    const WalkOrder order = walkOrderOf(w.settings);
    uint32_t* __restrict d = fr.d;
    const int32_t y0 = order.y0(g, n);
    const int32_t* rowTargets = w.targets + int64_t{n} * g.columns;
    const ClippedCell* rowClipped = w.clipped + int64_t{n} * g.columns;
    const int64_t aLine = w.aLine;
    const uint32_t* rowA = fr.a + y0 * aLine;
    for (int32_t j = 0; j < g.columns; ++j) {
        const int32_t ahead = j + prefetchDistance < g.columns ? rowTargets[j + prefetchDistance] : -1;
        if (ahead >= 0) {
            __builtin_prefetch(d + ahead, 1);
            __builtin_prefetch(d + ahead + (ch - 1) * width, 1);
        }
        const int32_t t = rowTargets[j];
        if (t == -1) continue;
        if (t < -1) {
            const ClippedCell& m = rowClipped[j];
            placeCellFrom(fr, aLine, m.x0, m.y0, cw, ch, m.dx, m.dy);
            continue;
        }
        const uint32_t* from = rowA + (order.columnsBack ? g.columns - 1 - j : j) * cw;
        if (defaultCells) {
            uint64_t row0, row1;
            std::memcpy(&row0, from, sizeof row0);
            std::memcpy(&row1, from + aLine, sizeof row1);
            std::memcpy(d + t, &row0, sizeof row0);
            std::memcpy(d + t + width, &row1, sizeof row1);
        } else {
            for (int64_t row = 0; row < ch; ++row) copyWords(d + t + row * width, from + row * aLine, cw);
        }
    }
}

void replayRow(const FrameWalk& w, int32_t n) {
    if (w.g.pixelPass) replayPixels(w, n);
    else if (w.g.cellWidth == 2 && w.g.cellHeight == 2) replayCells<true>(w, n);
    else replayCells<false>(w, n);
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

// One frame between begin() and finish(): what the threads read, kept with
// the renderer so that a frame allocates nothing.
struct ParallelRenderer::Frame {
    TransitionSettings settings;
    ElementGrid g;
    FrameMotion f;
    RampTable ramps;
    std::atomic<uint64_t> taken{0};
    std::atomic<int32_t> next{0};
    std::atomic<double> othersEnd{0};
    LeaderLog log;
    std::optional<FrameWalk> walk;
};

ParallelRenderer::ParallelRenderer(int32_t threads) : threads_(threads), leaderShare_(0.5 / threads_.count()) {}

ParallelRenderer::~ParallelRenderer() { threads_.wait(); }

void ParallelRenderer::render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                              const TransitionSettings& settings, int32_t position, int32_t total,
                              const ChunkKernels& kernels) {
    if (begin(clip1Pixels, rows, rowBytes, settings, position, total, kernels)) finish(clip1Pixels, destPixels);
    else renderDissipation(clip1Pixels, destPixels, rows, rowBytes, settings, position, total, kernels);
}

bool ParallelRenderer::begin(const uint32_t* clip1Pixels, int32_t rows, int32_t rowBytes,
                             const TransitionSettings& settings, int32_t position, int32_t total,
                             const ChunkKernels& kernels) {
    threads_.wait();
    const int32_t width = rowBytes / 4;
    if (threads_.count() < 2 || rows <= 0 || width <= 0 || !fitsElementChunks(width, rows) ||
        anyMapReadsClipTwo(settings) || (clip1Pixels == nullptr && anyMapReadsClipOne(settings)))
        return false;
    try {
        if (frame_ == nullptr) frame_.reset(new Frame);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Frame& frame = *frame_;
    frame.settings = settings;
    ElementGrid& g = frame.g;
    if (!chooseElementGrid(frame.settings, width, rows, g) || g.rows <= 1) return false;
    if (!prepareFrameMotion(frame.settings, position, total, width, rows, frame.f)) return false;

    const size_t elements = static_cast<size_t>(int64_t{g.rows} * g.columns);
    try {
        if (targets_.size() < elements) targets_.resize(elements);
        if (!g.pixelPass && clipped_.size() < elements) clipped_.resize(elements);
        if (rowNotedCount_ < g.rows) {
            rowNoted_.reset(new std::atomic<int32_t>[static_cast<size_t>(g.rows)]);
            rowNotedCount_ = g.rows;
        }
    } catch (const std::bad_alloc&) {
        // The hosts call from C; the one-thread walk needs no memory.
        return false;
    }
    for (int32_t n = 0; n < g.rows; ++n) rowNoted_[static_cast<size_t>(n)].store(0, std::memory_order_relaxed);

    frame.ramps.ready = false;
    if (isDiagonal(settings.delayMap.source) || isDiagonal(settings.movingYMap.source) ||
        isDiagonal(settings.movingXMap.source))
        frame.ramps.prepare(width, rows);
    const int32_t leaderRows = std::min(g.rows, static_cast<int32_t>(leaderShare_ * g.rows + 0.5));
    frame.taken.store(takenRows(0, static_cast<uint32_t>(leaderRows)), std::memory_order_relaxed);
    frame.next.store(leaderRows, std::memory_order_relaxed);
    frame.othersEnd.store(0, std::memory_order_relaxed);
    frame.log = LeaderLog{};
    frame.log.beginSeconds = secondsNow();
    // The others never write the frame, and read image A only where a map
    // samples it.
    frame.walk.emplace(FrameWalk{frame.f, g, FramePixels{clip1Pixels, nullptr, width, rows}, width, frame.settings,
                                 frame.ramps, kernels, targets_.data(), clipped_.data(), leaderRows, &frame.taken,
                                 &frame.next, rowNoted_.get(), &frame.log, &frame.othersEnd});
    threads_.startOthers(walkRows, &*frame.walk);
    return true;
}

void ParallelRenderer::finish(const uint32_t* clip1Pixels, uint32_t* destPixels) {
    finish(clip1Pixels, frame_->walk->fr.width, destPixels);
}

void ParallelRenderer::finish(const uint32_t* clip1Rows, int64_t clip1Line, uint32_t* destPixels) {
    Frame& frame = *frame_;
    FrameWalk lead = *frame.walk;
    lead.fr.a = clip1Rows;
    lead.aLine = clip1Line;
    lead.fr.d = destPixels;
    walkRows(&lead, 0);
    threads_.wait();
    // Half-way to where the leader and the others would have finished
    // together, the next frame's costs being much like this one's: the
    // leader walks fewer rows where the others took some of its own or
    // were idle while it wrote the last of their notes, more where it
    // caught up with them or waited for their notes. Times become rows at
    // the leader's own rate of walking and writing.
    const LeaderLog& log = frame.log;
    // A leader that walked no rows before the split (one that came late, as
    // the OBS module's does after reading image A back) goes by the others'
    // rate, each walking a row at a time; with no rate at all its waiting
    // and the others' idling would weigh a row each and cancel, and the
    // split would stay where it is.
    const double othersEnd = frame.othersEnd.load(std::memory_order_relaxed);
    const int32_t othersRows = frame.g.rows - log.rowsWalked - log.rowsCaughtUp;
    const double rowSeconds = log.rowsWalked > 0 ? log.walkSeconds / log.rowsWalked
                              : othersRows > 0
                                  ? (othersEnd - log.beginSeconds) * (threads_.count() - 1) / othersRows
                                  : 0;
    const auto rowsIn = [&](double seconds) {
        return rowSeconds > 0 ? seconds / rowSeconds : (seconds > 0 ? 1 : 0);
    };
    const double rowsIdle = rowsIn(std::max(0.0, log.endSeconds - othersEnd));
    const double moved =
        0.5 * (log.rowsCaughtUp + rowsIn(log.waitSeconds) - log.rowsTaken - rowsIdle) / frame.g.rows;
    leaderShare_ = std::min(1.0, std::max(0.0, leaderShare_ + moved));
}

void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer) {
    runFrameSetup(request, settings, heapScratchMemory(), RenderCall{renderOnRenderer, &renderer});
}

}  // namespace glimmer

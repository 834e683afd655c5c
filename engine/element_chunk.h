// The elements of one chunk of an element row, four at a time.
//
// Used when no source map reads the destination: then every element's
// numbers can be computed before any element writes. The numbers are the
// same doubles the element-by-element formulas of frame_motion.h give; the
// writes then happen one element at a time, in processing order, because a
// later element may land where an earlier one did.
#pragma once

#include <cstdint>

#include "cell_copy.h"
#include "frame_motion.h"
#include "map_walk.h"

namespace glimmer {

// Where a chunk lies: element row y0, first column x, column step (the cell
// width, negative when walking back), element count (at most chunkColumns).
struct ChunkPlace {
    int32_t y0, x, step, count;
};

// The writes ask for the destination lines of the element this far ahead:
// targets are scattered over the frame, and asking early keeps several
// misses in flight instead of one at a time.
constexpr int32_t prefetchDistance = 32;

struct alignas(32) ElementChunk {
    double r3[chunkColumns], r4[chunkColumns];   // centred speed draws
    double tau[chunkColumns];                    // motion time
    int32_t waiting[chunkColumns];               // all ones: not started yet
    int32_t moving[chunkColumns];                // all ones: started, alive
    // Written by the placement steps, read by the writes.
    // Word index, or -1 for no whole-cell write. The entries past a chunk's
    // end are only ever prefetched, so they hold an index in the frame.
    int32_t target[chunkColumns + prefetchDistance] = {};
    int32_t clipped[chunkColumns]; // all ones: needs the clipped cell copy
    double dx[chunkColumns], dy[chunkColumns];
};

// The vector path indexes the frame with int32 words, and a cell moved by
// less than the frame's size in either direction stays within int32.
inline bool fitsElementChunks(int32_t width, int32_t rows) {
    return int64_t{width} * rows < (int64_t{1} << 31) && width <= (1 << 30) && rows <= (1 << 30);
}

// The writes of the chunk, in processing order.
void writePixels(const FramePixels& fr, const ChunkPlace& p, const ElementChunk& c);
void writeCells(const FramePixels& fr, const ChunkPlace& p, int32_t cellWidth, int32_t cellHeight,
                const ElementChunk& c);

}  // namespace glimmer

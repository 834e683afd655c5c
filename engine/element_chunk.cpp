#include "element_chunk.h"

#include <cstring>

namespace glimmer {

void writePixels(const FramePixels& fr, const ChunkPlace& p, const ElementChunk& c) {
    const uint32_t* __restrict from = fr.a + int64_t{p.y0} * fr.width + p.x;
    uint32_t* __restrict d = fr.d;
    const int32_t count = p.count, step = p.step;
    uint32_t sink;
    for (int32_t i = 0; i < count; ++i, from += step) {
        const int32_t ahead = c.target[i + prefetchDistance];
        __builtin_prefetch(d + (ahead >= 0 ? ahead : 0), 1);
        const int32_t t = c.target[i];
        // No branch on where the element goes: that is different for
        // almost every element and would be mispredicted half the time.
        uint32_t* to = t >= 0 ? d + t : &sink;
        *to = *from;
    }
}

namespace {

// Rare: kept out of line so that it takes no registers from the loops.
[[gnu::noinline]] void writeClippedCell(const FramePixels& fr, int32_t x, int32_t y0, int32_t cellWidth,
                                        int32_t cellHeight, const ElementChunk& c, int32_t i) {
    if (c.waiting[i] != 0) copyCellInPlace(fr, x, y0, cellWidth, cellHeight);
    else placeCell(fr, x, y0, cellWidth, cellHeight, c.dx[i], c.dy[i]);
}

// The 2 x 2 cells of a chunk that lies whole inside the frame: apart from
// the few clipped ones, every cell moves whole or writes nothing, and its
// own place in image A can always be read.
void writeWholeCells(const FramePixels& fr, const ChunkPlace& p, const ElementChunk& c) {
    const int64_t width = fr.width;
    const uint32_t* __restrict from = fr.a + p.y0 * width + p.x;
    uint32_t* __restrict d = fr.d;
    const int32_t count = p.count, step = p.step;
    for (int32_t i = 0; i < count; ++i, from += step) {
        const int32_t ahead = c.target[i + prefetchDistance];
        uint32_t* later = d + (ahead >= 0 ? ahead : 0);
        __builtin_prefetch(later, 1);
        __builtin_prefetch(later + width, 1);
        if (__builtin_expect(c.clipped[i] != 0, 0)) {
            writeClippedCell(fr, p.x + i * step, p.y0, 2, 2, c, i);
            continue;
        }
        // Cells that write nothing come in long runs (where elements have
        // died), so unlike the pixel pass this branch is well predicted.
        const int32_t t = c.target[i];
        if (t < 0) continue;
        // Two words a row, in one move each.
        uint64_t row0, row1;
        std::memcpy(&row0, from, sizeof row0);
        std::memcpy(&row1, from + width, sizeof row1);
        std::memcpy(d + t, &row0, sizeof row0);
        std::memcpy(d + t + width, &row1, sizeof row1);
    }
}

}  // namespace

void writeCells(const FramePixels& fr, const ChunkPlace& p, int32_t cellWidth, int32_t cellHeight,
                const ElementChunk& c) {
    const int32_t last = p.step > 0 ? p.x + (p.count - 1) * p.step : p.x;
    if (cellWidth == 2 && cellHeight == 2 && p.y0 + 2 <= fr.rows && last + 2 <= fr.width) {
        writeWholeCells(fr, p, c);
        return;
    }
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int64_t width = fr.width;
    int64_t x = p.x;
    for (int32_t i = 0; i < p.count; ++i, x += p.step) {
        if (c.clipped[i] != 0) {
            writeClippedCell(fr, static_cast<int32_t>(x), p.y0, cellWidth, cellHeight, c, i);
            continue;
        }
        const int32_t ahead = c.target[i + prefetchDistance];
        if (ahead >= 0) {
            __builtin_prefetch(d + ahead, 1);
            __builtin_prefetch(d + ahead + (cellHeight - 1) * width, 1);
        }
        const int32_t t = c.target[i];
        if (t < 0) continue;
        const int64_t from = p.y0 * width + x;
        for (int32_t j = 0; j < cellHeight; ++j) copyWords(d + t + j * width, a + from + j * width, cellWidth);
    }
}

}  // namespace glimmer

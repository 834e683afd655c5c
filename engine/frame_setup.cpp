#include "frame_setup.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "render_dissipation.h"

namespace glimmer {
namespace {

void* obtainFromHeap(std::size_t bytes, void*) { return ::operator new(bytes, std::nothrow); }
void releaseToHeap(void* block, void*) { ::operator delete(block); }

const ScratchMemory heapScratch{obtainFromHeap, releaseToHeap, nullptr};

// Second halves of rows: halfWords words starting rowBytes / 2 bytes into
// each row. With rowBytes % 8 == 4 that start is not word-aligned, so the
// halves are copied as bytes.
void copySecondHalves(unsigned char* to, const unsigned char* from, int64_t rows,
                      int64_t rowBytes, int64_t halfWords, bool intoRows) {
    const std::size_t halfBytes = static_cast<std::size_t>(halfWords) * 4;
    const int64_t start = rowBytes / 2;
    for (int64_t r = 0; r < rows; ++r) {
        unsigned char* rowSlot = intoRows ? to + r * rowBytes + start : to + r * halfWords * 4;
        const unsigned char* fromSlot = intoRows ? from + r * halfWords * 4 : from + r * rowBytes + start;
        std::memcpy(rowSlot, fromSlot, halfBytes);
    }
}

void restoreHalvesFromImage(unsigned char* destination, const unsigned char* image, int64_t rows,
                            int64_t rowBytes, int64_t halfWords) {
    const std::size_t halfBytes = static_cast<std::size_t>(halfWords) * 4;
    const int64_t start = rowBytes / 2;
    for (int64_t r = 0; r < rows; ++r)
        std::memcpy(destination + r * rowBytes + start, image + r * rowBytes + start, halfBytes);
}

void renderOnThisThread(void*, const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                        const TransitionSettings& settings, int32_t position, int32_t total) {
    renderDissipation(clip1Pixels, destPixels, rows, rowBytes, settings, position, total);
}

}  // namespace

const ScratchMemory& heapScratchMemory() { return heapScratch; }

void runFrameSetup(const FrameRequest& q, const TransitionSettings& settings,
                   const ScratchMemory& scratch) {
    runFrameSetup(q, settings, scratch, RenderCall{renderOnThisThread, nullptr});
}

void runFrameSetup(const FrameRequest& q, const TransitionSettings& settings, const ScratchMemory& scratch,
                   const RenderCall& render) {
    const int32_t rows = q.rows;
    const int32_t rowBytes = q.rowBytes;
    if (rows <= 0 || rowBytes / 4 <= 0) return;
    const int64_t frameBytes = static_cast<int64_t>(rowBytes) * rows;
    const bool odd = (q.position & 1) != 0;

    if (!(q.interleaved && odd))
        std::memcpy(q.destination, q.imageB, static_cast<std::size_t>(frameBytes / 4) * 4);

    if (!q.interleaved) {
        render.render(render.context, q.imageA, q.destination, rows, rowBytes, settings, q.position, q.total);
        return;
    }

    // The renderer sees every row as two lines of half the length.
    const int32_t lines = rows > INT32_MAX / 2 ? 0 : 2 * rows;
    const int64_t halfWords = rowBytes / 8;
    auto* dest = reinterpret_cast<unsigned char*>(q.destination);
    void* saved = scratch.obtain(static_cast<std::size_t>(frameBytes / 2), scratch.context);
    if (saved == nullptr) {
        // Without a place to keep the protected halves: at an even position
        // they hold image B, which can be put back from the source; at an
        // odd position they hold what the host put there, which would be
        // lost, so the frame stays as it is.
        if (odd) return;
        render.render(render.context, q.imageA, q.destination, lines, rowBytes / 2, settings, q.position, q.total);
        restoreHalvesFromImage(dest, reinterpret_cast<const unsigned char*>(q.imageB), rows, rowBytes, halfWords);
        return;
    }
    auto* halves = static_cast<unsigned char*>(saved);
    copySecondHalves(halves, dest, rows, rowBytes, halfWords, false);
    render.render(render.context, q.imageA, q.destination, lines, rowBytes / 2, settings, q.position, q.total);
    copySecondHalves(dest, halves, rows, rowBytes, halfWords, true);
    scratch.release(saved, scratch.context);
}

}  // namespace glimmer

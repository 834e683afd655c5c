// Frame setup: from a frame request to one call of the renderer.
//
// The one routine that every caller runs — the plug-in's render selector, its
// settings dialog's preview, the command-line renderer and the frei0r
// adapter — so that all of them produce the same pixels. It lays image B into
// the destination as the background, and in interleaved-line mode lets the
// renderer work on a doubled line grid while it protects the second half of
// every row.
//
// Buffers follow the contract in render_dissipation.h. Image A and image B
// are taken to have the destination's geometry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

// Where the interleaved-line scratch buffer comes from. The plug-in takes it
// from the host system's global memory; portable callers use the heap.
// obtain may fail (answer null); release gets back what obtain gave.
struct ScratchMemory {
    void* (*obtain)(std::size_t bytes, void* context);
    void (*release)(void* block, void* context);
    void* context;
};

// Scratch memory from operator new (nothrow).
const ScratchMemory& heapScratchMemory();

struct FrameRequest {
    const uint32_t* imageA;
    const uint32_t* imageB;
    uint32_t* destination;
    int32_t rows;             // lines of the frame (bounds bottom minus top)
    int32_t rowBytes;         // bytes per row, the whole pitch counting as pixels
    int32_t position;         // frame of the transition, from 0
    int32_t total;            // length of the transition in frames
    bool interleaved;         // interleaved-line mode
};

// The widest frame the command-line renderer and the frei0r plug-in hand
// to frame setup (DCI 4K is 4096, 8K 7680): wider ones would only be a
// typing slip or a hostile file asking for gigabytes.
constexpr int32_t widestFrame = 16384;

// Renders the frame into request.destination. Rows or widths of 0 or less
// write nothing. In interleaved-line mode at an odd position image B is not
// copied and only the first half of each row changes.
void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings,
                   const ScratchMemory& scratch = heapScratchMemory());

// What draws the elements once image B is laid: renderDissipation, or
// another way to the same bytes (parallel_render.h).
struct RenderCall {
    void (*render)(void* context, const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                   int32_t rowBytes, const TransitionSettings& settings, int32_t position, int32_t total);
    void* context;
};

void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, const ScratchMemory& scratch,
                   const RenderCall& render);

}  // namespace glimmer

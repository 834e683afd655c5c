// The vector kernels of the element chunks, one set per instruction set.
//
// Every set computes the same numbers bit for bit; they differ only in
// speed. The renderer uses the set chosenChunkKernels() answers; the tests
// render with each set the build carries.
#pragma once

#include <cstdint>

#include "element_chunk.h"
#include "frame_motion.h"
#include "transition_settings.h"

namespace glimmer {

struct ChunkKernels {
    // Draws every element's four numbers starting from `state`, then its
    // delay, life, age and motion time. Answers the state after the chunk;
    // `anyMoving` tells whether some element has started and is still alive.
    uint32_t (*ageElements)(const FrameMotion& f, const double* delayValues, uint32_t state, int32_t count,
                            ElementChunk& c, bool& anyMoving);
    // Pixel pass: speeds, displacements and each element's target word (its
    // own place while waiting, the moved place when it lands in the frame
    // past row 0 and column 0, else -1). yValues and xValues may be null
    // when nothing moves.
    void (*placePixels)(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                        int32_t width, int32_t rows, ElementChunk& c);
    // Cell pass, the same for whole cells: the target of a cell that is
    // copied whole, or `clipped` for the cells that need placeCell or
    // copyCellInPlace.
    void (*placeCells)(const FrameMotion& f, const double* yValues, const double* xValues, const ChunkPlace& p,
                       int32_t cellWidth, int32_t cellHeight, int32_t width, int32_t rows, ElementChunk& c);
};

// What every processor of the target runs: SSE2 on x86.
namespace baseline {
extern const ChunkKernels chunkKernels;
}

#if GLIMMER_AVX2_KERNELS
namespace avx2 {
extern const ChunkKernels chunkKernels;
}
#endif

// The AVX2 set where this build carries it and the processor and the
// operating system run it, else the baseline.
const ChunkKernels& chosenChunkKernels();

// renderDissipation with the given kernels.
void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                       const TransitionSettings& settings, int32_t position, int32_t total,
                       const ChunkKernels& kernels);

}  // namespace glimmer

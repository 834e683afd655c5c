// One frame of the transition on several threads, byte for byte the frame
// renderDissipation draws on one.
//
// The element rows are split, in walk order, into one run per thread; a
// thread's band is the frame rows its own elements start on. First every
// thread walks its run, with the generator jumped to the run's first
// element, writes the elements that land in its band straight away and
// keeps the others in a list. Then every thread lays the other threads'
// elements that land in its band: those of earlier runs only where its own
// elements wrote nothing (they came before them), those of later runs over
// everything. So on every pixel the last element in walk order wins, as on
// one thread.
//
// Maps that read clip 2 sample the destination as earlier elements left it,
// which no split of the walk can know: such frames, and frames too large for
// the chunked walk, render on the calling thread alone.
#pragma once

#include <cstdint>
#include <vector>

#include "chunk_kernels.h"
#include "frame_setup.h"
#include "render_threads.h"
#include "transition_settings.h"

namespace glimmer {

// An element that lands outside its own thread's band: its cell (1 x 1 in
// the pixel pass) at column x0, row y0, moved left by dx and down by dy
// whole pixels.
struct ElementMove {
    int32_t x0, y0, dx, dy;
};

// A pixel-pass element that lands outside its thread's band: the word it
// comes from and the word it lands on.
struct PixelMove {
    int32_t from, to;
};

struct ElementRun {
    int32_t first, end;        // element rows, as counted in walk order
    int32_t rowLow, rowHigh;   // the frame rows its elements start on
    // The elements that land outside the band, the first moveCount of
    // moves; sized for a whole run once, so that the walk appends to it
    // without a test or a branch.
    std::vector<ElementMove> moves;      // the cell pass's
    std::vector<PixelMove> pixelMoves;   // the pixel pass's
    size_t moveCount;
};

// The threads and the memory they write besides the frame, kept from frame
// to frame: it grows to the largest frame rendered and is not given back.
class ParallelRenderer {
public:
    explicit ParallelRenderer(int32_t threads) : threads_(threads) {}

    int32_t threads() const { return threads_.count(); }

    // renderDissipation on this renderer's threads.
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total);
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total, const ChunkKernels& kernels);

private:
    RenderThreads threads_;
    std::vector<ElementRun> runs_;
    std::vector<uint8_t> ownWrites_;  // one a pixel: written by its band's own run
};

// runFrameSetup with the renderer's threads.
void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer);

}  // namespace glimmer

// One frame of the transition on several threads, byte for byte the frame
// renderDissipation draws on one.
//
// The element rows are split, in walk order, into one run per thread. Every
// thread walks its run, with the generator jumped to the run's first
// element: the first run's thread writes its elements as it goes, as the
// one-thread render does, while the others note where each of theirs lands,
// in memory the renderer keeps, and then write their run as soon as every
// run before it is written. So the frame takes the runs in walk order, on
// every pixel the last element in walk order wins, as on one thread, and no
// two threads write the frame at once. The first run is the shorter, since
// its thread writes as well as walks while the others only walk.
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

// A cell that the whole-cell writes leave (cut by the frame's edge where it
// is or where it lands): its place at column x0, row y0, moved left by dx
// and down by dy whole pixels.
struct ClippedCell {
    int32_t x0, y0, dx, dy;
};

struct ElementRun {
    int32_t first, end;              // element rows, as counted in walk order
    std::vector<ClippedCell> clipped;  // sized for the whole run once
    int32_t clippedCount;
};

// The threads and the memory they write besides the frame, kept from frame
// to frame: it grows to the largest frame rendered and is not given back.
class ParallelRenderer {
public:
    explicit ParallelRenderer(int32_t threads) : threads_(threads) {}

    int32_t threads() const { return threads_.count(); }
    // Other work of the host's on the same threads, such as the copies into
    // and out of the frame: task(context, k) for every k below threads().
    void runOnThreads(void (*task)(void* context, int32_t k), void* context) { threads_.run(task, context); }

    // renderDissipation on this renderer's threads.
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total);
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total, const ChunkKernels& kernels);

private:
    RenderThreads threads_;
    std::vector<ElementRun> runs_;
    // Where each element lands, in walk order: a word of the frame, -1 for
    // nowhere, or -2 - k for clipped cell k of its run.
    std::vector<int32_t> targets_;
};

// runFrameSetup with the renderer's threads.
void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer);

}  // namespace glimmer

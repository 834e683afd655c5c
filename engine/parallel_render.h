// One frame of the transition on several threads, byte for byte the frame
// renderDissipation draws on one.
//
// The element rows are shared out as the threads go. The calling thread,
// the leader, walks the first rows in walk order and writes their elements
// as it goes, as the one-thread render does. The other threads meanwhile
// take the rows after those one by one, each walking its row with the
// generator jumped to the row's first element, and note where each element
// lands, in memory the renderer keeps. The leader then writes the noted
// rows, row by row in walk order, each as soon as it is noted, and walks
// any row it reaches before another thread has taken it. So only the leader
// writes the frame, and it writes every element in walk order: on every
// pixel the last element in walk order wins, as on one thread.
//
// How many rows the leader walks first is set from frame to frame so that
// it finishes writing as the others finish noting: if they ran out of rows
// and took some of its own from the back, or sat idle while it wrote the
// last of their notes, it walks fewer next time; if it caught up with them
// or waited for their notes, more. Which thread walks a row changes only
// the time a frame takes, never its bytes.
//
// Maps that read clip 2 sample the destination as earlier elements left it,
// which no split of the walk can know: such frames, and frames too large for
// the chunked walk, render on the calling thread alone.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
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

// The threads and the memory they write besides the frame, kept from frame
// to frame: it grows to the largest frame rendered and is not given back.
class ParallelRenderer {
public:
    explicit ParallelRenderer(int32_t threads);
    ~ParallelRenderer();

    int32_t threads() const { return threads_.count(); }
    // Other work of the host's on the same threads, such as the copies into
    // and out of the frame: task(context, k) for every k below threads().
    void runOnThreads(void (*task)(void* context, int32_t k), void* context) { threads_.run(task, context); }
    // The same on the other threads alone, k from 1, while the calling
    // thread does something else; waitForOthers() returns once they are
    // done. Answers false, and starts nothing, where there are none.
    bool startOnOthers(void (*task)(void* context, int32_t k), void* context) {
        return threads_.startOthers(task, context);
    }
    void waitForOthers() { threads_.wait(); }

    // renderDissipation on this renderer's threads.
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total);
    void render(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows, int32_t rowBytes,
                const TransitionSettings& settings, int32_t position, int32_t total, const ChunkKernels& kernels);

    // The same frame in two steps, for a host that has image A only later:
    // begin() sets the other threads walking the element rows, which needs
    // image A only where a map samples it (clip1Pixels may then be null),
    // and finish() writes the frame on the calling thread with them, byte
    // for byte as render() does. Between the two the threads are busy:
    // runOnThreads() would wait for them. begin() answers false, and starts
    // nothing, for a frame that render() keeps to the calling thread or
    // whose maps read an image begin() was not given; render() then renders
    // it.
    bool begin(const uint32_t* clip1Pixels, int32_t rows, int32_t rowBytes, const TransitionSettings& settings,
               int32_t position, int32_t total, const ChunkKernels& kernels);
    void finish(const uint32_t* clip1Pixels, uint32_t* destPixels);
    // finish() with image A where the host holds it, for a frame begun
    // without it: row y of the frame (0 the bottom line) at clip1Rows +
    // y * clip1Line words, clip1Line negative for a picture stored top row
    // first, so that a mapped picture need not be copied first.
    void finish(const uint32_t* clip1Rows, int64_t clip1Line, uint32_t* destPixels);

private:
    RenderThreads threads_;
    // Where each element lands, in walk order: a word of the frame, -1 for
    // nowhere, or -2 for a clipped cell, which clipped_ holds at the same
    // index (cells only).
    std::vector<int32_t> targets_;
    std::vector<ClippedCell> clipped_;
    // By element row: set once another thread has noted it.
    std::unique_ptr<std::atomic<int32_t>[]> rowNoted_;
    int32_t rowNotedCount_ = 0;
    // The share of the rows that the calling thread walks before it writes
    // what the others noted, set from frame to frame so that all finish
    // together.
    double leaderShare_;
    struct Frame;
    std::unique_ptr<Frame> frame_;  // made at the first frame split, kept
};

// runFrameSetup with the renderer's threads.
void runFrameSetup(const FrameRequest& request, const TransitionSettings& settings, ParallelRenderer& renderer);

}  // namespace glimmer

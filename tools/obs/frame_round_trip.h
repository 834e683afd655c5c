// One transition frame through the engine: both scene pictures staged down
// from the graphics card, rendered on the CPU, the result uploaded into a
// texture that OBS draws.
//
// OBS textures are top row first and the engine's row 0 is the bottom line,
// so the pictures are flipped on their way out of the staging surfaces and
// back on their way into the texture; byte 0 of a GS_RGBA pixel is R on both
// sides. The flipped copy of image B is the engine's background copy, so a
// frame costs the two staging reads, two copies and the upload besides the
// renderer. The copies are split by rows over the engine's threads: one
// thread alone copies at a fraction of what the memory can do. Buffers and surfaces are made when the canvas size changes, never
// per frame. Everything here runs on OBS's graphics thread; the engine
// splits the frame over threads of its own, one a core, made with the
// transition and kept for its life.
#pragma once

#include <obs-module.h>

#include <cstdint>
#include <vector>

#include "parallel_render.h"
#include "transition_settings.h"

namespace glimmer::obs {

// The widest picture the engine takes: its row length in bytes is 14 bits.
constexpr uint32_t widestCanvas = 4095;

enum class RoundTripOutcome {
    rendered,     // frame() holds the transition frame
    tooWide,      // the canvas is wider than the engine takes
    notStaged,    // a scene picture could not be read back
};

class FrameRoundTrip {
public:
    FrameRoundTrip() = default;
    FrameRoundTrip(const FrameRoundTrip&) = delete;
    FrameRoundTrip& operator=(const FrameRoundTrip&) = delete;

    RoundTripOutcome render(gs_texture_t* a, gs_texture_t* b, uint32_t width, uint32_t rows, int32_t position,
                            int32_t total, const TransitionSettings& settings);

    // The texture of the last rendered frame, width x rows, GS_RGBA.
    gs_texture_t* frame() const { return frame_; }

    // Frees the surfaces and the texture; call inside the graphics context.
    void release();

private:
    bool fit(uint32_t width, uint32_t rows);
    static bool canStage(gs_texture_t* texture, uint32_t width, uint32_t rows);
    bool readBack();
    bool upload();

    uint32_t width_ = 0, rows_ = 0;
    gs_stagesurf_t* stageA_ = nullptr;
    gs_stagesurf_t* stageB_ = nullptr;
    gs_texture_t* frame_ = nullptr;
    std::vector<uint32_t> imageA_, destination_;
    ParallelRenderer renderer_{processorThreads()};
};

}  // namespace glimmer::obs

// One transition frame through the engine: the scene pictures staged down
// from the graphics card, rendered on the CPU, the result uploaded into a
// texture that OBS draws.
//
// Where no source map reads clip 2, the engine only draws over image B, so B
// stays on the card: the engine draws over a key colour that image A does
// not hold, and the frame is drawn through an effect that shows B's own
// texture wherever the key is left (keyed()). That reads back one picture
// instead of two and copies one fewer. Otherwise both pictures come down
// and B is the engine's background, as in every other host.
//
// Where the engine's other threads can walk the frame before image A is
// there (no map reads A), the engine reads A where it was staged, with no
// copy, and the frame is keyed at once with the key that the last A looked
// through held nowhere; A is looked through for it on the other threads
// while OBS sends the frame to the card. A frame whose A turns out to hold
// the key is rendered again the way that looks first.
//
// OBS textures are top row first and the engine's row 0 is the bottom line,
// so the pictures are flipped on their way out of the staging surfaces and
// back on their way into the texture; byte 0 of a GS_RGBA pixel is R on both
// sides. The copies are split by rows over the engine's threads: one thread
// alone copies at a fraction of what the memory can do. Where no map reads
// image A, the engine's other threads instead start walking the frame before
// A is read back, and the copies before the engine run on OBS's graphics
// thread alone meanwhile. Buffers and surfaces are made when the canvas
// size changes, never per frame. Everything here runs on OBS's graphics
// thread; the engine splits the frame over threads of its own, one a core,
// made with the transition and kept for its life.
#pragma once

#include <obs-module.h>

#include <cstdint>
#include <vector>

#include "parallel_render.h"
#include "transition_settings.h"

namespace glimmer::obs {

// The widest picture the engine takes: its row length in bytes is 14 bits.
constexpr uint32_t widestCanvas = 4095;

// Words for the key, tried in turn: opaque colours unlike each other and
// unlike the greys and pure colours of drawn graphics, so that a picture
// seldom holds one (then the frame is filled a second time) and a picture
// that holds all four takes the way with both pictures. Opaque, because
// OBS premultiplies its sources' alpha: any other key could not be put in
// a scene to check this.
constexpr uint32_t keyCandidates[] = {0xFF01FE02u, 0xFFFE017Du, 0xFF7F00FEu, 0xFF02FF7Fu};
constexpr int keyCandidateCount = 4;

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

    // canKey: the caller can draw a keyed frame over B (it has the effect).
    RoundTripOutcome render(gs_texture_t* a, gs_texture_t* b, uint32_t width, uint32_t rows, int32_t position,
                            int32_t total, const TransitionSettings& settings, bool canKey);

    // The texture of the last rendered frame, width x rows, GS_RGBA.
    gs_texture_t* frame() const { return frame_; }

    // Whether the last frame was drawn over key() instead of over image B:
    // its pixels that hold the key are B's.
    bool keyed() const { return keyed_; }
    uint32_t key() const { return key_; }

    // Frees the surfaces and the texture; call inside the graphics context.
    void release();

private:
    bool fit(uint32_t width, uint32_t rows);
    static bool canStage(gs_texture_t* texture, uint32_t width, uint32_t rows);
    bool readBoth();
    bool readAlone();
    bool mapForEngine(const uint8_t*& a, uint32_t& line);
    void keyTheDestination();
    bool upload(const uint8_t* lookInA, uint32_t lineA);
    bool copyIntoTexture(uint8_t* to, uint32_t line);
    int32_t copyThreads() const;
    void runCopies(void (*task)(void* context, int32_t k), void* context);

    uint32_t width_ = 0, rows_ = 0;
    gs_stagesurf_t* stageA_ = nullptr;
    gs_stagesurf_t* stageB_ = nullptr;
    gs_texture_t* frame_ = nullptr;
    std::vector<uint32_t> imageA_, destination_;
    std::vector<uint8_t> keysSeen_;  // a thread's share of A: bit k for key candidate k
    bool keyed_ = false;
    uint32_t key_ = keyCandidates[0];
    // key_ was nowhere in the last image A looked through, so the next frame
    // can be keyed with it before A is looked through.
    bool keyTrusted_ = true;
    bool keyInA_ = false;  // the look that went with the last upload found it
    // The key the whole destination holds, refilled as the last frame was
    // copied out of it; 0, which is no key, when it holds anything else.
    uint32_t filledWith_ = 0;
    bool walking_ = false;  // the engine's other threads are walking this frame
    ParallelRenderer renderer_{processorThreads()};
};

}  // namespace glimmer::obs

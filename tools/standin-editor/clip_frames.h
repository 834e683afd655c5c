// Where the test host's frames come from: two still pictures, or two
// built-in moving pictures when no files are given.
#pragma once

#include "effect_session.h"
#include "engine_image.h"

namespace glimmer {

// The same picture for every frame of a clip.
class StillClipFrames : public ClipFrames {
public:
    StillClipFrames(const EngineImage& clip1, const EngineImage& clip2) : clip1_(clip1), clip2_(clip2) {}
    void fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) override;

private:
    const EngineImage& clip1_;
    const EngineImage& clip2_;
};

// Clip 1: colour bars drifting to the right; clip 2: rings drifting up.
// Each frame index gives a different picture, so a preview that follows
// the position visibly moves.
class MovingClipFrames : public ClipFrames {
public:
    void fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) override;
};

// Draws frame `frameIndex` of a built-in clip into a whole picture.
void drawMovingClip(int32_t track, int32_t frameIndex, uint32_t* pixels, int32_t width, int32_t rows);

}  // namespace glimmer

// The pictures of one side of the transition, position by position: the
// same still at every position, or the frames of a clip as a decoder
// delivers them.
//
// Render jobs ask for positions in rising order, each job one at a time,
// and give every position back once its frame is rendered; a decoder keeps
// only a few frames, so a frame that is not yet given back holds it up.
#pragma once

#include <cstdint>

#include "picture.h"

namespace glimmer::tool {

class SideFrames {
public:
    virtual ~SideFrames() = default;
    // The picture at `position`; waits for it. Throws ToolError when it
    // cannot be had, and once cancel() was called.
    virtual const Picture& acquire(int32_t position) = 0;
    virtual void release(int32_t position) = 0;
    // Wakes every waiting acquire: the work stops.
    virtual void cancel() {}
};

class StillSide : public SideFrames {
public:
    explicit StillSide(const Picture& picture) : picture_(picture) {}
    const Picture& acquire(int32_t) override { return picture_; }
    void release(int32_t) override {}

private:
    const Picture& picture_;
};

}  // namespace glimmer::tool

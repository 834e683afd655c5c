// The pictures of one side of the transition, position by position: the
// same still at every position, or the frames of a clip as a decoder
// delivers them.
//
// Render jobs ask for positions in rising order, each job one at a time,
// and give every position back once its frame is rendered; a decoder keeps
// only a few frames, so a frame that is not yet given back holds it up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/picture.h"

namespace glimmer::tool {

// Where the frames of a side that the transition leaves alone go (A before
// the overlap, B after it): the encoder, in the pixel format it reads.
class UntouchedFrames {
public:
    virtual ~UntouchedFrames() = default;
    virtual std::size_t encodedFrameBytes() const = 0;
    // A frame already in the encoder's format, top row first.
    virtual void writeEncoded(const uint8_t* frame) = 0;
    // A picture in engine order, converted on the way.
    virtual void writePicture(const Picture& picture) = 0;
};

class SideFrames {
public:
    virtual ~SideFrames() = default;
    // The picture at `position`; waits for it. Throws ToolError when it
    // cannot be had, and once cancel() was called.
    virtual const Picture& acquire(int32_t position) = 0;
    virtual void release(int32_t position) = 0;
    // Wakes every waiting acquire: the work stops.
    virtual void cancel() {}
    // Hands the side's `count` frames outside the transition to `sink`.
    virtual void passUntouched(UntouchedFrames& sink, int64_t count) = 0;
};

class StillSide : public SideFrames {
public:
    explicit StillSide(const Picture& picture) : picture_(picture) {}
    const Picture& acquire(int32_t) override { return picture_; }
    void release(int32_t) override {}
    void passUntouched(UntouchedFrames& sink, int64_t count) override {
        for (int64_t i = 0; i < count; ++i) sink.writePicture(picture_);
    }

private:
    const Picture& picture_;
};

// One clip seen by a later transition than its first: a clip in the middle
// of an edit gives its first frames to the join into it and its last ones,
// `shift` frames further on, to the join out of it.
class ShiftedSide : public SideFrames {
public:
    ShiftedSide(SideFrames& side, int32_t shift) : side_(side), shift_(shift) {}
    const Picture& acquire(int32_t position) override { return side_.acquire(position + shift_); }
    void release(int32_t position) override { side_.release(position + shift_); }
    void cancel() override { side_.cancel(); }
    void passUntouched(UntouchedFrames& sink, int64_t count) override { side_.passUntouched(sink, count); }

private:
    SideFrames& side_;
    int32_t shift_;
};

}  // namespace glimmer::tool

// The frames of a moving clip, decoded by an ffmpeg child that writes raw
// RGBA on a pipe, already at the output's rate and size and in engine
// order (bottom row first). A thread of its own reads them ahead into a
// small ring, so decoding runs beside rendering and memory stays at a few
// frames whatever the clip's length.
//
// A join needs more of a clip than the transition does: A before the
// overlap, B after it. The same ffmpeg child decodes those too and writes
// them, in the encoder's pixel format, on a second pipe that is handed on
// to the encoder, so each frame of a clip is decoded once.
#pragma once

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "processes/child_process.h"
#include "processes/ffmpeg_arguments.h"
#include "inputs/frame_pipe_queue.h"
#include "inputs/side_frames.h"

namespace glimmer::tool {

struct ClipRange {
    double startSeconds = 0;    // where decoding starts, into the clip
    int32_t frames = 0;         // frames for the transition
    int32_t firstPosition = 0;  // the position of the first of them
};

// Frames around the transition's, for the encoder.
struct PassThrough {
    int64_t before = 0;  // from the start of decoding, ahead of the transition's
    int64_t after = 0;   // following the transition's; not both
    std::string pixelFormat;
    std::string yuvMatrix;
    std::size_t frameBytes = 0;
};

class ClipDecoder : public SideFrames {
public:
    // Starts ffmpeg; throws ToolError naming the file when it cannot.
    ClipDecoder(const std::string& path, const MediaInfo& info, const OutputFrames& output, const ClipRange& range,
                int32_t slots, const PassThrough& pass = {});
    ~ClipDecoder() override;

    const Picture& acquire(int32_t position) override;
    void release(int32_t position) override;
    void cancel() override;
    // The pass-through frames; `count` is at most what was asked for.
    void passUntouched(UntouchedFrames& sink, int64_t count) override;

private:
    void readFrames();
    Picture& slotOf(int32_t frame) { return slots_[static_cast<std::size_t>(frame) % slots_.size()]; }

    std::string path_;
    ClipRange range_;
    std::unique_ptr<ChildProcess> ffmpeg_;
    std::vector<Picture> slots_;
    std::vector<char> held_;  // a slot whose frame is read and not yet given back

    std::mutex mutex_;
    std::condition_variable changed_;
    int32_t read_ = 0;        // frames read so far
    int32_t ended_ = -1;      // frames the stream had, once it ended early
    bool cancelled_ = false;
    bool reaping_ = false;    // the reader waits for ffmpeg: no more kills
    std::exception_ptr failure_;
    std::thread reader_;
    std::unique_ptr<FramePipeQueue> passed_;
};

// Clips may come out of ffmpeg a frame or two short of what their length
// promised; the last frame then stands in for those. More than this many
// missing is a damaged file.
constexpr int32_t framesHeldAtTheEnd = 2;

}  // namespace glimmer::tool

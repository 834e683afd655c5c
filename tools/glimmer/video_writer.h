// A video written by an ffmpeg child process that reads our frames as raw
// RGBA on a pipe, bottom row first as the engine keeps them. The container
// and codec follow the extension or --format (video_codecs.h); YUV outputs
// are converted and tagged as what they are: BT.709 matrix, primaries and
// transfer in limited range from HD sizes up, BT.601 (SMPTE 170M) below.
// A file appears only when ffmpeg has finished it; "-" writes to standard
// output. ffmpeg reports the frames it has encoded, which drive the
// progress bar, so the bar covers the encoding too.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "frame_jobs.h"
#include "output_file.h"
#include "time_values.h"
#include "video_codecs.h"

namespace glimmer::tool {

struct VideoSettings {
    std::string target;              // a path, or "-" for standard output
    std::string container;           // video_codecs.h
    const VideoCodec* codec = nullptr;
    int crf = -1;                    // -1: the codec's default
    std::string preset;              // "": medium, for codecs that take one
    bool padEven = false;            // pad odd sizes for 4:2:0 codecs
};

// The settings a path gives without any option (the demo's videos).
VideoSettings videoSettingsFor(const std::string& path);

// What the encoder is fed: "yuv420p", "bgra", "rgba"...
std::string encoderPixelFormat(const VideoSettings& video);
// "bt709" from HD sizes up, else "smpte170m".
std::string yuvMatrixFor(int32_t width, int32_t rows);

struct EncoderPlan {
    VideoSettings video;
    int32_t width = 0, rows = 0;
    FrameRate rate;
    int64_t outputFrames = 0;  // for the progress bar
    // Inputs after our frames (input 0), numbered from 1.
    std::vector<std::string> otherInputs;
    // A graph that makes [joined] from [frames] (ours, in the encoder's
    // pixel format) and the other inputs; "" for our frames alone.
    std::string assembly;
    std::string audioGraph;  // ends in [sound]; "" for none
};

class ProgressBar;

class VideoWriter : public FrameConsumer {
public:
    // Throws ToolError when ffmpeg is missing or cannot be started.
    VideoWriter(const EncoderPlan& plan, ProgressBar* progress);
    VideoWriter(const std::string& path, int32_t width, int32_t rows, const FrameRate& rate);
    ~VideoWriter() override;
    bool needsOrder() const override { return true; }
    void take(int32_t position, const Picture& frame) override;
    // Waits for ffmpeg and moves the finished file to its name.
    void finish();

private:
    void start(const EncoderPlan& plan);
    void readProgress();
    [[noreturn]] void failWithFfmpegReport(const std::string& what);

    std::unique_ptr<OutputFile> output_;  // null for standard output
    std::string name_;                    // for messages
    std::size_t frameBytes_ = 0;
    ProgressBar* progress_ = nullptr;
    std::unique_ptr<ChildProcess> ffmpeg_;
    std::thread progressReader_;
};

}  // namespace glimmer::tool

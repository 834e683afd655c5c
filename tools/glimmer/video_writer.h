// A video written by an ffmpeg child process that reads raw RGBA frames,
// top row first, on a pipe. The container and codec follow the extension:
// .mp4 (H.264), .webm (VP9), .mkv (FFV1, lossless, alpha kept), .gif (one
// palette for the whole clip). The file appears only when ffmpeg has
// finished it.
#pragma once

#include <memory>
#include <string>

#include <sys/types.h>

#include "frame_jobs.h"
#include "output_file.h"

namespace glimmer::tool {

bool isVideoPath(const std::string& path);

// Where ffmpeg is on PATH, or "" when it is not installed.
std::string findProgram(const std::string& name);

class VideoWriter : public FrameConsumer {
public:
    // Throws ToolError when ffmpeg is missing or cannot be started.
    VideoWriter(const std::string& path, int32_t width, int32_t rows, int framesPerSecond);
    ~VideoWriter() override;
    bool needsOrder() const override { return true; }
    void take(int32_t position, const Picture& frame) override;
    // Waits for ffmpeg and moves the finished file to its name.
    void finish();

private:
    [[noreturn]] void failWithFfmpegReport(const std::string& what);
    int stopFfmpeg();

    OutputFile output_;
    int32_t width_, rows_;
    pid_t child_ = -1;
    int pipe_ = -1;
    int report_ = -1;  // ffmpeg's standard error, kept to explain a failure
};

}  // namespace glimmer::tool

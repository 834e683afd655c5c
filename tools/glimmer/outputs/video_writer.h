// A video written by an ffmpeg child process that reads our frames as raw
// frames on a pipe, top row first: 4:2:0 YUV for the YUV codecs, converted
// here (yuv_frames.h), else RGBA; the sound, if any, on a second pipe
// (sound_stream.h). The container and codec follow the
// extension or --format (video_codecs.h); YUV outputs are converted and
// tagged as what they are: BT.709 matrix, primaries and transfer in limited
// range from HD sizes up, BT.601 (SMPTE 170M) below. A file appears only
// when ffmpeg has finished it; "-" writes to standard output. ffmpeg
// reports the frames it has encoded, which drive the progress bar, so the
// bar covers the encoding too.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "processes/child_process.h"
#include "plan/frame_jobs.h"
#include "outputs/output_file.h"
#include "inputs/side_frames.h"
#include "commands/time_values.h"
#include "outputs/sound_stream.h"
#include "outputs/video_codecs.h"

namespace glimmer::tool {

struct VideoSettings {
    std::string target;              // a path, or "-" for standard output
    std::string container;           // video_codecs.h
    const VideoCodec* codec = nullptr;
    int crf = -1;                    // -1: the codec's default
    std::string preset;              // "": medium, for codecs that take one
    bool padEven = false;            // pad odd sizes for 4:2:0 codecs
    bool keepAlpha = false;          // a source has alpha: VP9 gets it too (yuva420p)
};

// The settings a path gives without any option (the demo's videos).
VideoSettings videoSettingsFor(const std::string& path);

// What the encoder reads from us: "yuv420p" or "rgba".
std::string encoderInputFormat(const VideoSettings& video);
// Bytes of one frame in that format.
std::size_t encoderInputFrameBytes(const VideoSettings& video, int32_t width, int32_t rows);
// "bt709" from HD sizes up, else "smpte170m".
std::string yuvMatrixFor(int32_t width, int32_t rows);

struct EncoderPlan {
    VideoSettings video;
    int32_t width = 0, rows = 0;
    FrameRate rate;
    bool withSound = false;  // the container takes sound and some input has it
    EditSound sound;
};

class ProgressBar;

class VideoWriter : public FrameConsumer, public UntouchedFrames {
public:
    // Throws ToolError when ffmpeg is missing or cannot be started.
    VideoWriter(const EncoderPlan& plan, ProgressBar* progress);
    VideoWriter(const std::string& path, int32_t width, int32_t rows, const FrameRate& rate);
    ~VideoWriter() override;
    bool needsOrder() const override { return true; }
    void take(int32_t position, const Picture& frame) override;
    std::size_t encodedFrameBytes() const override { return frameBytes_; }
    void writeEncoded(const uint8_t* frame) override;
    void writePicture(const Picture& picture) override;
    // Waits for ffmpeg and moves the finished file to its name.
    void finish();

private:
    void start(const EncoderPlan& plan);
    void readProgress();
    [[noreturn]] void failWithFfmpegReport(const std::string& what);

    std::unique_ptr<OutputFile> output_;  // null for standard output
    std::string name_;                    // for messages
    bool yuv_ = false;
    std::string matrix_;
    std::size_t frameBytes_ = 0;
    std::vector<uint8_t> converted_;
    ProgressBar* progress_ = nullptr;
    std::unique_ptr<ChildProcess> ffmpeg_;
    std::unique_ptr<SoundStream> sound_;
    std::thread progressReader_;
};

}  // namespace glimmer::tool

// What ffprobe says about an input before anything is decoded: whether it
// is a still or moving, its size, rate and length, and whether it has sound.
#pragma once

#include <cstdint>
#include <string>

#include "processes/child_process.h"
#include "commands/time_values.h"

namespace glimmer::tool {

struct MediaInfo {
    bool still = false;      // one picture (JPEG, WebP, TIFF, a one-frame GIF...)
    bool sequence = false;   // numbered pictures, "shots/%04d.png"
    bool hasAudio = false;
    int32_t width = 0;       // as shown: pixel aspect and rotation applied
    int32_t rows = 0;
    FrameRate rate;          // of a moving input: its average
    bool variableRate = false;  // frames that come at uneven times
    bool alpha = false;      // a pixel format with alpha, or VP8/VP9 with its alpha side stream
    std::string codec;       // the video stream's decoder name ("vp9", "h264")
    double duration = -1;    // seconds, or -1 when unknown
};

// ffprobe asked about one input. Starting it apart from reading its answer
// lets the two sides' probes run at once: each spends most of its time
// loading ffmpeg's libraries.
class MediaProbe {
public:
    // Throws ToolError when ffprobe is missing.
    explicit MediaProbe(const std::string& path);
    // Throws ToolError naming the file when ffprobe cannot read it or finds
    // no picture in it.
    MediaInfo result();

private:
    std::string answer();

    std::string path_;
    ChildProcess probe_;
};

// One probe, started and read.
MediaInfo probeMedia(const std::string& path);

// Whether ffprobe finds a sound stream in `path`. Throws ToolError naming
// the file, as `what` ("--music"), when ffprobe cannot read it.
bool hasSoundStream(const std::string& path, const std::string& what);

// A path with a printf-style number pattern names a picture sequence.
bool isSequencePattern(const std::string& path);

}  // namespace glimmer::tool

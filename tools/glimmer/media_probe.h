// What ffprobe says about an input before anything is decoded: whether it
// is a still or moving, its size, rate and length, and whether it has sound.
#pragma once

#include <cstdint>
#include <string>

#include "time_values.h"

namespace glimmer::tool {

struct MediaInfo {
    bool still = false;      // one picture (JPEG, WebP, TIFF, a one-frame GIF...)
    bool sequence = false;   // numbered pictures, "shots/%04d.png"
    bool hasAudio = false;
    int32_t width = 0;       // as shown: pixel aspect and rotation applied
    int32_t rows = 0;
    FrameRate rate;          // of a moving input
    double duration = -1;    // seconds, or -1 when unknown
};

// Throws ToolError naming the file when ffprobe is missing, cannot read the
// file, or finds no picture in it.
MediaInfo probeMedia(const std::string& path);

// A path with a printf-style number pattern names a picture sequence.
bool isSequencePattern(const std::string& path);

}  // namespace glimmer::tool

// The videos glimmer writes: the containers, the codecs each may carry and
// what an encoder takes (--codec, --crf, --preset), so that an option that
// does not apply to the chosen output is refused rather than ignored.
#pragma once

#include <string>
#include <vector>

namespace glimmer::tool {

struct VideoCodec {
    const char* name;         // the ffmpeg encoder
    const char* aliases;      // other names --codec takes, space-separated
    const char* containers;   // where it may go, space-separated
    const char* pixelFormat;  // what it is fed
    int crfMaximum;           // -1: no --crf
    int defaultCrf;
    bool presets;             // takes --preset (ultrafast ... veryslow)
    bool evenSize;            // 4:2:0: width and height must be even
    std::vector<const char*> arguments;  // always given
};

// The container of a video file by its extension ("mp4" for ".mp4"), or
// "" when glimmer writes no video of that name.
std::string containerOfPath(const std::string& path);

// --format for standard output: "rgba" (raw frames, no container), "nut"
// or "matroska"; "" for anything else.
std::string containerOfFormat(const std::string& format);

// The codec a container gets without --codec, or null for raw frames.
const VideoCodec* defaultCodec(const std::string& container);

// The codec --codec names, or null.
const VideoCodec* findCodec(const std::string& name);

bool codecFitsContainer(const VideoCodec& codec, const std::string& container);

// The codecs a container takes, for messages: "libx264, libx265".
std::string codecsOf(const std::string& container);

// What a container carries alpha with when a source has it: ProRes 4444
// in a .mov, VP9 with alpha in a .webm; null where the default codec keeps
// it already (FFV1 in a .mkv) or nothing can.
const VideoCodec* alphaCodec(const std::string& container);

// The sound codec of a container, or "" for one without sound.
std::string audioCodecOf(const std::string& container);

// ffmpeg's muxer name: "mp4", "webm", "matroska" for .mkv ...
std::string muxerOf(const std::string& container);

}  // namespace glimmer::tool

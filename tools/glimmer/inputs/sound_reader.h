// One file's first sound stream, decoded by an ffmpeg child into the
// edit's one sound format: 48 kHz stereo, 32-bit float, interleaved. The
// stream is read as it is needed and padded with silence past its end, so
// a reader is asked for exactly the samples of its clip whatever the file
// holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "processes/child_process.h"

namespace glimmer::tool {

constexpr int soundRate = 48000;
constexpr int soundChannels = 2;

class SoundReader {
public:
    // `inputArguments` are ffmpeg's words up to and including "-i PATH"
    // (where to start, whether to loop); `name` is for messages.
    SoundReader(const std::vector<std::string>& inputArguments, const std::string& name);
    // The next `frames` sample frames (a frame: one sample a channel).
    // Throws ToolError when ffmpeg fails on the file rather than ending it.
    void read(float* samples, std::size_t frames);

private:
    ChildProcess ffmpeg_;
    std::string name_;
    bool ended_ = false;
};

}  // namespace glimmer::tool

#include "inputs/sound_reader.h"

#include <algorithm>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

std::vector<std::string> decoderArguments(const std::vector<std::string>& inputArguments) {
    std::vector<std::string> words = {"-hide_banner", "-nostdin", "-loglevel", "error", "-vn"};
    words.insert(words.end(), inputArguments.begin(), inputArguments.end());
    words.insert(words.end(), {"-map", "0:a:0", "-f", "f32le", "-ar", std::to_string(soundRate), "-ac",
                               std::to_string(soundChannels), "pipe:1"});
    return words;
}

}  // namespace

SoundReader::SoundReader(const std::vector<std::string>& inputArguments, const std::string& name)
    : ffmpeg_("ffmpeg", decoderArguments(inputArguments), ChildPipes{false, true, false}, "cannot read the sound of " + name),
      name_(name) {}

void SoundReader::read(float* samples, std::size_t frames) {
    const std::size_t bytes = frames * soundChannels * sizeof(float);
    std::size_t got = 0;
    if (!ended_) {
        got = readFully(ffmpeg_.output(), samples, bytes);
        if (got < bytes) {
            ended_ = true;
            if (!ffmpeg_.finish()) throw ToolError("cannot read the sound of " + name_ + ": " + ffmpeg_.complaint());
        }
    }
    // A sample cut in half at the end is silence too.
    got -= got % sizeof(float);
    std::fill(samples + got / sizeof(float), samples + frames * soundChannels, 0.0f);
}

}  // namespace glimmer::tool

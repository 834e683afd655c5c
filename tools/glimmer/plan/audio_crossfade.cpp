#include "plan/audio_crossfade.h"

#include "processes/ffmpeg_arguments.h"

namespace glimmer::tool {
namespace {

// Both sides in one format, so the crossfade needs no conversion of its own.
constexpr const char* commonFormat = "aformat=sample_fmts=fltp:sample_rates=48000:channel_layouts=stereo";

std::string side(const std::string& stream, double length, const char* label) {
    const std::string source = stream.empty() ? "anullsrc=r=48000:cl=stereo," : stream + "aresample=48000,";
    return source + commonFormat + ",apad=whole_dur=" + secondsArgument(length) + ",atrim=end=" + secondsArgument(length) +
           ",asetpts=PTS-STARTPTS[" + label + "]";
}

}  // namespace

std::string crossfadeGraph(const std::string& soundA, const std::string& soundB, const CrossfadeTimes& times) {
    return side(soundA, times.secondsA, "soundA") + ";" + side(soundB, times.secondsB, "soundB") +
           ";[soundA][soundB]acrossfade=d=" + secondsArgument(times.overlap) + ":c1=qsin:c2=qsin[sound]";
}

}  // namespace glimmer::tool

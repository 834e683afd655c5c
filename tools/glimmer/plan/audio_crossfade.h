// The sound of a join: A's sound up to the end of the overlap and B's from
// the start of the overlap, crossfaded over the overlap with equal power
// (quarter-sine gains whose squares add up to one, so the loudness holds).
// A side without sound brings silence; each side is padded or cut to its
// picture's length so the crossfade lies exactly under the transition.
#pragma once

#include <string>

namespace glimmer::tool {

struct CrossfadeTimes {
    double secondsA;  // A's part: before the overlap and the overlap
    double secondsB;  // B's part: the overlap and after it
    double overlap;
};

// An ffmpeg filter graph ending in [sound]. `soundA` and `soundB` name the
// input streams ("[1:a:0]"), or are "" for a side without sound.
std::string crossfadeGraph(const std::string& soundA, const std::string& soundB, const CrossfadeTimes& times);

}  // namespace glimmer::tool

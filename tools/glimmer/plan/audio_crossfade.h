// The sound of a join or an edit: each clip's sound over exactly its
// picture's length, crossfaded into the next over their join with equal
// power (quarter-sine gains whose squares add up to one, so the loudness
// holds). A clip or picture without sound brings silence. Music, when
// there is some, lies under the whole of it, looped or cut to length and
// faded in and out, mixed with the clips' sound at a volume of its own.
#pragma once

#include <string>
#include <vector>

namespace glimmer::tool {

struct SoundPiece {
    std::string stream;  // an input stream ("[1:a:0]"), or "" for silence
    double seconds = 0;  // the clip's picture length
};

struct MusicBed {
    std::string stream;  // "" for none
    double seconds = 0;  // the whole edit
    double fade = 1;
    double clipVolume = 1;  // 0: the clips' sound is left out
};

// An ffmpeg filter graph ending in [sound]. `overlaps[i]` is the length of
// the join between pieces i and i + 1.
std::string editSoundGraph(const std::vector<SoundPiece>& pieces, const std::vector<double>& overlaps,
                           const MusicBed& music);

}  // namespace glimmer::tool

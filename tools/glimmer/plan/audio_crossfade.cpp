#include "plan/audio_crossfade.h"

#include <algorithm>

#include "processes/ffmpeg_arguments.h"

namespace glimmer::tool {
namespace {

// Every piece in one format, so the crossfades and the mix need no
// conversion of their own.
constexpr const char* commonFormat = "aformat=sample_fmts=fltp:sample_rates=48000:channel_layouts=stereo";

std::string piece(const std::string& stream, double length, const std::string& label) {
    const std::string source = stream.empty() ? "anullsrc=r=48000:cl=stereo," : stream + "aresample=48000,";
    return source + commonFormat + ",apad=whole_dur=" + secondsArgument(length) + ",atrim=end=" + secondsArgument(length) +
           ",asetpts=PTS-STARTPTS[" + label + "]";
}

std::string musicChain(const MusicBed& music, const std::string& label) {
    const double fade = std::min(music.fade, music.seconds / 2);
    std::string chain = music.stream + "aresample=48000," + commonFormat + ",atrim=end=" + secondsArgument(music.seconds) +
                        ",asetpts=PTS-STARTPTS";
    if (fade > 0)
        chain += ",afade=t=in:d=" + secondsArgument(fade) + ",afade=t=out:st=" + secondsArgument(music.seconds - fade) +
                 ":d=" + secondsArgument(fade);
    // Padded, so a track shorter than the edit still lasts as long as it.
    return chain + ",apad=whole_dur=" + secondsArgument(music.seconds) + "[" + label + "]";
}

}  // namespace

std::string editSoundGraph(const std::vector<SoundPiece>& pieces, const std::vector<double>& overlaps,
                           const MusicBed& music) {
    const bool clips = music.stream.empty() || music.clipVolume > 0;
    std::string graph;
    if (clips) {
        for (std::size_t i = 0; i < pieces.size(); ++i)
            graph += piece(pieces[i].stream, pieces[i].seconds, "piece" + std::to_string(i)) + ";";
        std::string joined = "[piece0]";
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
            const std::string next = "[joined" + std::to_string(i + 1) + "]";
            graph += joined + "[piece" + std::to_string(i + 1) + "]acrossfade=d=" + secondsArgument(overlaps[i]) +
                     ":c1=qsin:c2=qsin" + next + ";";
            joined = next;
        }
        if (music.stream.empty()) return graph + joined + "anull[sound]";
        graph += joined + "volume=" + secondsArgument(music.clipVolume) + "[clipsound];";
    }
    graph += musicChain(music, clips ? "music" : "sound");
    if (clips) graph += ";[clipsound][music]amix=inputs=2:duration=first:normalize=0[sound]";
    return graph;
}

}  // namespace glimmer::tool

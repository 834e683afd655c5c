#include "plan/sound_layout.h"

#include <algorithm>
#include <cmath>

namespace glimmer::tool {
namespace {

constexpr double quarterTurn = 1.5707963267948966;

// Sample centres, so a join of n samples is symmetric and no sample of it
// stands at exactly 0 or 1.
double across(int64_t k, int64_t length) { return (static_cast<double>(k) + 0.5) / static_cast<double>(length); }

}  // namespace

int64_t sampleOfFrame(int64_t frame, const FrameRate& rate, int sampleRate) {
    // In integers, so every clip and join meets the next on the same sample;
    // 64 bits hold years of frames at any rate glimmer takes.
    const int64_t scaled = frame * sampleRate * rate.denominator;
    return (scaled + rate.numerator / 2) / rate.numerator;
}

SoundLayout soundLayoutOf(const EditPlan& edit, int sampleRate, double musicFadeSeconds, double clipVolume) {
    SoundLayout layout;
    const FrameRate& rate = edit.output.rate;
    for (const PlannedClip& clip : edit.clips) {
        SoundPiece piece;
        piece.first = sampleOfFrame(clip.firstFrame, rate, sampleRate);
        piece.count = sampleOfFrame(clip.firstFrame + clip.frames, rate, sampleRate) - piece.first;
        piece.fadeIn = sampleOfFrame(clip.firstFrame + clip.overlapIn, rate, sampleRate) - piece.first;
        piece.fadeOut = piece.first + piece.count -
                        sampleOfFrame(clip.firstFrame + clip.frames - clip.overlapOut, rate, sampleRate);
        piece.sound = clip.sound;
        layout.pieces.push_back(piece);
    }
    layout.total = sampleOfFrame(edit.total, rate, sampleRate);
    layout.musicFade = std::min<int64_t>(std::llround(musicFadeSeconds * sampleRate), layout.total / 2);
    layout.clipVolume = clipVolume;
    return layout;
}

double pieceGain(const SoundPiece& piece, int64_t k) {
    if (k < piece.fadeIn) return std::sin(quarterTurn * across(k, piece.fadeIn));
    const int64_t fromEnd = piece.count - 1 - k;
    if (fromEnd < piece.fadeOut) return std::sin(quarterTurn * across(fromEnd, piece.fadeOut));
    return 1.0;
}

double musicGain(const SoundLayout& layout, int64_t k) {
    if (layout.musicFade <= 0) return 1.0;
    const int64_t edge = std::min(k, layout.total - 1 - k);
    return edge < layout.musicFade ? across(edge, layout.musicFade) : 1.0;
}

}  // namespace glimmer::tool

// Where each clip's sound falls in the sound of an edit, in samples, and
// the gains that mix it: a clip's sound lasts exactly as long as its
// picture, and crossfades into the next over their join with equal power
// (a cosine out and a sine in, whose squares add up to one at every
// sample, so the loudness holds). Music, when there is some, lies under
// the whole edit, faded in and out in straight lines, and is added to the
// clips' sound taken at a volume of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "plan/edit_plan.h"

namespace glimmer::tool {

struct SoundPiece {
    int64_t first = 0;    // the edit's sample where the clip starts
    int64_t count = 0;    // its samples, joins included
    int64_t fadeIn = 0;   // samples of the join into it
    int64_t fadeOut = 0;  // samples of the join out of it
    bool sound = false;   // false: it brings silence
};

struct SoundLayout {
    std::vector<SoundPiece> pieces;
    int64_t total = 0;        // samples of the whole edit
    int64_t musicFade = 0;    // samples of each of the music's fades
    double clipVolume = 1.0;  // 0: the clips' sound is left out
};

// The samples of a sound at `sampleRate` that cover the output's frames
// before `frame`: a clip ends on the sample where its last frame ends.
int64_t sampleOfFrame(int64_t frame, const FrameRate& rate, int sampleRate);

SoundLayout soundLayoutOf(const EditPlan& edit, int sampleRate, double musicFadeSeconds, double clipVolume);

// The gain of a piece's sample `k` (0 is its first): 1 outside its joins.
double pieceGain(const SoundPiece& piece, int64_t k);
// The music's gain at the edit's sample `k`.
double musicGain(const SoundLayout& layout, int64_t k);

}  // namespace glimmer::tool

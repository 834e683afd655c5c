// The pixel dissipation renderer: one frame of the transition.
//
// Frame buffer contract (shared by every caller):
//   - A frame is `rows` rows of `rowBytes` bytes of 32-bit pixels, one row
//     right after the other. The width in pixels is rowBytes / 4: the whole
//     row pitch counts as pixels.
//   - Row 0 is the first row in memory and holds the bottom line of the
//     picture; a higher row index is higher up.
//   - The pixel at row r, column x is word r * width + x.
//   - Byte n of a pixel is the byte at offset n in memory (bits 8n..8n+7 of
//     the little-endian word). The renderer moves whole words and looks into
//     a pixel only where a source map reads a channel.
//   - clip1Pixels (image A) is only read. destPixels holds image B on entry
//     and the finished frame on return; it is also the "clip 2" input of the
//     source maps, as it stands at the moment of sampling.
//   - Both buffers hold at least rows * (rowBytes / 4) words.
#pragma once

#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

// Draws image A's elements, each waiting, flying and vanishing, over the
// image B in destPixels, for frame `position` of a `total`-frame transition.
// Deterministic: the random generator restarts at 1234 every frame. Never
// allocates; never writes outside the frame, whatever the settings hold.
void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                       int32_t rowBytes, const TransitionSettings& settings,
                       int32_t position, int32_t total);

}  // namespace glimmer

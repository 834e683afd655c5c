// Source maps: how a parameter varies over the picture.
//
// A map turns a position into a value from 0 to 255. It reads a byte of a
// pixel of either clip, or computes a ramp or a constant, tiled `repeatX` by
// `repeatY` times, with alternate tiles flipped or mirrored ("Odd") and the
// value optionally inverted. Both clips have the geometry `width` x `rows`,
// `width` counting pixels per row (the whole row pitch).
#pragma once

#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

enum SourceIndex : int32_t {
    sourceRed1 = 0, sourceGreen1, sourceBlue1, sourceAlpha1,
    sourceRed2, sourceGreen2, sourceBlue2, sourceAlpha2,
    sourceDiag1, sourceDiag1S, sourceDiag2, sourceDiag2S,
    sourceGradX, sourceGradY, sourceBlack,
    sourceCount
};

// The list texts, by source index.
extern const char* const sourceMapNames[sourceCount];

// Index of a list text, or -1 when there is none of that name.
int32_t findSourceByName(const char* name);

// Whether a map reads clip 2, which the renderer samples in the destination
// as the elements drawn so far have left it.
inline bool readsClipTwo(const SourceMap& map) { return map.source >= sourceRed2 && map.source <= sourceAlpha2; }

// Whether any of the record's maps does: where none does, the renderer
// reads image B nowhere and only draws over it.
inline bool anyMapReadsClipTwo(const TransitionSettings& s) {
    return readsClipTwo(s.delayMap) || readsClipTwo(s.movingXMap) || readsClipTwo(s.movingYMap);
}

// The same for clip 1: where no map reads it, the walk needs image A only
// to write the elements.
inline bool readsClipOne(const SourceMap& map) { return map.source >= sourceRed1 && map.source <= sourceAlpha1; }

inline bool anyMapReadsClipOne(const TransitionSettings& s) {
    return readsClipOne(s.delayMap) || readsClipOne(s.movingXMap) || readsClipOne(s.movingYMap);
}

// Value of the map at column x, row y (0 <= x < width, 0 <= y < rows).
// Sources above 14, and below 0, yield the low byte of `rows` treated as a
// byte source. width and rows must be at least 1.
double sampleSourceMap(int32_t x, int32_t y, int32_t width, int32_t rows,
                       int32_t source, int32_t repeatX, int32_t repeatY,
                       int32_t oddX, int32_t oddY, int32_t invert,
                       const uint32_t* clip1Pixels, const uint32_t* clip2Pixels);

inline double sampleSourceMap(int32_t x, int32_t y, int32_t width, int32_t rows,
                              const SourceMap& map,
                              const uint32_t* clip1Pixels, const uint32_t* clip2Pixels) {
    return sampleSourceMap(x, y, width, rows, map.source, map.repeatX, map.repeatY,
                           map.oddX, map.oddY, map.invert, clip1Pixels, clip2Pixels);
}

}  // namespace glimmer

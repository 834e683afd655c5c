// The value of a source map once the tile position is known. Shared by the
// plain sampler and the renderer's incremental one, so both compute every
// value with the same operations in the same order.
#pragma once

#include <cstdint>

#include "source_map.h"

namespace glimmer {

struct TilePosition {
    uint32_t lx;   // column within the tile
    uint32_t ly;   // row within the tile
    bool flipX;    // odd tile across, with oddX on
    bool flipY;    // odd tile down, with oddY on
};

inline double flipByte(uint32_t v, bool flipX, bool flipY, bool invert) {
    if (flipX) v = 255u - v;
    if (flipY) v = 255u - v;
    if (invert) v = 255u - v;
    return static_cast<double>(v);
}

// Ramps: 255 is multiplied before the division, in double; the coordinate
// sums are exact integers (64-bit, rows may be large).
inline double rampValue(int64_t numerator, int64_t denominator) {
    return static_cast<double>(numerator) * 255.0 / static_cast<double>(denominator);
}

inline double flipRamp(double v, bool flipX, bool flipY, bool invert) {
    if (flipX) v = 255.0 - v;
    if (flipY) v = 255.0 - v;
    if (invert) v = 255.0 - v;
    return v;
}

inline double sourceMapValue(const TilePosition& t, int32_t width, int32_t rows, int32_t source,
                             bool invert, const uint32_t* clip1, const uint32_t* clip2) {
    const int64_t lx = t.lx, ly = t.ly, w = width, h = rows;
    switch (source) {
    case sourceRed1: case sourceGreen1: case sourceBlue1: case sourceAlpha1:
        return flipByte((clip1[ly * w + lx] >> (8 * source)) & 255u, t.flipX, t.flipY, invert);
    case sourceRed2: case sourceGreen2: case sourceBlue2: case sourceAlpha2:
        return flipByte((clip2[ly * w + lx] >> (8 * (source - 4))) & 255u, t.flipX, t.flipY, invert);
    case sourceDiag1:
        return flipRamp(rampValue(lx + ly, w + h), t.flipX, t.flipY, invert);
    case sourceDiag1S: {
        const int64_t mx = t.flipX ? w - lx : lx, my = t.flipY ? h - ly : ly;
        const double v = rampValue(mx + my, w + h);
        return invert ? 255.0 - v : v;
    }
    case sourceDiag2:
        return flipRamp(rampValue(w - lx + ly, w + h), t.flipX, t.flipY, invert);
    case sourceDiag2S: {
        const int64_t mx = t.flipX ? w - lx : lx, my = t.flipY ? h - ly : ly;
        const double v = rampValue(w - mx + my, w + h);
        return invert ? 255.0 - v : v;
    }
    case sourceGradX:
        return flipRamp(rampValue(lx, w), t.flipX, t.flipY, invert);
    case sourceGradY:
        return flipRamp(rampValue(ly, h), t.flipX, t.flipY, invert);
    case sourceBlack:
        return flipRamp(0.0, t.flipX, t.flipY, invert);
    default:
        // Any other number, negative ones included, reads the row count's
        // low byte, like a byte source.
        return flipByte(static_cast<uint32_t>(rows) & 255u, t.flipX, t.flipY, invert);
    }
}

}  // namespace glimmer

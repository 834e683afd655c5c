#include "source_map.h"

#include <cstring>

#include "source_map_value.h"

namespace glimmer {

const char* const sourceMapNames[sourceCount] = {
    "Red1", "Green1", "Blue1", "Alpha1", "Red2", "Green2", "Blue2", "Alpha2",
    "Diag 1", "Diag 1 S", "Diag 2", "Diag 2 S", "Grad X", "Grad Y", "Black",
};

int32_t findSourceByName(const char* name) {
    for (int32_t i = 0; i < sourceCount; ++i)
        if (std::strcmp(sourceMapNames[i], name) == 0) return i;
    return -1;
}

double sampleSourceMap(int32_t x, int32_t y, int32_t width, int32_t rows,
                       int32_t source, int32_t repeatX, int32_t repeatY,
                       int32_t oddX, int32_t oddY, int32_t invert,
                       const uint32_t* clip1Pixels, const uint32_t* clip2Pixels) {
    // Tiling is unsigned 32-bit arithmetic: out-of-range repeat counts wrap
    // instead of overflowing.
    const uint32_t px = static_cast<uint32_t>(x) * static_cast<uint32_t>(repeatX);
    const uint32_t py = static_cast<uint32_t>(y) * static_cast<uint32_t>(repeatY);
    const uint32_t w = static_cast<uint32_t>(width);
    const uint32_t h = static_cast<uint32_t>(rows);
    TilePosition t;
    t.lx = px % w;
    t.ly = py % h;
    t.flipX = oddX != 0 && ((px / w) & 1u) != 0;
    t.flipY = oddY != 0 && ((py / h) & 1u) != 0;
    return sourceMapValue(t, width, rows, source, invert != 0, clip1Pixels, clip2Pixels);
}

}  // namespace glimmer

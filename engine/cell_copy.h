// Copying cells of image A into the destination, clipped to the frame.
#pragma once

#include <cstdint>
#include <cstring>

namespace glimmer {

struct FramePixels {
    const uint32_t* a;
    uint32_t* d;
    int32_t width, rows;
};

inline void copyWords(uint32_t* to, const uint32_t* from, int64_t count) {
    if (count <= 4) {
        for (int64_t i = 0; i < count; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, static_cast<size_t>(count) * 4);
    }
}

inline void copyCellInPlace(const FramePixels& fr, int32_t x0, int32_t y0, int32_t cw, int32_t ch) {
    if (cw == 2 && ch == 2 && x0 + 2 <= fr.width && y0 + 2 <= fr.rows) {
        // The default cell, whole inside the frame.
        const int64_t at = static_cast<int64_t>(y0) * fr.width + x0;
        fr.d[at] = fr.a[at];
        fr.d[at + 1] = fr.a[at + 1];
        fr.d[at + fr.width] = fr.a[at + fr.width];
        fr.d[at + fr.width + 1] = fr.a[at + fr.width + 1];
        return;
    }
    const int32_t w = cw < fr.width - x0 ? cw : fr.width - x0;
    const int32_t h = ch < fr.rows - y0 ? ch : fr.rows - y0;
    for (int32_t j = 0; j < h; ++j) {
        const int64_t at = static_cast<int64_t>(y0 + j) * fr.width + x0;
        copyWords(fr.d + at, fr.a + at, w);
    }
}

// The cell moves as one block by the truncated displacement; what leaves the
// frame is clipped. The bounds are tested in double first, so a displacement
// beyond any int32 never gets converted.
// aLine: words from one row of image A to the next, which need not be the
// destination's (a host's mapped picture, stored top row first).
inline void placeCellFrom(const FramePixels& fr, int64_t aLine, int32_t x0, int32_t y0, int32_t cw, int32_t ch,
                          double dx, double dy) {
    if (!(dx > -fr.width && dx < fr.width && dy > -fr.rows && dy < fr.rows)) return;
    const int64_t dxi = static_cast<int32_t>(dx), dyi = static_cast<int32_t>(dy);
    const int64_t visibleW = cw < fr.width - x0 ? cw : fr.width - x0;
    const int64_t visibleH = ch < fr.rows - y0 ? ch : fr.rows - y0;
    int64_t i0 = dxi - x0, i1 = fr.width + dxi - x0;
    int64_t j0 = dyi - y0, j1 = fr.rows + dyi - y0;
    if (i0 < 0) i0 = 0;
    if (j0 < 0) j0 = 0;
    if (i1 > visibleW) i1 = visibleW;
    if (j1 > visibleH) j1 = visibleH;
    if (i0 >= i1) return;
    for (int64_t j = j0; j < j1; ++j) {
        const int64_t from = (y0 + j) * aLine + x0 + i0;
        const int64_t to = (y0 + j - dyi) * fr.width + x0 + i0 - dxi;
        copyWords(fr.d + to, fr.a + from, i1 - i0);
    }
}

inline void placeCell(const FramePixels& fr, int32_t x0, int32_t y0, int32_t cw, int32_t ch, double dx, double dy) {
    placeCellFrom(fr, fr.width, x0, y0, cw, ch, dx, dy);
}

}  // namespace glimmer

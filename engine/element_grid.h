// The elements of a frame: single pixels or cells, and how many of each way.
#pragma once

#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

struct ElementGrid {
    bool pixelPass;
    int32_t cellWidth, cellHeight;  // 1 x 1 in the pixel pass
    int32_t columns, rows;
};

// Chooses the pass and the cell size. Answers false when the settings give
// no elements at all (negative sizes or counts).
inline bool chooseElementGrid(const TransitionSettings& s, int32_t width, int32_t rows, ElementGrid& g) {
    int32_t cw, ch;
    if ((s.cellFlags & 1) == 0) {
        cw = s.cellWidth;
        ch = s.cellHeight;
        if (cw < 0 || ch < 0) return false;
        g.pixelPass = cw == 1 && ch == 1;
    } else {
        // A band count of 0 is taken as 1 before anything divides by it.
        const int32_t across = s.cellWidth == 0 ? 1 : s.cellWidth;
        const int32_t down = s.cellHeight == 0 ? 1 : s.cellHeight;
        if (across < 0 || down < 0) return false;
        g.pixelPass = across >= width / 2 && down >= rows / 2;
        cw = width / across;
        ch = rows / down;
    }
    if (g.pixelPass) { cw = 1; ch = 1; }
    if (cw == 0) cw = 1;
    if (ch == 0) ch = 1;
    g.cellWidth = cw;
    g.cellHeight = ch;
    g.columns = width / cw + (width % cw != 0 ? 1 : 0);
    g.rows = rows / ch + (rows % ch != 0 ? 1 : 0);
    return true;
}

}  // namespace glimmer

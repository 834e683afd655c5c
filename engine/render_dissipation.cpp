#include "render_dissipation.h"

#include <cstring>

#include "frame_motion.h"
#include "frame_random.h"
#include "source_map_value.h"

namespace glimmer {
namespace {

constexpr FrameRandomJump jump1 = frameRandomJump(1);
constexpr FrameRandomJump jump2 = frameRandomJump(2);
constexpr FrameRandomJump jump3 = frameRandomJump(3);
constexpr FrameRandomJump jump4 = frameRandomJump(4);

inline int32_t drawByte(uint32_t state, FrameRandomJump j) {
    return static_cast<int32_t>(((state * j.multiplier + j.increment) >> 16) & 255u);
}

// One source map sampled along the renderer's walk. The row part of the tile
// position is computed once per element row; the column part steps from
// element to element without a division, which is exact as long as
// x * repeatX cannot wrap (always so for repeat counts in range). Otherwise
// every column is computed the plain way.
class MapWalker {
public:
    MapWalker(const SourceMap& map, int32_t width, int32_t rows, int32_t columnStep)
        : map_(map), width_(static_cast<uint32_t>(width)), rows_(static_cast<uint32_t>(rows)),
          repeatX_(static_cast<uint32_t>(map.repeatX)), repeatY_(static_cast<uint32_t>(map.repeatY)) {
        // Every column the walk visits is below width, so px stays below
        // width * repeatX.
        stepping_ = static_cast<uint64_t>(width_) * repeatX_ < (uint64_t{1} << 32);
        // With more than one column the step is below width; with one it is
        // never taken.
        const uint32_t step = static_cast<uint32_t>(columnStep < 0 ? -columnStep : columnStep) * repeatX_;
        stepDiv_ = step / width_;
        stepMod_ = step % width_;
        backward_ = columnStep < 0;
    }

    void startRow(int32_t y, int32_t firstColumn) {
        const uint32_t py = static_cast<uint32_t>(y) * repeatY_;
        tile_.ly = py % rows_;
        tile_.flipY = map_.oddY != 0 && ((py / rows_) & 1u) != 0;
        setColumn(firstColumn);
    }

    // Moves to the next element of the row (column `x` is that element's).
    void nextColumn(int32_t x) {
        if (!stepping_) { setColumn(x); return; }
        if (backward_) {
            if (tileLx_ < stepMod_) { tileLx_ += width_ - stepMod_; tileX_ -= stepDiv_ + 1; }
            else { tileLx_ -= stepMod_; tileX_ -= stepDiv_; }
        } else {
            tileLx_ += stepMod_;
            tileX_ += stepDiv_;
            if (tileLx_ >= width_) { tileLx_ -= width_; ++tileX_; }
        }
    }

    double value(const uint32_t* clip1, const uint32_t* clip2) {
        tile_.lx = tileLx_;
        tile_.flipX = map_.oddX != 0 && (tileX_ & 1u) != 0;
        return sourceMapValue(tile_, static_cast<int32_t>(width_), static_cast<int32_t>(rows_),
                              map_.source, map_.invert != 0, clip1, clip2);
    }

private:
    void setColumn(int32_t x) {
        const uint32_t px = static_cast<uint32_t>(x) * repeatX_;
        tileLx_ = px % width_;
        tileX_ = px / width_;
    }

    SourceMap map_;
    uint32_t width_, rows_, repeatX_, repeatY_;
    uint32_t stepDiv_ = 0, stepMod_ = 0;
    bool stepping_ = false, backward_ = false;
    uint32_t tileLx_ = 0, tileX_ = 0;
    TilePosition tile_{};
};

struct ElementGrid {
    bool pixelPass;
    int32_t cellWidth, cellHeight;  // 1 x 1 in the pixel pass
    int32_t columns, rows;
};

// Chooses the pass and the cell size. Answers false when the settings give
// no elements at all (negative sizes or counts).
bool chooseElementGrid(const TransitionSettings& s, int32_t width, int32_t rows, ElementGrid& g) {
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

struct Frame {
    const uint32_t* a;
    uint32_t* d;
    int32_t width, rows;
};

inline void copyCellInPlace(const Frame& fr, int32_t x0, int32_t y0, int32_t cw, int32_t ch) {
    const int32_t w = cw < fr.width - x0 ? cw : fr.width - x0;
    const int32_t h = ch < fr.rows - y0 ? ch : fr.rows - y0;
    for (int32_t j = 0; j < h; ++j) {
        const int64_t at = static_cast<int64_t>(y0 + j) * fr.width + x0;
        std::memcpy(fr.d + at, fr.a + at, static_cast<size_t>(w) * 4);
    }
}

// The cell moves as one block by the truncated displacement; what leaves the
// frame is clipped. The bounds are tested in double first, so a displacement
// beyond any int32 never gets converted.
inline void placeCell(const Frame& fr, int32_t x0, int32_t y0, int32_t cw, int32_t ch,
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
        const int64_t from = (y0 + j) * fr.width + x0 + i0;
        const int64_t to = (y0 + j - dyi) * fr.width + x0 + i0 - dxi;
        std::memcpy(fr.d + to, fr.a + from, static_cast<size_t>(i1 - i0) * 4);
    }
}

}  // namespace

void renderDissipation(const uint32_t* clip1Pixels, uint32_t* destPixels, int32_t rows,
                       int32_t rowBytes, const TransitionSettings& settings,
                       int32_t position, int32_t total) {
    const int32_t width = rowBytes / 4;
    if (rows <= 0 || width <= 0) return;

    FrameMotion f;
    if (!prepareFrameMotion(settings, position, total, width, rows, f)) return;

    ElementGrid g;
    if (!chooseElementGrid(settings, width, rows, g)) return;

    const Frame fr{clip1Pixels, destPixels, width, rows};
    const bool rowsDown = (settings.orderFlags & 1) != 0;
    const bool columnsBack = (settings.orderFlags & 2) != 0;
    const int32_t firstColumn = columnsBack ? g.columns - 1 : 0;
    const int32_t columnDirection = columnsBack ? -1 : 1;
    const int32_t columnStep = columnDirection * g.cellWidth;

    MapWalker delayMap(settings.delayMap, width, rows, columnStep);
    MapWalker movingYMap(settings.movingYMap, width, rows, columnStep);
    MapWalker movingXMap(settings.movingXMap, width, rows, columnStep);

    const double clock = f.clock;
    uint32_t state = frameRandomSeed;

    for (int32_t n = 0; n < g.rows; ++n) {
        const int32_t cy = rowsDown ? g.rows - 1 - n : n;
        const int32_t y0 = cy * g.cellHeight;
        const int32_t firstX = firstColumn * g.cellWidth;
        delayMap.startRow(y0, firstX);
        movingYMap.startRow(y0, firstX);
        movingXMap.startRow(y0, firstX);

        for (int32_t m = 0, cx = firstColumn; m < g.columns; ++m, cx += columnDirection) {
            const int32_t x0 = cx * g.cellWidth;
            if (m > 0) {
                delayMap.nextColumn(x0);
                movingYMap.nextColumn(x0);
                movingXMap.nextColumn(x0);
            }
            const int32_t r1 = drawByte(state, jump1);
            const int32_t r2 = drawByte(state, jump2);
            const int32_t r3 = drawByte(state, jump3) - 128;
            const int32_t r4 = drawByte(state, jump4) - 128;
            state = state * jump4.multiplier + jump4.increment;

            const double delay = elementDelay(f, r1, delayMap.value(clip1Pixels, destPixels));
            const double life = elementLife(f, r2);
            const double age = clock - delay;
            const double tau = age * f.timeScale;

            if (!(clock > delay)) {
                if (g.pixelPass) {
                    const int64_t at = static_cast<int64_t>(y0) * width + x0;
                    destPixels[at] = clip1Pixels[at];
                } else {
                    copyCellInPlace(fr, x0, y0, g.cellWidth, g.cellHeight);
                }
                continue;
            }
            if (life < age) continue;  // died: its place keeps what is there

            const int32_t yi = speedIndex(f, r3, movingYMap.value(clip1Pixels, destPixels), f.yIndexBase);
            const double dy = displacement(f.speedTable[yi + 256], tau, f.yShare, f.gravityAccel);
            const int32_t xi = speedIndex(f, r4, movingXMap.value(clip1Pixels, destPixels), f.xIndexBase);
            const double dx = displacement(f.speedTable[xi + 256], tau, f.xShare, f.windAccel);

            if (g.pixelPass) {
                // Strict lower bounds: row 0 and column 0 never receive a
                // moved pixel in this pass.
                const double ty = y0 - dy, tx = x0 - dx;
                if (ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width) {
                    const int64_t to = static_cast<int64_t>(static_cast<int32_t>(ty)) * width +
                                       static_cast<int32_t>(tx);
                    destPixels[to] = clip1Pixels[static_cast<int64_t>(y0) * width + x0];
                }
            } else {
                placeCell(fr, x0, y0, g.cellWidth, g.cellHeight, dx, dy);
            }
        }
    }
}

}  // namespace glimmer

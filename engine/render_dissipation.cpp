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

// Element rows are walked in chunks of this many element columns: the map
// values of a chunk are computed in one pass before its elements are, which
// keeps the per-element loop short.
constexpr int32_t chunkColumns = 256;

// The diagonal ramps divide n * 255 by width + rows for a whole number n
// from 0 to width + rows. For frames up to this size the quotients are
// computed once per frame; they are the same doubles as the division.
constexpr int32_t rampTableSize = 8192;

struct RampTable {
    bool ready = false;
    double value[rampTableSize];

    void prepare(int32_t width, int32_t rows) {
        const int64_t sum = int64_t{width} + rows;
        if (sum >= rampTableSize) return;
        for (int64_t n = 0; n <= sum; ++n) value[n] = static_cast<double>(n) * 255.0 / static_cast<double>(sum);
        ready = true;
    }
};

bool isDiagonal(int32_t source) { return source >= sourceDiag1 && source <= sourceDiag2S; }

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

// One source map along the renderer's walk. The row part of the tile
// position is computed once per element row, the column part once per
// chunk; values of maps that read the destination are computed only at the
// moment the element samples them, since earlier elements change it.
class MapWalk {
public:
    MapWalk(const SourceMap& map, int32_t width, int32_t rows, const RampTable& ramps)
        : map_(map), width_(width), rows_(rows),
          readsDestination_(map.source >= sourceRed2 && map.source <= sourceAlpha2), ramps_(ramps) {}

    // The chunk's values, or null when they are sampled element by element.
    const double* values() const { return readsDestination_ ? nullptr : values_; }

    void startRow(int32_t y) {
        const uint32_t py = static_cast<uint32_t>(y) * static_cast<uint32_t>(map_.repeatY);
        row_.ly = py % static_cast<uint32_t>(rows_);
        row_.flipY = map_.oddY != 0 && ((py / static_cast<uint32_t>(rows_)) & 1u) != 0;
    }

    // Tile columns of `count` elements whose columns are x, x + step, ...
    // Values too, unless the map reads the destination.
    void fillChunk(int32_t x, int32_t step, int32_t count, const uint32_t* clip1) {
        fillColumns(x, step, count);
        if (!readsDestination_) fillValues(count, clip1);
    }

    double value(int32_t i, const uint32_t* clip1, const uint32_t* clip2) const {
        if (!readsDestination_) return values_[i];
        TilePosition t = row_;
        t.lx = static_cast<uint32_t>(lx_[i]);
        t.flipX = flipX_[i] != 0;
        return sourceMapValue(t, width_, rows_, map_.source, map_.invert != 0, clip1, clip2);
    }

private:
    void fillColumns(int32_t x, int32_t step, int32_t count) {
        const uint32_t w = static_cast<uint32_t>(width_);
        const uint32_t repeat = static_cast<uint32_t>(map_.repeatX);
        const bool odd = map_.oddX != 0;
        // Stepping without a division is exact while x * repeatX cannot
        // wrap, which holds for every repeat count in range (every column
        // walked is below the width).
        if (static_cast<uint64_t>(w) * repeat >= (uint64_t{1} << 32)) {
            for (int32_t i = 0; i < count; ++i, x += step) {
                const uint32_t px = static_cast<uint32_t>(x) * repeat;
                lx_[i] = static_cast<int32_t>(px % w);
                flipX_[i] = odd && ((px / w) & 1u) != 0;
            }
            return;
        }
        const uint32_t px = static_cast<uint32_t>(x) * repeat;
        uint32_t lx = px % w, tile = px / w;
        const uint32_t distance = static_cast<uint32_t>(step < 0 ? -step : step) * repeat;
        const uint32_t tiles = count > 1 ? distance / w : 0, within = count > 1 ? distance % w : 0;
        for (int32_t i = 0; i < count; ++i) {
            lx_[i] = static_cast<int32_t>(lx);
            flipX_[i] = odd && (tile & 1u) != 0;
            if (step > 0) {
                lx += within;
                tile += tiles;
                if (lx >= w) { lx -= w; ++tile; }
            } else if (lx < within) {
                lx += w - within;
                tile -= tiles + 1;
            } else {
                lx -= within;
                tile -= tiles;
            }
        }
    }

    // Ramps and bytes, flipped in the order across, down, invert. The loops
    // are kept branch-free so that the compiler can vectorise them; the
    // results are the same doubles as the plain sampler's.
    void fillValues(int32_t count, const uint32_t* clip1) {
        const double w = width_, h = rows_, ly = row_.ly;
        double* out = values_;
        bool flipsApply = true;
        switch (map_.source) {
        case sourceRed1: case sourceGreen1: case sourceBlue1: case sourceAlpha1: {
            const uint32_t* line = clip1 + static_cast<int64_t>(row_.ly) * width_;
            const int shift = 8 * map_.source;
            for (int32_t i = 0; i < count; ++i) out[i] = static_cast<double>((line[lx_[i]] >> shift) & 255u);
            break;
        }
        case sourceDiag1: case sourceDiag2: case sourceDiag1S: case sourceDiag2S:
            fillDiagonal(count);
            flipsApply = map_.source == sourceDiag1 || map_.source == sourceDiag2;
            break;
        case sourceGradX:
            for (int32_t i = 0; i < count; ++i) out[i] = lx_[i] * 255.0 / w;
            break;
        case sourceGradY: {
            const double v = ly * 255.0 / h;
            for (int32_t i = 0; i < count; ++i) out[i] = v;
            break;
        }
        case sourceBlack:
            for (int32_t i = 0; i < count; ++i) out[i] = 0.0;
            break;
        default: {
            const double v = static_cast<double>(static_cast<uint32_t>(rows_) & 255u);
            for (int32_t i = 0; i < count; ++i) out[i] = v;
            break;
        }
        }
        if (flipsApply) {
            for (int32_t i = 0; i < count; ++i) out[i] = flipX_[i] != 0 ? 255.0 - out[i] : out[i];
            if (row_.flipY)
                for (int32_t i = 0; i < count; ++i) out[i] = 255.0 - out[i];
        }
        if (map_.invert != 0)
            for (int32_t i = 0; i < count; ++i) out[i] = 255.0 - out[i];
    }

    // Numerators of the four diagonal ramps, then their quotients. Mirrored
    // tiles use width - lx and rows - ly and are not flipped afterwards.
    void fillDiagonal(int32_t count) {
        if (!ramps_.ready) {
            fillDiagonalByDivision(count);
            return;
        }
        // With the table, width + rows is small: no sum can overflow.
        const int32_t width = width_, ly = static_cast<int32_t>(row_.ly);
        const int32_t my = row_.flipY ? rows_ - ly : ly;
        int32_t* n = numerators_;
        switch (map_.source) {
        case sourceDiag1:
            for (int32_t i = 0; i < count; ++i) n[i] = lx_[i] + ly;
            break;
        case sourceDiag2:
            for (int32_t i = 0; i < count; ++i) n[i] = width - lx_[i] + ly;
            break;
        case sourceDiag1S:
            for (int32_t i = 0; i < count; ++i) n[i] = (flipX_[i] != 0 ? width - lx_[i] : lx_[i]) + my;
            break;
        default:
            for (int32_t i = 0; i < count; ++i) n[i] = (flipX_[i] != 0 ? lx_[i] : width - lx_[i]) + my;
            break;
        }
        for (int32_t i = 0; i < count; ++i) values_[i] = ramps_.value[n[i]];
    }

    // Large frames: the same quotients, numerators summed in double (exact
    // for whole numbers this size).
    void fillDiagonalByDivision(int32_t count) {
        const double w = width_, ly = row_.ly, sum = w + rows_;
        const double my = row_.flipY ? rows_ - ly : ly;
        for (int32_t i = 0; i < count; ++i) {
            const double lx = lx_[i], mx = flipX_[i] != 0 ? w - lx : lx;
            double n;
            switch (map_.source) {
            case sourceDiag1: n = lx + ly; break;
            case sourceDiag2: n = w - lx + ly; break;
            case sourceDiag1S: n = mx + my; break;
            default: n = w - mx + my; break;
            }
            values_[i] = n * 255.0 / sum;
        }
    }

    SourceMap map_;
    int32_t width_, rows_;
    bool readsDestination_;
    const RampTable& ramps_;
    int32_t numerators_[chunkColumns];
    TilePosition row_{};
    int32_t lx_[chunkColumns];
    int32_t flipX_[chunkColumns];
    double values_[chunkColumns];
};

struct Frame {
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

inline void copyCellInPlace(const Frame& fr, int32_t x0, int32_t y0, int32_t cw, int32_t ch) {
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
        copyWords(fr.d + to, fr.a + from, i1 - i0);
    }
}

struct Walk {
    const FrameMotion& f;
    const ElementGrid& g;
    const Frame& fr;
    MapWalk& delayMap;
    MapWalk& movingYMap;
    MapWalk& movingXMap;
};

// The elements of one chunk of an element row, in processing order. Every
// element draws four numbers, started or not. The Moving maps' values are
// computed only once the chunk has an element that moves.
template <bool pixelPass>
uint32_t renderChunk(const Walk& k, uint32_t state, int32_t y0, int32_t x, int32_t step, int32_t count,
                     const uint32_t* clip1) {
    const FrameMotion& f = k.f;
    const Frame fr = k.fr;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int32_t width = fr.width, rows = fr.rows;
    const int32_t cw = k.g.cellWidth, ch = k.g.cellHeight;
    const double clock = f.clock, timeScale = f.timeScale;
    const double* speedTable = f.speedTable + 256;
    const double* delayValues = k.delayMap.values();
    const double* yValues = nullptr;
    const double* xValues = nullptr;
    bool motionValuesReady = false;
    const int64_t rowStart = static_cast<int64_t>(y0) * width;
    const int32_t firstX = x;

    for (int32_t i = 0; i < count; ++i, x += step) {
        const int32_t r1 = drawByte(state, jump1);
        const int32_t r2 = drawByte(state, jump2);
        const int32_t r3 = drawByte(state, jump3) - 128;
        const int32_t r4 = drawByte(state, jump4) - 128;
        state = state * jump4.multiplier + jump4.increment;

        const double mD = delayValues != nullptr ? delayValues[i] : k.delayMap.value(i, a, d);
        const double delay = elementDelay(f, r1, mD);
        const double life = elementLife(f, r2);
        const double age = clock - delay;
        const double tau = age * timeScale;

        if (!(clock > delay)) {
            if (pixelPass) d[rowStart + x] = a[rowStart + x];
            else copyCellInPlace(fr, x, y0, cw, ch);
            continue;
        }
        if (life < age) continue;  // died: its place keeps what is there

        if (!motionValuesReady) {
            k.movingYMap.fillChunk(firstX, step, count, clip1);
            k.movingXMap.fillChunk(firstX, step, count, clip1);
            yValues = k.movingYMap.values();
            xValues = k.movingXMap.values();
            motionValuesReady = true;
        }
        const double mY = yValues != nullptr ? yValues[i] : k.movingYMap.value(i, a, d);
        const double dy = displacement(speedTable[speedIndex(f, r3, mY, f.yIndexBase)], tau, f.yShare,
                                       f.gravityAccel);
        const double mX = xValues != nullptr ? xValues[i] : k.movingXMap.value(i, a, d);
        const double dx = displacement(speedTable[speedIndex(f, r4, mX, f.xIndexBase)], tau, f.xShare,
                                       f.windAccel);

        if (pixelPass) {
            // Strict lower bounds: row 0 and column 0 never receive a moved
            // pixel in this pass. Tested before converting, as above.
            const double ty = y0 - dy, tx = x - dx;
            if (ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width) {
                const int64_t to = static_cast<int64_t>(static_cast<int32_t>(ty)) * width +
                                   static_cast<int32_t>(tx);
                d[to] = a[rowStart + x];
            }
        } else {
            placeCell(fr, x, y0, cw, ch, dx, dy);
        }
    }
    return state;
}


// Per-element numbers of one chunk, computed a whole array at a time so that
// the compiler can use vector instructions; each value is the same double
// the element-by-element formulas give.
struct ChunkNumbers {
    int32_t r1[chunkColumns], r2[chunkColumns], r3[chunkColumns], r4[chunkColumns];
    double delay[chunkColumns], life[chunkColumns], age[chunkColumns], tau[chunkColumns];
    double dy[chunkColumns], dx[chunkColumns];
    int32_t yIndex[chunkColumns], xIndex[chunkColumns];
};

// speedIndexOfMix without branches.
inline int32_t clampedIndex(double mix) {
    double c = mix > -1.0 ? mix : 0.0;  // NaN too
    c = c < 512.0 ? c : 511.0;
    return static_cast<int32_t>(c) - 256;
}

// The same walk as renderChunk for chunks whose maps do not read the
// destination: the numbers first, then the writes in processing order.
template <bool pixelPass>
uint32_t renderChunkBatched(const Walk& k, ChunkNumbers& c, uint32_t state, int32_t y0, int32_t x,
                            int32_t step, int32_t count, const uint32_t* clip1) {
    const FrameMotion& f = k.f;
    for (int32_t i = 0; i < count; ++i) {
        c.r1[i] = drawByte(state, jump1);
        c.r2[i] = drawByte(state, jump2);
        c.r3[i] = drawByte(state, jump3) - 128;
        c.r4[i] = drawByte(state, jump4) - 128;
        state = state * jump4.multiplier + jump4.increment;
    }
    const double clock = f.clock, timeScale = f.timeScale;
    const double noiseWeight = f.delayNoiseWeight, mapWeight = f.delayMapWeight, scale = f.delayScale;
    const double lifeRange = f.lifeRange, lifeBase = f.lifeBase;
    const double* mD = k.delayMap.values();
    for (int32_t i = 0; i < count; ++i) {
        c.delay[i] = (c.r1[i] * noiseWeight + mD[i] * mapWeight) * scale;
        c.life[i] = c.r2[i] * lifeRange * factor1by255 + lifeBase;
        c.age[i] = clock - c.delay[i];
        c.tau[i] = c.age[i] * timeScale;
    }
    int32_t moving = 0;
    for (int32_t i = 0; i < count; ++i)
        moving |= static_cast<int32_t>(clock > c.delay[i]) & static_cast<int32_t>(!(c.life[i] < c.age[i]));
    if (moving != 0) {
        k.movingYMap.fillChunk(x, step, count, clip1);
        k.movingXMap.fillChunk(x, step, count, clip1);
        const double* mY = k.movingYMap.values();
        const double* mX = k.movingXMap.values();
        const double sw = f.speedNoiseWeight, mw = f.speedMapWeight;
        const double yBase = f.yIndexBase, xBase = f.xIndexBase;
        for (int32_t i = 0; i < count; ++i) {
            c.yIndex[i] = clampedIndex(c.r3[i] * sw + (mY[i] - 128) * mw + yBase);
            c.xIndex[i] = clampedIndex(c.r4[i] * sw + (mX[i] - 128) * mw + xBase);
        }
        const double* speeds = f.speedTable + 256;
        const double yShare = f.yShare, xShare = f.xShare, gravity = f.gravityAccel, wind = f.windAccel;
        for (int32_t i = 0; i < count; ++i) {
            const double tau = c.tau[i];
            c.dy[i] = speeds[c.yIndex[i]] * tau * yShare + gravity * (tau * tau);
            c.dx[i] = speeds[c.xIndex[i]] * tau * xShare + wind * (tau * tau);
        }
    }

    const Frame fr = k.fr;
    const uint32_t* __restrict a = fr.a;
    uint32_t* __restrict d = fr.d;
    const int32_t width = fr.width, rows = fr.rows;
    const int32_t cw = k.g.cellWidth, ch = k.g.cellHeight;
    const int64_t rowStart = static_cast<int64_t>(y0) * width;
    for (int32_t i = 0; i < count; ++i, x += step) {
        if (!(clock > c.delay[i])) {
            if (pixelPass) d[rowStart + x] = a[rowStart + x];
            else copyCellInPlace(fr, x, y0, cw, ch);
            continue;
        }
        if (c.life[i] < c.age[i]) continue;
        if (pixelPass) {
            const double ty = y0 - c.dy[i], tx = x - c.dx[i];
            if (ty >= 1.0 && ty < rows && tx >= 1.0 && tx < width) {
                const int64_t to = static_cast<int64_t>(static_cast<int32_t>(ty)) * width +
                                   static_cast<int32_t>(tx);
                d[to] = a[rowStart + x];
            }
        } else {
            placeCell(fr, x, y0, cw, ch, c.dx[i], c.dy[i]);
        }
    }
    return state;
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
    RampTable ramps;
    if (isDiagonal(settings.delayMap.source) || isDiagonal(settings.movingYMap.source) ||
        isDiagonal(settings.movingXMap.source))
        ramps.prepare(width, rows);
    MapWalk delayMap(settings.delayMap, width, rows, ramps);
    MapWalk movingYMap(settings.movingYMap, width, rows, ramps);
    MapWalk movingXMap(settings.movingXMap, width, rows, ramps);
    const Walk walk{f, g, fr, delayMap, movingYMap, movingXMap};
    const bool batched = delayMap.values() != nullptr && movingYMap.values() != nullptr &&
                         movingXMap.values() != nullptr;
    ChunkNumbers numbers;

    const bool rowsDown = (settings.orderFlags & 1) != 0;
    const bool columnsBack = (settings.orderFlags & 2) != 0;
    const int32_t step = columnsBack ? -g.cellWidth : g.cellWidth;
    uint32_t state = frameRandomSeed;

    for (int32_t n = 0; n < g.rows; ++n) {
        const int32_t y0 = (rowsDown ? g.rows - 1 - n : n) * g.cellHeight;
        delayMap.startRow(y0);
        movingYMap.startRow(y0);
        movingXMap.startRow(y0);
        for (int32_t done = 0; done < g.columns; done += chunkColumns) {
            const int32_t count = g.columns - done < chunkColumns ? g.columns - done : chunkColumns;
            const int32_t column = columnsBack ? g.columns - 1 - done : done;
            const int32_t x = column * g.cellWidth;
            delayMap.fillChunk(x, step, count, clip1Pixels);
            if (batched)
                state = g.pixelPass
                            ? renderChunkBatched<true>(walk, numbers, state, y0, x, step, count, clip1Pixels)
                            : renderChunkBatched<false>(walk, numbers, state, y0, x, step, count, clip1Pixels);
            else
                state = g.pixelPass ? renderChunk<true>(walk, state, y0, x, step, count, clip1Pixels)
                                    : renderChunk<false>(walk, state, y0, x, step, count, clip1Pixels);
        }
    }
}

}  // namespace glimmer

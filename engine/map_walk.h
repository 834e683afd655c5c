// A source map sampled along the renderer's walk over the elements.
//
// The plain sampler (source_map.h) computes every value from scratch; here
// the row part of each tile position is computed once per element row, the
// column part once per chunk of elements, and the diagonal ramps' quotients
// once per frame. The values are the same doubles the plain sampler gives.
#pragma once

#include <cstdint>

#include "source_map_value.h"

namespace glimmer {

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

inline bool isDiagonal(int32_t source) { return source >= sourceDiag1 && source <= sourceDiag2S; }

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

}  // namespace glimmer

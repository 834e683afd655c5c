// A source map sampled along the renderer's walk over the elements.
//
// The plain sampler (source_map.h) computes every value from scratch; here
// the row part of each tile position is computed once per element row, the
// column part once per chunk of elements, and the diagonal ramps' quotients
// once per frame. The values are the same doubles the plain sampler gives.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// out[k] = from[k * stride]. Four at a time: the loads are independent, and
// the loop keeps one pointer instead of a multiply per value.
inline void copyStrided(double* out, const double* from, int64_t stride, int32_t length) {
    int32_t k = 0;
    for (; k + 4 <= length; k += 4, from += 4 * stride) {
        out[k] = from[0];
        out[k + 1] = from[stride];
        out[k + 2] = from[2 * stride];
        out[k + 3] = from[3 * stride];
    }
    for (; k < length; ++k, from += stride) out[k] = *from;
}

// One source map along the renderer's walk. The row part of the tile
// position is computed once per element row, the column part once per
// chunk; values of maps that read the destination are computed only at the
// moment the element samples them, since earlier elements change it.
class MapWalk {
public:
    MapWalk(const SourceMap& map, int32_t width, int32_t rows, const RampTable& ramps)
        : map_(map), width_(width), rows_(rows),
          readsDestination_(readsClipTwo(map)), ramps_(ramps) {}

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
        if (readsDestination_) fillColumns(x, step, count);
        else fillValues(x, step, count, clip1);
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

    // The chunk in stretches that stay within one tile: there the tile
    // column moves by the same amount from element to element and the flip
    // does not change, so each stretch is one short loop. Where a step
    // crosses a tile or the column product could wrap, stretches are one
    // element long.
    void fillValues(int32_t x, int32_t step, int32_t count, const uint32_t* clip1) {
        const uint32_t w = static_cast<uint32_t>(width_);
        const uint32_t repeat = static_cast<uint32_t>(map_.repeatX);
        const bool stretches = static_cast<uint64_t>(w) * repeat < (uint64_t{1} << 32);
        const int64_t distance = (step < 0 ? -int64_t{step} : int64_t{step}) * repeat;
        for (int32_t i = 0; i < count;) {
            const uint32_t px = static_cast<uint32_t>(x + int64_t{i} * step) * repeat;
            const int64_t lx = px % w;
            // Elements left before the column leaves the tile.
            int64_t length = count - i;
            if (!stretches) length = 1;
            else if (distance != 0 && step > 0) length = std::min(length, (w - 1 - lx) / distance + 1);
            else if (distance != 0) length = std::min(length, lx / distance + 1);
            const int32_t move = length == 1 ? 0 : static_cast<int32_t>(step > 0 ? distance : -distance);
            fillStretch(values_ + i, static_cast<int32_t>(length), static_cast<int32_t>(lx), move,
                        map_.oddX != 0 && ((px / w) & 1u) != 0, clip1);
            i += static_cast<int32_t>(length);
        }
    }

    // Ramps and bytes at tile columns lx, lx + move, ..., flipped in the
    // order across, down, invert: the same doubles as the plain sampler.
    void fillStretch(double* out, int32_t length, int32_t lx, int32_t move, bool flipX,
                     const uint32_t* clip1) const {
        const int32_t width = width_, ly = static_cast<int32_t>(row_.ly);
        bool flipsApply = true;
        switch (map_.source) {
        case sourceRed1: case sourceGreen1: case sourceBlue1: case sourceAlpha1: {
            const uint32_t* line = clip1 + static_cast<int64_t>(ly) * width + lx;
            const int shift = 8 * map_.source;
            for (int32_t k = 0; k < length; ++k)
                out[k] = static_cast<double>((line[int64_t{k} * move] >> shift) & 255u);
            break;
        }
        case sourceDiag1: case sourceDiag2: case sourceDiag1S: case sourceDiag2S: {
            // Numerator at the first column and its change per element;
            // mirrored tiles use width - lx and rows - ly and are not
            // flipped afterwards.
            const int32_t my = row_.flipY ? rows_ - ly : ly;
            const bool rising = map_.source == sourceDiag1 || (map_.source == sourceDiag1S && !flipX) ||
                                (map_.source == sourceDiag2S && flipX);
            const bool mirrored = map_.source == sourceDiag1S || map_.source == sourceDiag2S;
            const int64_t n = (rising ? int64_t{lx} : int64_t{width} - lx) + (mirrored ? my : ly);
            const int64_t dn = rising ? move : -int64_t{move};
            if (ramps_.ready) {
                // Neighbouring columns read neighbouring entries.
                const double* ramp = ramps_.value + n;
                if (dn == 1) std::memcpy(out, ramp, sizeof(double) * static_cast<size_t>(length));
                else copyStrided(out, ramp, dn, length);
            } else {
                // Large frames: the same quotients; the numerators are whole
                // numbers, exact in double.
                const double sum = static_cast<double>(int64_t{width} + rows_);
                for (int32_t k = 0; k < length; ++k) out[k] = static_cast<double>(n + k * dn) * 255.0 / sum;
            }
            flipsApply = !mirrored;
            break;
        }
        case sourceGradX: {
            const double w = width;
            for (int32_t k = 0; k < length; ++k) out[k] = static_cast<double>(lx + k * move) * 255.0 / w;
            break;
        }
        default: {
            double v;
            if (map_.source == sourceGradY) v = static_cast<double>(ly) * 255.0 / static_cast<double>(rows_);
            else if (map_.source == sourceBlack) v = 0.0;
            else v = static_cast<double>(static_cast<uint32_t>(rows_) & 255u);
            for (int32_t k = 0; k < length; ++k) out[k] = v;
            break;
        }
        }
        const int flips = (flipsApply && flipX ? 1 : 0) + (flipsApply && row_.flipY ? 1 : 0) + (map_.invert != 0 ? 1 : 0);
        for (int f = 0; f < flips; ++f)
            for (int32_t k = 0; k < length; ++k) out[k] = 255.0 - out[k];
    }

    SourceMap map_;
    int32_t width_, rows_;
    bool readsDestination_;
    const RampTable& ramps_;
    TilePosition row_{};
    int32_t lx_[chunkColumns];
    int32_t flipX_[chunkColumns];
    // Zeroed so that the vector path's lanes past a chunk's end read
    // numbers, not leftovers.
    double values_[chunkColumns] = {};
};

}  // namespace glimmer

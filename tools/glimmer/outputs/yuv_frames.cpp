#include "outputs/yuv_frames.h"

#include <cmath>

namespace glimmer::tool {
namespace {

// Limited-range weights in 16-bit fixed point: Y = 16 + 219/255 (Kr R +
// Kg G + Kb B), Cb = 128 + 224/255 (B - Y') / (2 - 2 Kb), Cr alike with R.
struct Weights {
    int32_t yr, yg, yb, ur, ug, ub, vr, vg, vb;
};

Weights weightsOf(const std::string& matrix) {
    const double kr = matrix == "bt709" ? 0.2126 : 0.299, kb = matrix == "bt709" ? 0.0722 : 0.114;
    const double kg = 1 - kr - kb, luma = 219.0 / 255, chroma = 224.0 / 255, one = 65536;
    auto fixed = [&](double v) { return static_cast<int32_t>(std::lround(v * one)); };
    const double u = chroma / (2 - 2 * kb), v = chroma / (2 - 2 * kr);
    return {fixed(luma * kr), fixed(luma * kg),     fixed(luma * kb),
            fixed(-u * kr),   fixed(-u * kg),       fixed(u * (1 - kb)),
            fixed(v * (1 - kr)), fixed(-v * kg),    fixed(-v * kb)};
}

inline uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

std::size_t yuv420Bytes(int32_t width, int32_t rows) {
    const std::size_t chroma = static_cast<std::size_t>((width + 1) / 2) * static_cast<std::size_t>((rows + 1) / 2);
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(rows) + 2 * chroma;
}

void convertToYuv420(const Picture& frame, const std::string& matrix, std::vector<uint8_t>& out) {
    const Weights w = weightsOf(matrix);
    const int32_t width = frame.width, rows = frame.rows, chromaWidth = (width + 1) / 2;
    out.resize(yuv420Bytes(width, rows));
    uint8_t* yPlane = out.data();
    uint8_t* uPlane = yPlane + static_cast<std::size_t>(width) * rows;
    uint8_t* vPlane = uPlane + static_cast<std::size_t>(chromaWidth) * ((rows + 1) / 2);
    constexpr int32_t half = 1 << 15;
    for (int32_t top = 0; top < rows; ++top) {
        // The engine keeps the top line last.
        const auto* pixels = reinterpret_cast<const uint8_t*>(frame.row(rows - 1 - top));
        uint8_t* y = yPlane + static_cast<std::size_t>(top) * width;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t r = pixels[4 * x], g = pixels[4 * x + 1], b = pixels[4 * x + 2];
            y[x] = static_cast<uint8_t>((w.yr * r + w.yg * g + w.yb * b + (16 << 16) + half) >> 16);
        }
    }
    for (int32_t top = 0; top < rows; top += 2) {
        const auto* upper = reinterpret_cast<const uint8_t*>(frame.row(rows - 1 - top));
        const auto* lower = top + 1 < rows ? reinterpret_cast<const uint8_t*>(frame.row(rows - 2 - top)) : upper;
        uint8_t* u = uPlane + static_cast<std::size_t>(top / 2) * chromaWidth;
        uint8_t* v = vPlane + static_cast<std::size_t>(top / 2) * chromaWidth;
        for (int32_t x = 0; x < width; x += 2) {
            const int32_t right = x + 1 < width ? 4 * (x + 1) : 4 * x;
            // Sums of four, so the weights carry a factor four: shift by 18.
            const int32_t r = upper[4 * x] + upper[right] + lower[4 * x] + lower[right];
            const int32_t g = upper[4 * x + 1] + upper[right + 1] + lower[4 * x + 1] + lower[right + 1];
            const int32_t b = upper[4 * x + 2] + upper[right + 2] + lower[4 * x + 2] + lower[right + 2];
            u[x / 2] = clampByte((w.ur * r + w.ug * g + w.ub * b + (128 << 18) + (1 << 17)) >> 18);
            v[x / 2] = clampByte((w.vr * r + w.vg * g + w.vb * b + (128 << 18) + (1 << 17)) >> 18);
        }
    }
}

}  // namespace glimmer::tool

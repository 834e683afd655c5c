// A picture in engine order: row 0 is the bottom line, width counts the
// pixels of a row, byte n of a pixel is byte n in memory (0 = R, 1 = G,
// 2 = B, 3 = A for everything glimmer reads and writes).
#pragma once

#include <cstdint>
#include <vector>

#include "common/frame_memory.h"
#include "frame_setup.h"

namespace glimmer::tool {

// Bounds that keep a typing slip or a hostile file from asking for
// gigabytes: a frame of the most pixels is 256 MB (16384 x 4096, 8192 x
// 8192; 8K is 7680 x 4320), and glimmer holds a few frames a job.
constexpr int32_t maximumPictureWidth = widestFrame;
constexpr int32_t maximumPictureRows = 16384;
constexpr int64_t maximumPicturePixels = int64_t{1} << 26;

using PixelWords = std::vector<uint32_t, FrameAllocator<uint32_t>>;

struct Picture {
    int32_t width = 0;
    int32_t rows = 0;
    PixelWords pixels;

    Picture() = default;
    Picture(int32_t width_, int32_t rows_, uint32_t fill = 0)
        : width(width_), rows(rows_), pixels(static_cast<std::size_t>(width_) * rows_, fill) {}

    uint32_t* row(int32_t r) { return pixels.data() + static_cast<std::size_t>(r) * width; }
    const uint32_t* row(int32_t r) const { return pixels.data() + static_cast<std::size_t>(r) * width; }
};

// A pixel word from its four bytes, whatever the machine's byte order.
inline uint32_t pixelWord(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    const uint8_t bytes[4] = {r, g, b, a};
    uint32_t word;
    static_assert(sizeof word == sizeof bytes, "a pixel is four bytes");
    __builtin_memcpy(&word, bytes, sizeof word);
    return word;
}

inline uint8_t pixelByte(uint32_t word, int n) {
    uint8_t bytes[4];
    __builtin_memcpy(bytes, &word, sizeof bytes);
    return bytes[n];
}

}  // namespace glimmer::tool

// A picture in engine order: row 0 is the bottom line, width counts the
// pixels of a row, byte n of a pixel is byte n in memory (0 = R, 1 = G,
// 2 = B, 3 = A for everything glimmer reads and writes).
#pragma once

#include <cstdint>
#include <vector>

namespace glimmer::tool {

// The engine takes at most 0x3FFF bytes a row; taller pictures are bounded
// only so that a typing slip cannot ask for gigabytes.
constexpr int32_t maximumPictureWidth = 0x3FFF / 4;
constexpr int32_t maximumPictureRows = 16384;

struct Picture {
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint32_t> pixels;

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

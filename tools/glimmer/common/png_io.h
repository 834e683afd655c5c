// PNG files to and from engine-order pictures, through libpng.
//
// Mapping: byte 0 of a pixel is R, 1 is G, 2 is B, 3 is A; the top row of a
// PNG is the last engine row. Grey, palette and 16-bit inputs are converted
// to RGBA by libpng, A is 255 where the input has no alpha, and no gamma is
// applied. Written files are RGBA, 8 bits a channel, all four bytes as they
// stand in the picture.
#pragma once

#include <cstdint>
#include <string>

#include "common/picture.h"

namespace glimmer::tool {

// zlib levels: fast for sequences, where encoding dominates, and the
// library's usual balance for single pictures.
constexpr int sequenceCompression = 1;
constexpr int pictureCompression = 6;

// Throws ToolError naming the file when it cannot be opened, is not a PNG,
// is corrupt or truncated, or is larger than the engine takes.
Picture readPng(const std::string& path);

// Writes `rows` rows of `width` pixels (engine order) to `path`, which
// appears only once complete. Throws ToolError naming the file on failure.
void writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t rows,
              int compression = pictureCompression);

inline void writePng(const std::string& path, const Picture& picture, int compression = pictureCompression) {
    writePng(path, picture.pixels.data(), picture.width, picture.rows, compression);
}

}  // namespace glimmer::tool

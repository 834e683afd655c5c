// A picture in the engine's word layout, read from or written to PNG.
//
// Byte 0 of a pixel is red, 1 green, 2 blue, 3 alpha (255 when the file has
// none). Row 0 is the bottom line: the top row of a PNG is the last row.
// The command-line renderer maps PNG files the same way, so the outputs of
// the two compare byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glimmer {

struct EngineImage {
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint32_t> pixels;
};

// False when the file cannot be read as a picture.
bool readPng(const std::string& path, EngineImage& image);
bool writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t rows);

}  // namespace glimmer

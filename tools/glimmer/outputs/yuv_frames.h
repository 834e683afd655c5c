// Our frames as the 4:2:0 YUV that H.264, HEVC, VP9 and AV1 encoders take:
// limited range, the BT.709 or BT.601 matrix, each chroma sample from the
// average of its 2x2 block, top row first. Converting here, on frames we
// already hold, spares the encoder a conversion of its own and sends it
// three eighths of the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/picture.h"

namespace glimmer::tool {

// Bytes of one frame: the Y plane, then Cb and Cr at half size, rounded up.
std::size_t yuv420Bytes(int32_t width, int32_t rows);

// `matrix` is "bt709" or "smpte170m" (BT.601). `out` gets yuv420Bytes.
void convertToYuv420(const Picture& frame, const std::string& matrix, std::vector<uint8_t>& out);

}  // namespace glimmer::tool

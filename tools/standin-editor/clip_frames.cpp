#include "clip_frames.h"

#include <algorithm>
#include <cmath>

namespace glimmer {
namespace {

int32_t frameWidth(const HostFrameRecord& frame) { return (frame.rowBytes & 0x3FFF) / 4; }
int32_t frameRows(const HostFrameRecord& frame) { return frame.bounds[3] - frame.bounds[1]; }

uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16 | 0xFF000000u;
}

void copyPicture(const EngineImage& from, HostFrameRecord& frame) {
    const int32_t width = frameWidth(frame);
    const int32_t rows = std::min(frameRows(frame), from.rows);
    const int32_t columns = std::min(width, from.width);
    if (frame.pixels == nullptr || columns <= 0) return;
    for (int32_t y = 0; y < rows; ++y)
        std::copy_n(from.pixels.data() + static_cast<std::size_t>(y) * from.width, columns,
                    frame.pixels + static_cast<std::size_t>(y) * width);
}

}  // namespace

void StillClipFrames::fill(int32_t track, int32_t, HostFrameRecord& frame) {
    copyPicture(track == 0 ? clip1_ : clip2_, frame);
}

void MovingClipFrames::fill(int32_t track, int32_t frameIndex, HostFrameRecord& frame) {
    if (frame.pixels == nullptr) return;
    drawMovingClip(track, frameIndex, frame.pixels, frameWidth(frame), frameRows(frame));
}

void drawMovingClip(int32_t track, int32_t frameIndex, uint32_t* pixels, int32_t width, int32_t rows) {
    static const uint32_t bars[] = {rgb(235, 235, 235), rgb(235, 235, 16), rgb(16, 235, 235), rgb(16, 235, 16),
                                    rgb(235, 16, 235),  rgb(235, 16, 16),  rgb(16, 16, 235),  rgb(16, 16, 16)};
    for (int32_t y = 0; y < rows; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t& p = pixels[static_cast<std::size_t>(y) * width + x];
            if (track == 0) {
                const int32_t shifted = ((x - frameIndex * 3) % width + width) % width;
                p = bars[shifted * 8 / std::max(width, 1)];
            } else {
                const double dx = x - width / 2.0;
                const double dy = y - rows / 2.0 - frameIndex * 2.0;
                const int ring = static_cast<int>(std::sqrt(dx * dx + dy * dy) / 12.0);
                p = ring % 2 == 0 ? rgb(40, 90, 200) : rgb(250, 200, 60);
            }
        }
    }
}

}  // namespace glimmer

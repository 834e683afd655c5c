// Raw RGBA frames on standard output, top row first, one after another with
// nothing between them: what "ffmpeg -f rawvideo -pix_fmt rgba -s WxH -i -"
// and the like read.
#pragma once

#include "frame_jobs.h"

namespace glimmer::tool {

class RawStreamWriter : public FrameConsumer {
public:
    bool needsOrder() const override { return true; }
    // Throws ToolError when the reader has gone.
    void take(int32_t position, const Picture& frame) override;
};

}  // namespace glimmer::tool

// Raw RGBA frames on standard output, top row first, one after another with
// nothing between them: what "ffmpeg -f rawvideo -pix_fmt rgba -s WxH -i -"
// and the like read.
#pragma once

#include "plan/frame_jobs.h"

namespace glimmer::tool {

class RawStreamWriter : public FrameConsumer {
public:
    bool needsOrder() const override { return true; }
    // Throws ToolError when the reader has gone.
    void take(int32_t position, const Picture& frame) override;
};

// Writes a picture's rows top row first, gathered into few system calls
// and without a copy; false when the reader has gone.
bool writeRowsTopFirst(int fd, const Picture& picture);

}  // namespace glimmer::tool

// A contact sheet: the frames of a transition, scaled, in reading order,
// each with its position written under it.
//
// Jobs put their frames straight into the sheet (each frame has a place of
// its own, so they never write the same pixels); only the sheet and a
// frame a job are held.
#pragma once

#include <string>

#include "plan/frame_jobs.h"

namespace glimmer::tool {

struct SheetLayout {
    int32_t frames;
    int32_t columns;
    double scale;
};

class ContactSheet : public FrameConsumer {
public:
    ContactSheet(int32_t frameWidth, int32_t frameRows, const SheetLayout& layout);
    bool needsOrder() const override { return false; }
    void take(int32_t position, const Picture& frame) override;
    const Picture& picture() const { return sheet_; }

    // The sheet size a layout gives, to refuse a huge one before rendering.
    static int64_t sheetPixels(int32_t frameWidth, int32_t frameRows, const SheetLayout& layout);

private:
    int32_t frameWidth_, frameRows_;
    SheetLayout layout_;
    int32_t cellWidth_, cellRows_, labelRows_, dot_;
    Picture sheet_;
};

}  // namespace glimmer::tool

#include "outputs/contact_sheet.h"

#include <algorithm>
#include <cmath>

#include "outputs/bitmap_font.h"

namespace glimmer::tool {
namespace {

constexpr int32_t gap = 6;
const uint32_t background = pixelWord(30, 30, 36);
const uint32_t labelColour = pixelWord(235, 235, 235);

int32_t scaled(int32_t size, double scale) {
    return std::max<int32_t>(1, static_cast<int32_t>(std::lround(size * scale)));
}

struct Cells {
    int32_t width, rows, dot, labelRows, sheetRows, sheetWidth;
};

Cells measure(int32_t frameWidth, int32_t frameRows, const SheetLayout& layout) {
    Cells c;
    c.width = scaled(frameWidth, layout.scale);
    c.rows = scaled(frameRows, layout.scale);
    c.dot = std::clamp(c.width / 90, 1, 4);
    c.labelRows = glyphHeight * c.dot + 4;
    const int32_t lines = (layout.frames + layout.columns - 1) / layout.columns;
    c.sheetWidth = layout.columns * (c.width + gap) + gap;
    c.sheetRows = lines * (c.rows + c.labelRows + gap) + gap;
    return c;
}

// The average of the frame's pixels under one sheet pixel, byte by byte.
uint32_t averageArea(const Picture& frame, int32_t x0, int32_t x1, int32_t top0, int32_t top1) {
    uint32_t sums[4] = {0, 0, 0, 0};
    for (int32_t top = top0; top < top1; ++top) {
        const uint32_t* row = frame.row(frame.rows - 1 - top);
        for (int32_t x = x0; x < x1; ++x)
            for (int n = 0; n < 4; ++n) sums[n] += pixelByte(row[x], n);
    }
    const uint32_t count = static_cast<uint32_t>((x1 - x0) * (top1 - top0));
    return pixelWord(static_cast<uint8_t>((sums[0] + count / 2) / count), static_cast<uint8_t>((sums[1] + count / 2) / count),
                     static_cast<uint8_t>((sums[2] + count / 2) / count), static_cast<uint8_t>((sums[3] + count / 2) / count));
}

}  // namespace

int64_t ContactSheet::sheetPixels(int32_t frameWidth, int32_t frameRows, const SheetLayout& layout) {
    const Cells c = measure(frameWidth, frameRows, layout);
    return int64_t{c.sheetWidth} * c.sheetRows;
}

ContactSheet::ContactSheet(int32_t frameWidth, int32_t frameRows, const SheetLayout& layout)
    : frameWidth_(frameWidth), frameRows_(frameRows), layout_(layout) {
    const Cells c = measure(frameWidth, frameRows, layout);
    cellWidth_ = c.width;
    cellRows_ = c.rows;
    labelRows_ = c.labelRows;
    dot_ = c.dot;
    sheet_ = Picture(c.sheetWidth, c.sheetRows, background);
}

void ContactSheet::take(int32_t position, const Picture& frame) {
    const int32_t left = gap + (position % layout_.columns) * (cellWidth_ + gap);
    const int32_t top = gap + (position / layout_.columns) * (cellRows_ + labelRows_ + gap);
    for (int32_t y = 0; y < cellRows_; ++y) {
        const int32_t top0 = static_cast<int32_t>(int64_t{y} * frameRows_ / cellRows_);
        const int32_t top1 = std::max(top0 + 1, static_cast<int32_t>(int64_t{y + 1} * frameRows_ / cellRows_));
        uint32_t* out = sheet_.row(sheet_.rows - 1 - (top + y)) + left;
        for (int32_t x = 0; x < cellWidth_; ++x) {
            const int32_t x0 = static_cast<int32_t>(int64_t{x} * frameWidth_ / cellWidth_);
            const int32_t x1 = std::max(x0 + 1, static_cast<int32_t>(int64_t{x + 1} * frameWidth_ / cellWidth_));
            out[x] = averageArea(frame, x0, x1, top0, top1);
        }
    }
    const std::string label = std::to_string(position);
    drawText(sheet_, left + (cellWidth_ - textWidth(label, dot_)) / 2, top + cellRows_ + 2, label, dot_, labelColour);
}

}  // namespace glimmer::tool

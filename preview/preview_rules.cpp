#include "preview_rules.h"

namespace {

// The host's numbers are not checked; arithmetic on them wraps instead of
// overflowing.
int32_t wrappingSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

PicturePlacement placePicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                              int32_t boxHeight) {
    PicturePlacement placement{0, 0, boxWidth, boxHeight};
    if (pictureWidth < boxWidth) {
        placement.x = (boxWidth - pictureWidth) / 2;
        placement.width = pictureWidth;
    }
    if (pictureHeight < boxHeight) {
        const int32_t slack = boxHeight - pictureHeight;
        if (slack / 2 > 10)
            placement.y = (slack - 10) / 2 + 10;
        else if (slack > 2)
            placement.y = slack - 2;
        else
            placement.y = slack / 2;
        placement.height = pictureHeight;
    }
    return placement;
}

int32_t effectiveHoldBits(int32_t holdFlags, bool reverse) {
    const int32_t bits = holdFlags & 3;
    return reverse ? ((bits & 1) << 1) | ((bits & 2) >> 1) : bits;
}

SourceTracks sourceTracks(bool sourceSwap, bool reverse) {
    return sourceSwap != reverse ? SourceTracks{1, 0} : SourceTracks{0, 1};
}

int32_t heldFrameOfImageA(int32_t total, bool reverse) { return reverse ? wrappingSum(total, -1) : 0; }

int32_t heldFrameOfImageB(int32_t total, bool reverse) { return reverse ? 0 : wrappingSum(total, -1); }

int32_t renderPosition(int32_t trackbarPosition, int32_t total, bool reverse) {
    if (!reverse) return trackbarPosition;
    return wrappingSum(wrappingSum(total, -1), static_cast<int32_t>(0u - static_cast<uint32_t>(trackbarPosition)));
}

int32_t previewTrackbarMaximum(int32_t total) { return total > 0 ? total - 1 : 0; }

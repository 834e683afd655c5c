// The preview's rules, apart from windows and host calls: where a picture
// goes in a group box, which frames the Hold boxes pin, which track each
// image comes from, and which position the renderer gets.
#pragma once

#include <cstdint>

struct PicturePlacement {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// A picture that fits is centred across and, below the group box's 10-pixel
// caption band when there is room, down; on an axis where it does not fit
// it is squeezed to the box from 0. Never enlarged.
PicturePlacement placePicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth,
                              int32_t boxHeight);

// holdFlags as the preview applies them: bit 0 holds image A, bit 1 image
// B. A reversed transition exchanges the two clips' bits.
int32_t effectiveHoldBits(int32_t holdFlags, bool reverse);

struct SourceTracks {
    int32_t imageA;
    int32_t imageB;
};

// Image A is track 0 unless exactly one of sourceSwap and reverse is set.
SourceTracks sourceTracks(bool sourceSwap, bool reverse);

// The frame a held image is pinned to.
int32_t heldFrameOfImageA(int32_t total, bool reverse);
int32_t heldFrameOfImageB(int32_t total, bool reverse);

// The position the renderer gets for trackbar position p: total - p - 1
// when the transition runs backwards.
int32_t renderPosition(int32_t trackbarPosition, int32_t total, bool reverse);

// The preview trackbar runs 0 .. total - 1; a length of 0 (or a nonsensical
// negative one) gives 0 .. 0.
int32_t previewTrackbarMaximum(int32_t total);

// The Sources page's picture of a source map: 128 x 96 grey levels sampled
// from the preview's current source frames.
#pragma once

#include <cstdint>

#include "transition_settings.h"

constexpr int32_t thumbnailWidth = 128;
constexpr int32_t thumbnailRows = 96;

// What a thumbnail is sampled from: image A's geometry and both clips'
// pixels, as the preview last fetched them.
struct ThumbnailSources {
    int32_t width;
    int32_t rows;
    const uint32_t* clip1Pixels;
    const uint32_t* clip2Pixels;
};

// Fills `thumbnail` (128 x 96 words, row 0 first) with the map's value at
// the matching point of a width x rows picture, as a grey level in all four
// bytes of each word. A picture of no size has no values to show: the
// thumbnail is black.
void computeSourceThumbnail(uint32_t* thumbnail, const glimmer::SourceMap& map,
                            const ThumbnailSources& sources);

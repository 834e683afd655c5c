// The built-in pair: two colourful, detailed pictures made by the program,
// so that glimmer shows the transition without any input files.
//
// Image A is a sunset over the sea (sky gradient, striped sun, mountain
// ridges, stars, ripples); image B is a mosaic of coloured tiles with rings.
// Both are drawn in coordinates relative to the picture's height, so they
// look alike at every size, and their fine detail makes every moving cell
// visible.
#pragma once

#include <cstdint>

#include "common/picture.h"

namespace glimmer::tool {

Picture makeSunsetPicture(int32_t width, int32_t rows);
Picture makeMosaicPicture(int32_t width, int32_t rows);

}  // namespace glimmer::tool

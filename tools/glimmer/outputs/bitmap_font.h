// A small built-in bitmap font for the numbers under contact-sheet frames,
// so the sheet needs no font files: digits, '/', '-', '.' and space, 5 by 7
// dots each.
#pragma once

#include <cstdint>
#include <string>

#include "common/picture.h"

namespace glimmer::tool {

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = glyphWidth + 1;

// Width in pixels of `text` drawn with dots of `dot` pixels.
int textWidth(const std::string& text, int dot);

// Draws `text` with its top-left corner at column x, line y counted from
// the top of the picture. Characters the font lacks are left blank; dots
// outside the picture are dropped.
void drawText(Picture& picture, int x, int y, const std::string& text, int dot, uint32_t colour);

}  // namespace glimmer::tool

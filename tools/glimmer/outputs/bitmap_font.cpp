#include "outputs/bitmap_font.h"

namespace glimmer::tool {
namespace {

// Seven lines a glyph, top first; bit 4 is the leftmost dot.
struct Glyph {
    char character;
    uint8_t lines[glyphHeight];
};

constexpr Glyph glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
};

const Glyph* findGlyph(char c) {
    for (const Glyph& g : glyphs)
        if (g.character == c) return &g;
    return nullptr;
}

}  // namespace

int textWidth(const std::string& text, int dot) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * glyphAdvance - 1) * dot;
}

void drawText(Picture& picture, int x, int y, const std::string& text, int dot, uint32_t colour) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = findGlyph(text[i]);
        if (glyph == nullptr) continue;
        const int left = x + static_cast<int>(i) * glyphAdvance * dot;
        for (int line = 0; line < glyphHeight; ++line)
            for (int column = 0; column < glyphWidth; ++column) {
                if ((glyph->lines[line] & (0x10 >> column)) == 0) continue;
                for (int dy = 0; dy < dot; ++dy)
                    for (int dx = 0; dx < dot; ++dx) {
                        const int px = left + column * dot + dx, py = y + line * dot + dy;
                        if (px >= 0 && px < picture.width && py >= 0 && py < picture.rows)
                            picture.row(picture.rows - 1 - py)[px] = colour;
                    }
            }
    }
}

}  // namespace glimmer::tool

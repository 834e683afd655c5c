#include "settings_fields.h"

#include <cstring>

#include "source_map.h"

namespace glimmer {

// A row is the record's part (name, default, range, meaning) and then how
// the dialog shows it: page, group, caption, tooltip, list, slider top, and
// whether and where host panels show it.
#define FIELD(name, def, lo, hi, meaning, ...) \
    {#name, offsetof(TransitionSettings, name), -1, def, lo, hi, false, meaning, __VA_ARGS__}
#define FLAG(name, field, bit, def, meaning, ...) \
    {name, offsetof(TransitionSettings, field), bit, def, 0, 1, true, meaning, __VA_ARGS__}
#define MAP(map, name, def, lo, hi, meaning, ...) \
    {#map "." #name, offsetof(TransitionSettings, map) + offsetof(SourceMap, name), -1, def, lo, hi, false, \
     meaning, __VA_ARGS__}
#define SHOWN(page, group, caption, tooltip, sliderTop, order) \
    page, group, caption, tooltip, nullptr, 0, sliderTop, true, order
#define LISTED(page, group, caption, tooltip, names, order) \
    page, group, caption, tooltip, names, int32_t(sizeof names / sizeof names[0]), \
    int32_t(sizeof names / sizeof names[0]) - 1, true, order
#define UNSHOWN(page, group, caption, top) page, group, caption, "", nullptr, 0, top, false, -1
#define SOURCE_MAP(map, sourceDefault, repeat, odd, what, order)                                         \
    MAP(map, source, sourceDefault, 0, 14, "source of the " what " map (0..14 or a source name)",         \
        LISTED("Sources", what, "Source", "", sourceMapNames, order)),                                     \
    MAP(map, invert, 0, 0, 1, "invert the " what " map", SHOWN("Sources", what, "Invert", "", 1, order + 1)), \
    MAP(map, repeatX, repeat, 1, 16, "repetitions of the " what " map across",                            \
        SHOWN("Sources", what, "Repeat X", "", 16, order + 2)),                                            \
    MAP(map, repeatY, repeat, 1, 16, "repetitions of the " what " map down",                              \
        SHOWN("Sources", what, "Repeat Y", "", 16, order + 3)),                                            \
    MAP(map, oddX, odd, 0, 1, "flip or mirror every other " what " tile across",                          \
        SHOWN("Sources", what, "Odd X", "", 1, order + 4)),                                                \
    MAP(map, oddY, odd, 0, 1, "flip or mirror every other " what " tile down",                            \
        SHOWN("Sources", what, "Odd Y", "", 1, order + 5))

// The radio button pairs of the "Order" box, by the value of their bit.
const char* const columnOrderNames[] = {"L->R", "R->L"};
const char* const rowOrderNames[] = {"U->D", "D->U"};

const SettingsField settingsFields[] = {
    FIELD(cellFlags, 0, 0, 1, "bit 0: Bands (cell sizes count cells across and down)",
          UNSHOWN("Movement", "Cell size", "Bands", 1)),
    FLAG("bands", cellFlags, 0, 0, "cellWidth and cellHeight count cells across and down",
         SHOWN("Movement", "Cell size", "Bands", "", 1, 7)),
    FIELD(orderFlags, 0, 0, 3, "bit 0: rows bottom to top (D->U); bit 1: columns right to left (R->L)",
          UNSHOWN("Life", "Order", "Order", 3)),
    FLAG("orderDownUp", orderFlags, 0, 0, "take the rows from the last to the first (D->U)",
         LISTED("Life", "Order", "Rows", "Down to up calculation order", rowOrderNames, 17)),
    FLAG("orderRightLeft", orderFlags, 1, 0, "take the columns from the last to the first (R->L)",
         LISTED("Life", "Order", "Columns", "Right to left calculation order", columnOrderNames, 16)),
    FIELD(holdFlags, 3, 0, 3, "preview only: bit 0 holds clip 1, bit 1 holds clip 2 on one frame",
          UNSHOWN("Nature", "Hold", "Hold", 3)),
    FIELD(speedVariance, 105, 0, 255, "variance of pixel speed",
          SHOWN("Movement", "Speed", "Variance", "Variance of pixel speed", 255, 0)),
    FIELD(speedNoise, 0, 0, 255, "random component of the speed against the Moving maps",
          SHOWN("Movement", "Speed", "Noise", "Add random component", 255, 1)),
    FIELD(xySpeedDifference, 118, 0, 255, "share of the speed that goes vertical (value/255)",
          SHOWN("Movement", "Direction", "X<->Y", "Horisontal and vertical speed difference", 255, 2)),
    FIELD(centerX, 127, 0, 256, "horizontal direction bias",
          SHOWN("Movement", "Direction", "CenterX", "X Direction", 256, 3)),
    FIELD(centerY, 127, 0, 256, "vertical direction bias",
          SHOWN("Movement", "Direction", "CenterY", "Y Direction", 256, 4)),
    FIELD(minimumSpeed, 25, 0, 255, "least speed of a moving pixel",
          SHOWN("Nature", "Minimum Speed and Timeline", "Minimum", "Minimal pixel speed", 255, 8)),
    FIELD(timelineLinearity, 127, 0, 255, "shape of the transition clock; 127 = linear",
          SHOWN("Nature", "Minimum Speed and Timeline", "Timeline", "Linearity of timeline", 255, 9)),
    FIELD(gravity, 0, 0, 255, "vertical acceleration, pulling down; 0 = none",
          SHOWN("Nature", "Gravity and Wind", "Gravity", "Simulate gravity", 255, 10)),
    FIELD(wind, 128, 0, 255, "horizontal acceleration; 128 = none, below blows left, above right",
          SHOWN("Nature", "Gravity and Wind", "Wind", "Simulate wind", 255, 11)),
    FIELD(delay, 65, 0, 255, "longest start delay, as a share of the transition",
          SHOWN("Life", "Delay", "Delay", "Delay from start", 255, 12)),
    FIELD(delayNoise, 20, 0, 255, "random component of the delay against the Delay map",
          SHOWN("Life", "Delay", "Noise", "Add random component", 255, 13)),
    FIELD(lifeMinimum, 255, 0, 255, "shortest life of a moving pixel, as a share of the transition",
          SHOWN("Life", "Pixel Life", "Minimum", "Minimal pixel life", 255, 14)),
    FIELD(lifeMaximum, 255, 0, 255, "random span added to the shortest life",
          SHOWN("Life", "Pixel Life", "Maximum", "Maximal pixel life", 255, 15)),
    // Useful cells are a few pixels to a few dozen; 4096 is for typing.
    FIELD(cellWidth, 2, 1, 4096, "width of a cell in pixels; with bands, cells across",
          SHOWN("Movement", "Cell size", "Cell width", "", 64, 5)),
    FIELD(cellHeight, 2, 1, 4096, "height of a cell in rows; with bands, cells down",
          SHOWN("Movement", "Cell size", "Cell height", "", 64, 6)),
    SOURCE_MAP(movingXMap, 8, 1, 0, "Moving X", 18),
    SOURCE_MAP(movingYMap, 10, 1, 0, "Moving Y", 24),
    SOURCE_MAP(delayMap, 9, 2, 1, "Delay", 30),
};

#undef SOURCE_MAP
#undef UNSHOWN
#undef LISTED
#undef SHOWN
#undef MAP
#undef FLAG
#undef FIELD

const std::size_t settingsFieldCount = sizeof settingsFields / sizeof settingsFields[0];

const SettingsField* findSettingsField(const char* name) {
    for (const SettingsField& f : settingsFields)
        if (std::strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

namespace {
int32_t& wordAt(TransitionSettings& s, std::size_t offset) {
    return *reinterpret_cast<int32_t*>(reinterpret_cast<unsigned char*>(&s) + offset);
}
}  // namespace

int32_t readSettingsField(const TransitionSettings& s, const SettingsField& f) {
    const int32_t word = wordAt(const_cast<TransitionSettings&>(s), f.offset);
    return f.bit < 0 ? word : (word >> f.bit) & 1;
}

void writeSettingsField(TransitionSettings& s, const SettingsField& f, int32_t value) {
    int32_t& word = wordAt(s, f.offset);
    if (f.bit < 0) {
        word = value;
    } else {
        const int32_t mask = int32_t{1} << f.bit;
        word = value != 0 ? (word | mask) : (word & ~mask);
    }
}

bool isSourceField(const SettingsField& f) {
    const char* dot = std::strchr(f.name, '.');
    return dot != nullptr && std::strcmp(dot + 1, "source") == 0;
}

std::string panelCaption(const SettingsField& f) {
    for (const SettingsField& other : settingsFields)
        if (other.panel && &other != &f && std::strcmp(other.caption, f.caption) == 0)
            return std::string(f.group) + ": " + f.caption;
    return f.caption;
}

const SettingsField* panelField(std::size_t order) {
    for (const SettingsField& f : settingsFields)
        if (f.panel && f.panelOrder == static_cast<int32_t>(order)) return &f;
    return nullptr;
}

}  // namespace glimmer

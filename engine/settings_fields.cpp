#include "settings_fields.h"

#include <cstring>

namespace glimmer {

#define FIELD(name, def, lo, hi, meaning) \
    {#name, offsetof(TransitionSettings, name), -1, def, lo, hi, false, meaning}
#define FLAG(name, field, bit, def, meaning) \
    {name, offsetof(TransitionSettings, field), bit, def, 0, 1, true, meaning}
#define MAP(map, name, def, lo, hi, meaning) \
    {#map "." #name, offsetof(TransitionSettings, map) + offsetof(SourceMap, name), -1, def, lo, hi, false, meaning}
#define SOURCE_MAP(map, sourceDefault, repeat, odd, what)                                       \
    MAP(map, source, sourceDefault, 0, 14, "source of the " what " map (0..14 or a source name)"),    \
    MAP(map, invert, 0, 0, 1, "invert the " what " map"),                                      \
    MAP(map, repeatX, repeat, 1, 16, "repetitions of the " what " map across"),                \
    MAP(map, repeatY, repeat, 1, 16, "repetitions of the " what " map down"),                  \
    MAP(map, oddX, odd, 0, 1, "flip or mirror every other " what " tile across"),              \
    MAP(map, oddY, odd, 0, 1, "flip or mirror every other " what " tile down")

const SettingsField settingsFields[] = {
    FIELD(cellFlags, 0, 0, 1, "bit 0: Bands (cell sizes count cells across and down)"),
    FLAG("bands", cellFlags, 0, 0, "cellWidth and cellHeight count cells across and down"),
    FIELD(orderFlags, 0, 0, 3, "bit 0: rows bottom to top (D->U); bit 1: columns right to left (R->L)"),
    FLAG("orderDownUp", orderFlags, 0, 0, "take the rows from the last to the first (D->U)"),
    FLAG("orderRightLeft", orderFlags, 1, 0, "take the columns from the last to the first (R->L)"),
    FIELD(holdFlags, 3, 0, 3, "preview only: bit 0 holds clip 1, bit 1 holds clip 2 on one frame"),
    FIELD(speedVariance, 105, 0, 255, "variance of pixel speed"),
    FIELD(speedNoise, 0, 0, 255, "random component of the speed against the Moving maps"),
    FIELD(xySpeedDifference, 118, 0, 255, "share of the speed that goes vertical (value/255)"),
    FIELD(centerX, 127, 0, 256, "horizontal direction bias"),
    FIELD(centerY, 127, 0, 256, "vertical direction bias"),
    FIELD(minimumSpeed, 25, 0, 255, "least speed of a moving pixel"),
    FIELD(timelineLinearity, 127, 0, 255, "shape of the transition clock; 127 = linear"),
    FIELD(gravity, 0, 0, 255, "vertical acceleration, pulling down; 0 = none"),
    FIELD(wind, 128, 0, 255, "horizontal acceleration; 128 = none, below blows left, above right"),
    FIELD(delay, 65, 0, 255, "longest start delay, as a share of the transition"),
    FIELD(delayNoise, 20, 0, 255, "random component of the delay against the Delay map"),
    FIELD(lifeMinimum, 255, 0, 255, "shortest life of a moving pixel, as a share of the transition"),
    FIELD(lifeMaximum, 255, 0, 255, "random span added to the shortest life"),
    FIELD(cellWidth, 2, 1, 4096, "width of a cell in pixels; with bands, cells across"),
    FIELD(cellHeight, 2, 1, 4096, "height of a cell in rows; with bands, cells down"),
    SOURCE_MAP(movingXMap, 8, 1, 0, "Moving X"),
    SOURCE_MAP(movingYMap, 10, 1, 0, "Moving Y"),
    SOURCE_MAP(delayMap, 9, 2, 1, "Delay"),
};

#undef SOURCE_MAP
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

}  // namespace glimmer

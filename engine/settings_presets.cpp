#include "settings_presets.h"

#include <cstring>

#include "settings_fields.h"
#include "source_map.h"

namespace glimmer {

namespace {

// Map values, from the Sources page's legends: Moving X black moves right,
// Moving Y black moves up, Delay black starts first. "Grad X" rises from the
// left edge, "Grad Y" from the bottom; repeated twice with "Odd" it peaks in
// the middle.
const PresetAssignment pixelRain[] = {
    {"cellWidth", 1}, {"cellHeight", 1}, {"gravity", 90}, {"delayMap.source", sourceGradY},
};
const PresetAssignment windBands[] = {
    {"bands", 1}, {"cellWidth", 1}, {"cellHeight", 24}, {"wind", 230}, {"delayMap.source", sourceGradY},
};
const PresetAssignment tiles[] = {
    {"cellWidth", 32}, {"cellHeight", 32}, {"gravity", 40}, {"delayMap.source", sourceGradX},
};
const PresetAssignment fallingSand[] = {
    {"cellWidth", 2},        {"cellHeight", 2},      {"gravity", 255},
    {"speedVariance", 12},   {"minimumSpeed", 2},    {"speedNoise", 255},
    {"delay", 200},          {"delayNoise", 80},     {"delayMap.source", sourceGradY},
    {"delayMap.repeatX", 1}, {"delayMap.repeatY", 1}, {"delayMap.oddX", 0},
    {"delayMap.oddY", 0},
};
const PresetAssignment explosion[] = {
    {"cellWidth", 4},   {"cellHeight", 4},     {"speedVariance", 60},
    {"speedNoise", 20}, {"minimumSpeed", 20},  {"xySpeedDifference", 127},
    {"centerX", 128},   {"centerY", 128},      {"delay", 255},
    {"delayNoise", 10}, {"movingXMap.source", sourceGradX}, {"movingXMap.invert", 1},
    {"movingYMap.source", sourceGradY}, {"movingYMap.invert", 1}, {"delayMap.invert", 1},
};
const PresetAssignment windFromTheLeft[] = {
    {"cellWidth", 3},        {"cellHeight", 3},       {"wind", 255},
    {"gravity", 20},         {"xySpeedDifference", 40}, {"delay", 180},
    {"delayNoise", 60},      {"movingXMap.source", sourceBlack}, {"delayMap.source", sourceGradX},
    {"delayMap.repeatX", 1}, {"delayMap.repeatY", 1}, {"delayMap.oddX", 0},
    {"delayMap.oddY", 0},
};
const PresetAssignment bigTiles[] = {
    {"cellWidth", 96},  {"cellHeight", 96}, {"gravity", 120}, {"speedVariance", 30},
    {"minimumSpeed", 5}, {"delay", 160},    {"delayNoise", 255},
};
const PresetAssignment dissolve[] = {
    {"cellWidth", 1}, {"cellHeight", 1}, {"speedVariance", 0}, {"minimumSpeed", 0}, {"delay", 255},
    {"delayNoise", 255}, {"lifeMinimum", 0}, {"lifeMaximum", 40},
};

template <std::size_t n>
constexpr std::size_t countOf(const PresetAssignment (&)[n]) {
    return n;
}

}  // namespace

#define PRESET(name, title, description, list) {name, title, description, list, countOf(list)}

const SettingsPreset settingsPresets[] = {
    PRESET("pixel-rain", "Pixel rain", "Single pixels fall from the bottom line up.", pixelRain),
    PRESET("wind-bands", "Wind bands", "Full-width bands blow off to the right, bottom first.", windBands),
    PRESET("tiles", "Tiles", "Tiles of 32 pixels drop away from left to right.", tiles),
    PRESET("falling-sand", "Falling sand", "Grains pour down under heavy gravity, bottom first.", fallingSand),
    PRESET("explosion", "Explosion", "Blocks burst outwards from the centre.", explosion),
    PRESET("wind-from-the-left", "Wind from the left", "A strong wind from the left blows the picture away.",
           windFromTheLeft),
    PRESET("big-tiles", "Big tiles", "Big tiles tumble down in random order.", bigTiles),
    PRESET("dissolve", "Dissolve", "Pixels vanish where they stand, in random order.", dissolve),
};

#undef PRESET

const std::size_t settingsPresetCount = sizeof settingsPresets / sizeof settingsPresets[0];

const SettingsPreset* findSettingsPreset(const char* name) {
    for (const SettingsPreset& p : settingsPresets)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

TransitionSettings presetSettings(const SettingsPreset& preset) {
    TransitionSettings settings = defaultSettings();
    for (std::size_t i = 0; i < preset.assignmentCount; ++i) {
        const PresetAssignment& a = preset.assignments[i];
        if (const SettingsField* field = findSettingsField(a.field)) writeSettingsField(settings, *field, a.value);
    }
    return settings;
}

}  // namespace glimmer

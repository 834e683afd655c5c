// Named looks: a few settings records, each the defaults with some fields
// changed, offered by name in every host (OBS's list, Kdenlive's presets,
// `glimmer --preset`, the browser page).
#pragma once

#include <cstddef>
#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

struct PresetAssignment {
    const char* field;  // a name of the settings table (settings_fields.h)
    int32_t value;
};

struct SettingsPreset {
    const char* name;         // lower case with hyphens: what a command line or a scene file holds
    const char* title;        // what a list shows
    const char* description;  // one sentence on what it looks like
    const PresetAssignment* assignments;
    std::size_t assignmentCount;
};

extern const SettingsPreset settingsPresets[];
extern const std::size_t settingsPresetCount;

// The preset of that name, or null.
const SettingsPreset* findSettingsPreset(const char* name);

// The defaults with the preset's fields written over them.
TransitionSettings presetSettings(const SettingsPreset& preset);

}  // namespace glimmer

// The transition's OBS settings, generated from the settings table.
//
// Every field a host panel shows is a setting under its own name, with its
// range and its default, shown under the dialog's caption and tooltip in a
// group of the dialog's page and group box, in the dialog's order: a list
// for a map's source and the order buttons, a check box for a field that is
// 0 or 1, a slider for the rest, and for a cell size a slider over its
// useful range beside a number box that takes the whole range. The Hold
// bits, which only the plug-in's preview reads, are left out. The "settings"
// path names a .qvx file and "preset" a named look; either, when chosen,
// sets the fields. OBS keeps them with the scene collection.
#pragma once

#include <obs-module.h>

#include "transition_settings.h"

namespace glimmer::obs {

constexpr char settingsFileKey[] = "settings";
constexpr char presetKey[] = "preset";

void setTransitionDefaults(obs_data_t* data);

// `presets` is the folder the file picker opens in; it may be null.
obs_properties_t* makeTransitionProperties(const char* presets);

// Loads the chosen .qvx file into the field settings if it is not the one
// loaded last; answers whether any setting changed. A file that cannot be
// read leaves the fields as they are, with a line in OBS's log.
bool loadChosenSettingsFile(obs_data_t* data);

// Sets the fields to the chosen look if it is not the one set last;
// answers whether any setting changed.
bool loadChosenPreset(obs_data_t* data);

// The record the settings describe, every value held to its field's range
// (a scene collection is a text file anyone may edit).
TransitionSettings recordFromSettings(obs_data_t* data);

}  // namespace glimmer::obs

// The transition's OBS settings, generated from the settings table.
//
// Every field of the record is a setting under its own name, with its range
// and its default: a map's source is a list of the source names, a field
// that is 0 or 1 and each listed bit of a flag field is a check box (the
// flag field itself is made of its bits), every other field a number with
// step 1. The "settings" path names a .qvx file whose fields are loaded into
// the settings when it is chosen. OBS keeps them with the scene collection.
#pragma once

#include <obs-module.h>

#include "transition_settings.h"

namespace glimmer::obs {

constexpr char settingsFileKey[] = "settings";

void setTransitionDefaults(obs_data_t* data);

// `presets` is the folder the file picker opens in; it may be null.
obs_properties_t* makeTransitionProperties(const char* presets);

// Loads the chosen .qvx file into the field settings if it is not the one
// loaded last; answers whether any setting changed. A file that cannot be
// read leaves the fields as they are, with a line in OBS's log.
bool loadChosenSettingsFile(obs_data_t* data);

// The record the settings describe, every value held to its field's range
// (a scene collection is a text file anyone may edit).
TransitionSettings recordFromSettings(obs_data_t* data);

}  // namespace glimmer::obs

// The record an MLT transition renders with, read from its properties.
//
// Properties carry the editor fields by name (editor_fields.h) and
// "settings", the path of a .qvx file. The file's record is the base; a
// property overrides its field only when it holds something other than the
// field's default. Editors such as Kdenlive write every parameter into the
// project, defaults included, so a property at its default must leave the
// file's value in place or a chosen file could never take effect.
#pragma once

#include <string>

#include "transition_settings.h"

namespace glimmer {

// Looks a property up by name; null when it is not set.
using PropertyLookup = const char* (*)(const char* name, void* context);

class PropertySettings {
public:
    PropertySettings();

    // The record for the current properties. Reads the settings file only
    // when its path changes. Problems (a file that cannot be read, a value
    // out of range, which is then ignored) are put into `complaint`, empty
    // when there are none.
    TransitionSettings read(PropertyLookup lookup, void* context, std::string& complaint);

private:
    std::string settingsPath_;
    TransitionSettings fileSettings_;
    std::string fileComplaint_;
};

}  // namespace glimmer

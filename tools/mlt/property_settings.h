// The record an MLT transition renders with, read from its properties.
//
// Properties carry the editor fields by name (editor_fields.h), "settings",
// the path of a .qvx file, and "preset", the name of a look. The fields are
// the record: whatever value a field property holds renders, its default
// included, so the panel always shows what renders. A file or a look is a
// way to set the fields: when "settings" or "preset" changes, its record is
// written into the field properties, as the dialog's "&Load" fills the
// dialog, and "settings.loaded" or "preset.loaded" remembers it, so a saved
// project does not load it again over later edits. Only the first file or
// look a transition ever meets leaves alone the fields already away from
// their defaults: a melt command line or a project written by hand may give
// a file and a few fields of its own.
#pragma once

#include <functional>
#include <string>

#include "transition_settings.h"

namespace glimmer {

struct PropertyAccess {
    const char* (*get)(const char* name, void* context);  // null when not set
    void (*set)(const char* name, const char* value, void* context);
    void* context;
};

class PropertySettings {
public:
    // The record for the current properties. A relative settings path is
    // read from the folder `root` answers, the project's (the working folder
    // when it is empty); it is asked only when a new path is to be read. Problems (a file that cannot be read, an unknown look, a value
    // out of range, which is then ignored) are put into `complaint`, empty
    // when there are none.
    TransitionSettings read(const PropertyAccess& access, const std::function<std::string()>& root,
                            std::string& complaint);

private:
    // The path and the look last refused, as given,, not tried again until they change.
    std::string failedPath_, pathFailure_;
    std::string failedLook_, lookFailure_;
};

}  // namespace glimmer

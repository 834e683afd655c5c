// What every rendering command starts from: the settings (a settings file,
// then the --set assignments in order) and the two pictures (files, or the
// built-in pair).
#pragma once

#include "command_line.h"
#include "picture.h"
#include "transition_settings.h"

namespace glimmer::tool {

// Throws ToolError naming the settings file or the assignment at fault.
TransitionSettings loadTransitionSettings(const Options& options);

struct PicturePair {
    Picture a, b;
};

// Picture files when given; a missing one is made at the other's size, both
// at --size when neither is given. Throws ToolError naming both sizes when
// the files differ.
PicturePair loadPicturePair(const Options& options);

}  // namespace glimmer::tool

// What every rendering command starts from: the settings (a settings file,
// then the --set assignments in order) and the two pictures.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "commands/command_line.h"
#include "common/picture.h"
#include "transition_settings.h"

namespace glimmer::tool {

// Throws ToolError naming the settings file or the assignment at fault.
TransitionSettings loadTransitionSettings(const Options& options);

// --a, --b and --settings with what each is, for refusing an output that
// would replace one of them (output_file.h).
std::vector<std::pair<std::string, std::string>> inputFilesOf(const Options& options);

struct PicturePair {
    Picture a, b;
};

// The pictures of --position (frame 0 without one) from --a and --b, or the
// built-in pair, at the output's size (transition_sides.h).
PicturePair loadPicturePair(const Options& options);

}  // namespace glimmer::tool

// The test host's three commands. Each answers the program's exit status:
// 0 done, 1 failed (a message went to stderr).
#pragma once

#include "command_options.h"
#include "plugin_library.h"

namespace glimmer {

// Prints the plug-in's name, description and the bytes of its resources.
int runInfoCommand(const PluginLibrary& plugin);

// Renders one frame through the render selector into a PNG file.
int runRenderCommand(const PluginLibrary& plugin, const CommandOptions& options);

// Opens the settings dialog through the setup selector on two clips, and
// saves the resulting record when asked.
int runSetupCommand(const PluginLibrary& plugin, const CommandOptions& options);

}  // namespace glimmer

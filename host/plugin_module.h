// The module that holds this code: the plug-in's resources (dialog
// templates, bitmaps, strings) are loaded from it, not from the host.
#pragma once

#include <windows.h>

namespace glimmer {

HINSTANCE pluginModule();

}  // namespace glimmer

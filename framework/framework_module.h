// The module whose resources the framework loads: the image this code is
// linked into (the plug-in DLL, or a test program), never the host's.
#pragma once

#include <windows.h>

#include <string>

HINSTANCE frameworkModule();

// A string of the module's string table; empty when there is none.
std::string LoadResourceString(UINT id);

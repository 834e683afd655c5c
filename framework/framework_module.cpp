#include "framework_module.h"

// The linker's symbol at the start of the image this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE frameworkModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::string LoadResourceString(UINT id) {
    char text[512];
    const int length = LoadStringA(frameworkModule(), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

#include "plugin_module.h"

// The linker's symbol at the start of the image this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace glimmer {

HINSTANCE pluginModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace glimmer

#include "plugin_library.h"

namespace glimmer {

PluginLibrary::PluginLibrary(const char* moduleName) : module_(LoadLibraryA(moduleName)) {
    // GetProcAddress answers a generic function pointer; void* in between
    // says that the real type is known to the caller.
    if (module_ != nullptr)
        entry_ = reinterpret_cast<XEffectFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "xEffect")));
}

PluginLibrary::~PluginLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
}

std::string PluginLibrary::resource(const char* type, int id) const {
    const WORD usEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), usEnglish);
    if (found == nullptr) return {};
    HGLOBAL data = LoadResource(module_, found);
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    if (bytes == nullptr) return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module_, found));
}

}  // namespace glimmer

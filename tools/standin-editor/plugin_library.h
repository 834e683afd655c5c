// The plug-in as a host sees it: a library loaded by name, one entry point
// and the resources that describe it.
#pragma once

#include <windows.h>

#include <string>

#include "x_effect.h"

namespace glimmer {

class PluginLibrary {
public:
    // Loads the library the way the editor does, by its module name.
    explicit PluginLibrary(const char* moduleName = "Fx.prm");
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return module_ != nullptr && entry_ != nullptr; }
    HMODULE module() const { return module_; }
    int32_t call(int32_t selector, HostEffectHandle handle) const { return entry_(selector, handle); }

    // The bytes of a resource of the plug-in in US English; empty when it
    // has none.
    std::string resource(const char* type, int id) const;

private:
    HMODULE module_;
    XEffectFunction entry_ = nullptr;
};

}  // namespace glimmer

// The plug-in's globals, seen from a test that loaded it.
//
// Fx.prm exports nothing but xEffect, so the tests find the globals the
// way a debugger does: by their names in the DLL's symbol table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "host_records.h"

namespace glimmer::testing {

struct PluginGlobals {
    HostEffectHandle* hostEffectHandle = nullptr;
    SettingsHandle* savedSettingsHandle = nullptr;
    SettingsHandle* setupSettingsHandle = nullptr;
    int32_t* setupDestRight = nullptr;
    int32_t* externalRenderFlag = nullptr;
    void** activeSettingsDialog = nullptr;

    bool found() const {
        return hostEffectHandle && savedSettingsHandle && setupSettingsHandle && setupDestRight &&
               externalRenderFlag && activeSettingsDialog;
    }
};

// Null members for names the module's file does not list.
PluginGlobals findPluginGlobals(HMODULE module);

// The address in the loaded `module` of the symbol `name` (as the linker
// spells it), or null.
void* findModuleSymbol(HMODULE module, const std::string& name);

}  // namespace glimmer::testing

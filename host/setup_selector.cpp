#include <cstring>

#include "effect_selectors.h"
#include "host_globals.h"
#include "preminfo.h"
#include "settings_block.h"
#include "settings_dialog_launcher.h"

namespace glimmer {
namespace {

// The globals hold one setup; a second one arriving through the dialog's
// message loop would overwrite them under the first.
bool setupRunning = false;

struct SetupRun {
    SetupRun() { setupRunning = true; }
    ~SetupRun() {
        setupDestRight = 0;
        setupSettingsHandle = nullptr;
        setupRunning = false;
    }
};

}  // namespace

int32_t setupSelector(HostEffectHandle handle) {
    if (setupRunning || handle == nullptr || *handle == nullptr) return 0;
    const HostFrameHandle destination = (*handle)->destination;
    if (destination == nullptr || *destination == nullptr) return 0;
    // A handle without a block has nothing to copy from or to return into.
    const SettingsHandle hostSettings = (*handle)->settingsHandle;
    if (hostSettings != nullptr && *hostSettings == nullptr) return 0;

    const SetupRun run;
    externalRenderFlag = 0;
    setupDestRight = (*destination)->bounds[2];
    hostEffectHandle = handle;
    savedSettingsHandle = hostSettings;

    const SettingsHandle working = newDefaultSettingsBlock();
    if (working == nullptr) return 0;
    setupSettingsHandle = working;
    (*handle)->settingsHandle = working;
    if (savedSettingsHandle != nullptr) std::memcpy(*working, *savedSettingsHandle, transitionSettingsSize);

    preminfoAnnounceSettings(reinterpret_cast<void**>((*handle)->settingsHandle));
    const bool accepted = launchSettingsDialog();

    if (savedSettingsHandle != nullptr) {
        // The host keeps its own block under its own handle.
        if (accepted) std::memcpy(*savedSettingsHandle, *working, transitionSettingsSize);
        (*handle)->settingsHandle = savedSettingsHandle;
        disposeSettingsBlock(working);
    } else if (!accepted) {
        // The host still gets a block, but Cancel discards the edits.
        **working = defaultSettings();
    }
    return 0;
}

}  // namespace glimmer

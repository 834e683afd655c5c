#include "settings_block.h"

#include "preminfo.h"

namespace glimmer {

SettingsHandle newDefaultSettingsBlock() {
    void** handle = preminfoNewHandle(static_cast<int32_t>(transitionSettingsSize));
    if (handle == nullptr) return nullptr;
    if (*handle == nullptr) {
        // A handle without memory behind it is still the host's to take back.
        preminfoDisposeHandle(handle);
        return nullptr;
    }
    auto block = reinterpret_cast<SettingsHandle>(handle);
    **block = defaultSettings();
    return block;
}

void disposeSettingsBlock(SettingsHandle block) {
    preminfoDisposeHandle(reinterpret_cast<void**>(block));
}

}  // namespace glimmer

// The plain globals that connect the entry point, the settings dialog, its
// pages and the preview during a setup call. One setup at a time; all calls
// arrive on the host's thread.
#pragma once

#include <cstdint>

#include "host_records.h"

class CSettingsDialog;

namespace glimmer {

// The record of the latest setup call; the dialog, the pages and the
// preview reach the working settings, the frames and the callback only
// through it.
extern HostEffectHandle hostEffectHandle;
// The host's settings handle as it was when setup began; null if none.
extern SettingsHandle savedSettingsHandle;
// The working copy that setup allocates.
extern SettingsHandle setupSettingsHandle;
// The destination's right edge when setup began; 0 outside a setup.
extern int32_t setupDestRight;
// 1 once a render call for another destination arrived during setup: the
// preview then stops fetching frames.
extern int32_t externalRenderFlag;
// The settings dialog of the running setup.
extern CSettingsDialog* activeSettingsDialog;

}  // namespace glimmer

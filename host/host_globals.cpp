#include "host_globals.h"

namespace glimmer {

HostEffectHandle hostEffectHandle = nullptr;
SettingsHandle savedSettingsHandle = nullptr;
SettingsHandle setupSettingsHandle = nullptr;
int32_t setupDestRight = 0;
int32_t externalRenderFlag = 0;
CSettingsDialog* activeSettingsDialog = nullptr;

}  // namespace glimmer

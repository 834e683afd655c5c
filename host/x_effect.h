// The plug-in's one exported function, as the host calls it.
#pragma once

#include <cstdint>

#include "host_records.h"

// selectorSlot: only its low 16 bits, taken as signed, are the selector.
// 0 renders a frame, 1 runs the settings dialog, 6 answers 0x4000 without
// touching the handle, every other selector answers 0.
extern "C" int32_t __cdecl xEffect(int32_t selectorSlot, glimmer::HostEffectHandle handle);

namespace glimmer {

using XEffectFunction = int32_t(__cdecl*)(int32_t selectorSlot, HostEffectHandle handle);

enum : int16_t { renderSelectorId = 0, setupSelectorId = 1, capabilitySelectorId = 6 };
constexpr int32_t capabilityAnswer = 0x4000;

}  // namespace glimmer

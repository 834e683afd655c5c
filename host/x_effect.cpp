#include "x_effect.h"

#include "effect_selectors.h"

extern "C" int32_t __cdecl xEffect(int32_t selectorSlot, glimmer::HostEffectHandle handle) {
    using namespace glimmer;
    const auto selector = static_cast<int16_t>(static_cast<uint16_t>(selectorSlot & 0xFFFF));
    switch (selector) {
    case renderSelectorId: return renderSelector(handle);
    case setupSelectorId: return setupSelector(handle);
    case capabilitySelectorId: return capabilityAnswer;
    default: return 0;
    }
}

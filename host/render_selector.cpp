#include "effect_selectors.h"
#include "host_frame_setup.h"
#include "host_globals.h"

namespace glimmer {

int32_t renderSelector(HostEffectHandle handle) {
    if (handle == nullptr || *handle == nullptr) return 0;
    const HostFrameHandle destination = (*handle)->destination;
    if (destination == nullptr || *destination == nullptr) return 0;
    // A render for another destination while the dialog is open means the
    // host is busy elsewhere: the preview must stop asking it for frames.
    if ((*destination)->bounds[2] != setupDestRight) externalRenderFlag = 1;
    runHostFrameSetup(handle);
    return 0;
}

}  // namespace glimmer

#include "host_frame_setup.h"

#include <cstdint>

#include "global_scratch_memory.h"
#include "host_row_bytes.h"
#include "settings_block.h"

namespace glimmer {
namespace {

const HostFrameRecord* frameBehind(HostFrameHandle frame) {
    return frame != nullptr && *frame != nullptr && (*frame)->pixels != nullptr ? *frame : nullptr;
}

}  // namespace

void runHostFrameSetup(HostEffectHandle handle) {
    if (handle == nullptr || *handle == nullptr) return;
    const HostFrameRecord* a = frameBehind((*handle)->sourceA);
    const HostFrameRecord* b = frameBehind((*handle)->sourceB);
    const HostFrameRecord* d = frameBehind((*handle)->destination);
    if (a == nullptr || b == nullptr || d == nullptr) return;

    // Without settings from the host, a temporary block serves this one
    // frame. When the host cannot give one, a local default record gives
    // the same picture.
    SettingsHandle temporary = nullptr;
    TransitionSettings localDefaults;
    const TransitionSettings* settings = nullptr;
    if ((*handle)->settingsHandle == nullptr) {
        temporary = newDefaultSettingsBlock();
        (*handle)->settingsHandle = temporary;
    }
    if ((*handle)->settingsHandle != nullptr && *(*handle)->settingsHandle != nullptr) {
        settings = *(*handle)->settingsHandle;
    } else {
        localDefaults = defaultSettings();
        settings = &localDefaults;
    }

    const HostEffectRecord& record = **handle;
    FrameRequest request;
    request.imageA = a->pixels;
    request.imageB = b->pixels;
    request.destination = d->pixels;
    // Garbage bounds must not overflow: a frame that tall does not exist.
    const int64_t rows = static_cast<int64_t>(d->bounds[3]) - d->bounds[1];
    request.rows = rows > INT32_MAX ? 0 : static_cast<int32_t>(rows);
    request.rowBytes = hostRowBytes(d->rowBytes);
    request.position = record.position;
    request.total = record.total;
    request.interleaved = (record.renderFlags & interleavedRenderFlags) != 0;

    GlobalScratchMemory scratch;
    runFrameSetup(request, *settings, scratch.memory());

    if (temporary != nullptr) {
        disposeSettingsBlock(temporary);
        (*handle)->settingsHandle = nullptr;
    }
}

}  // namespace glimmer

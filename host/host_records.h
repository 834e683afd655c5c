// The host's records, as they lie in the host's 32-bit process.
//
// The host owns these records and passes each through a handle, a pointer to
// a pointer. The plug-in reads and writes only the fields named here and
// dereferences a handle at each use, never keeping the inner pointer. A
// host's records may be larger than these declarations; the padding fields
// only hold the named fields at their offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

static_assert(sizeof(void*) == 4, "the host records describe a 32-bit process");

struct HostFrameRecord {
    int32_t bounds[4];            // left, top, right, bottom; rows = bottom - top
    int32_t rowBytes;             // only the low 14 bits count
    uint8_t unused20[8];
    uint32_t* pixels;             // rows of rowBytes bytes, bottom line first
};

using HostFrameHandle = HostFrameRecord**;
using SettingsHandle = TransitionSettings**;

// Fetches one source frame into the frame record behind `frame`; the result
// is ignored.
using FrameCallback = int(__cdecl*)(int32_t frameIndex, int32_t track, HostFrameHandle frame,
                                     int32_t* bounds, int32_t privateData);

struct HostEffectRecord {
    SettingsHandle settingsHandle;    // null while the host has no settings
    HostFrameHandle sourceA;          // image A, the outgoing clip ("Clip 1")
    HostFrameHandle sourceB;          // image B, the incoming clip ("Clip 2")
    HostFrameHandle destination;
    int32_t position;
    int32_t total;
    uint8_t unused24[2];
    uint8_t reverse;
    uint8_t sourceSwap;
    uint8_t unused28[24];
    int32_t privateData;
    FrameCallback frameCallback;
    uint8_t unused60[6];
    uint16_t renderFlags;             // 0x100 or 0x200: interleaved lines
    uint8_t unused68[4];
    int16_t frameRate;
    uint8_t unused74[2];
};

using HostEffectHandle = HostEffectRecord**;

constexpr uint16_t interleavedRenderFlags = 0x100 | 0x200;

static_assert(offsetof(HostFrameRecord, bounds) == 0, "bounds");
static_assert(offsetof(HostFrameRecord, rowBytes) == 16, "rowBytes");
static_assert(offsetof(HostFrameRecord, pixels) == 28, "pixels");
static_assert(offsetof(HostEffectRecord, settingsHandle) == 0, "settingsHandle");
static_assert(offsetof(HostEffectRecord, sourceA) == 4, "sourceA");
static_assert(offsetof(HostEffectRecord, sourceB) == 8, "sourceB");
static_assert(offsetof(HostEffectRecord, destination) == 12, "destination");
static_assert(offsetof(HostEffectRecord, position) == 16, "position");
static_assert(offsetof(HostEffectRecord, total) == 20, "total");
static_assert(offsetof(HostEffectRecord, reverse) == 26, "reverse");
static_assert(offsetof(HostEffectRecord, sourceSwap) == 27, "sourceSwap");
static_assert(offsetof(HostEffectRecord, privateData) == 52, "privateData");
static_assert(offsetof(HostEffectRecord, frameCallback) == 56, "frameCallback");
static_assert(offsetof(HostEffectRecord, renderFlags) == 66, "renderFlags");
static_assert(offsetof(HostEffectRecord, frameRate) == 72, "frameRate");

}  // namespace glimmer

// The transition's settings as one fixed 424-byte storage record.
//
// The record travels as raw bytes between the host's project, the settings
// file and the plug-in, so its layout is a storage format: every offset is
// fixed, every field is a little-endian signed 32-bit integer, and the 256
// reserved bytes at the end are carried along untouched by whole-record
// copies. Nothing in the record is validated when it arrives; the renderer
// guards itself against values outside the ranges the dialog lets users
// enter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glimmer {

// How one parameter ("Moving X", "Moving Y" or "Delay") varies over the
// picture. `source` indexes sourceMapNames (source_map.h).
struct SourceMap {
    int32_t source;
    int32_t invert;
    int32_t repeatX;
    int32_t repeatY;
    int32_t oddX;
    int32_t oddY;
};

struct TransitionSettings {
    int32_t recordSize;         // informational; nothing reads it
    int32_t cellFlags;          // bit 0: "Bands"
    int32_t reserved8;
    int32_t reserved12;
    int32_t reserved16;
    int32_t orderFlags;         // bit 0: rows bottom-up ("D->U"), bit 1: columns right-to-left ("R->L")
    int32_t holdFlags;          // bit 0: hold clip 1, bit 1: hold clip 2 (preview only)
    int32_t speedVariance;
    int32_t speedNoise;
    int32_t xySpeedDifference;
    int32_t centerX;
    int32_t centerY;
    int32_t minimumSpeed;
    int32_t timelineLinearity;
    int32_t reserved56;         // never written by the defaults
    int32_t reserved60;         // never written by the defaults
    int32_t gravity;
    int32_t wind;
    int32_t delay;
    int32_t delayNoise;
    int32_t lifeMinimum;
    int32_t lifeMaximum;
    int32_t cellWidth;
    int32_t cellHeight;
    SourceMap movingXMap;
    SourceMap movingYMap;
    SourceMap delayMap;
    uint8_t reserved168[256];   // carried only by whole-record copies
};

constexpr std::size_t transitionSettingsSize = 424;

static_assert(sizeof(SourceMap) == 24, "SourceMap is six int32 fields");
static_assert(offsetof(SourceMap, source) == 0 && offsetof(SourceMap, invert) == 4 &&
              offsetof(SourceMap, repeatX) == 8 && offsetof(SourceMap, repeatY) == 12 &&
              offsetof(SourceMap, oddX) == 16 && offsetof(SourceMap, oddY) == 20,
              "SourceMap field offsets");
static_assert(sizeof(TransitionSettings) == transitionSettingsSize, "record size");
static_assert(offsetof(TransitionSettings, recordSize) == 0, "recordSize");
static_assert(offsetof(TransitionSettings, cellFlags) == 4, "cellFlags");
static_assert(offsetof(TransitionSettings, reserved8) == 8, "reserved8");
static_assert(offsetof(TransitionSettings, reserved12) == 12, "reserved12");
static_assert(offsetof(TransitionSettings, reserved16) == 16, "reserved16");
static_assert(offsetof(TransitionSettings, orderFlags) == 20, "orderFlags");
static_assert(offsetof(TransitionSettings, holdFlags) == 24, "holdFlags");
static_assert(offsetof(TransitionSettings, speedVariance) == 28, "speedVariance");
static_assert(offsetof(TransitionSettings, speedNoise) == 32, "speedNoise");
static_assert(offsetof(TransitionSettings, xySpeedDifference) == 36, "xySpeedDifference");
static_assert(offsetof(TransitionSettings, centerX) == 40, "centerX");
static_assert(offsetof(TransitionSettings, centerY) == 44, "centerY");
static_assert(offsetof(TransitionSettings, minimumSpeed) == 48, "minimumSpeed");
static_assert(offsetof(TransitionSettings, timelineLinearity) == 52, "timelineLinearity");
static_assert(offsetof(TransitionSettings, reserved56) == 56, "reserved56");
static_assert(offsetof(TransitionSettings, reserved60) == 60, "reserved60");
static_assert(offsetof(TransitionSettings, gravity) == 64, "gravity");
static_assert(offsetof(TransitionSettings, wind) == 68, "wind");
static_assert(offsetof(TransitionSettings, delay) == 72, "delay");
static_assert(offsetof(TransitionSettings, delayNoise) == 76, "delayNoise");
static_assert(offsetof(TransitionSettings, lifeMinimum) == 80, "lifeMinimum");
static_assert(offsetof(TransitionSettings, lifeMaximum) == 84, "lifeMaximum");
static_assert(offsetof(TransitionSettings, cellWidth) == 88, "cellWidth");
static_assert(offsetof(TransitionSettings, cellHeight) == 92, "cellHeight");
static_assert(offsetof(TransitionSettings, movingXMap) == 96, "movingXMap");
static_assert(offsetof(TransitionSettings, movingYMap) == 120, "movingYMap");
static_assert(offsetof(TransitionSettings, delayMap) == 144, "delayMap");
static_assert(offsetof(TransitionSettings, reserved168) == 168, "reserved168");

// Writes the default values into an existing record: recordSize and every
// field from byte 4 to byte 167 except reserved56 and reserved60. Bytes 56 to
// 63 and 168 to 423 keep whatever they held.
void fillDefaultSettings(TransitionSettings& settings);

// A record created from nothing: all bytes zero, then the defaults.
TransitionSettings defaultSettings();

}  // namespace glimmer

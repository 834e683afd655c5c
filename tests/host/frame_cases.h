// A dozen frames with their settings, geometry and mode, rendered by the
// native engine, by the engine built for Windows and through the plug-in
// DLL. Their hashes in frame_hashes.txt tie all three together; a failing
// check prints the line that the engine draws now.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "transition_settings.h"

namespace glimmer::testing {

struct FrameCase {
    const char* name;
    int32_t width;
    int32_t rows;
    int32_t rowBytesFlags;   // bits above the 14 that count
    int32_t position;
    int32_t total;
    uint16_t renderFlags;    // 0x100 or 0x200: interleaved lines
    bool hostHasSettings;    // false: the host passes no settings block
    TransitionSettings settings;
};

// Reserved bytes that are not zero: they must change nothing.
inline TransitionSettings withNoisyReserved(TransitionSettings s, unsigned seed) {
    s.reserved56 = static_cast<int32_t>(0x5EED0000u + seed);
    s.reserved60 = -static_cast<int32_t>(seed) - 1;
    for (std::size_t i = 0; i < sizeof s.reserved168; ++i) s.reserved168[i] = static_cast<uint8_t>(i * 13 + seed);
    s.reserved8 = static_cast<int32_t>(seed);
    return s;
}

inline std::vector<FrameCase> frameCases() {
    auto settings = [](unsigned seed, auto edit) {
        TransitionSettings s = defaultSettings();
        edit(s);
        return withNoisyReserved(s, seed);
    };
    const TransitionSettings defaults = withNoisyReserved(defaultSettings(), 1);
    const TransitionSettings bands = settings(2, [](TransitionSettings& s) {
        s.cellFlags = 1;
        s.cellWidth = 12;
        s.cellHeight = 5;
        s.orderFlags = 3;
    });
    const TransitionSettings windy = settings(3, [](TransitionSettings& s) {
        s.gravity = 210;
        s.wind = 20;
        s.speedNoise = 255;
        s.minimumSpeed = 0;
    });
    const TransitionSettings clipMaps = settings(4, [](TransitionSettings& s) {
        s.movingXMap = SourceMap{0, 1, 3, 2, 1, 0};    // Red1, inverted
        s.movingYMap = SourceMap{6, 0, 1, 4, 0, 1};    // Blue2
        s.delayMap = SourceMap{3, 0, 16, 16, 1, 1};    // Alpha1
        s.delayNoise = 0;
        s.speedNoise = 0;
    });
    const TransitionSettings gradients = settings(5, [](TransitionSettings& s) {
        s.movingXMap = SourceMap{12, 0, 2, 1, 1, 0};   // Grad X
        s.movingYMap = SourceMap{13, 1, 1, 2, 0, 1};   // Grad Y
        s.delayMap = SourceMap{14, 0, 1, 1, 0, 0};     // Black
        s.timelineLinearity = 10;
        s.centerX = 256;
        s.centerY = 0;
        s.orderFlags = 1;
    });
    const TransitionSettings lateBigCells = settings(6, [](TransitionSettings& s) {
        s.cellWidth = 7;
        s.cellHeight = 3;
        s.timelineLinearity = 240;
        s.delay = 255;
        s.lifeMinimum = 30;
        s.lifeMaximum = 60;
        s.xySpeedDifference = 0;
        s.speedVariance = 255;
    });
    const TransitionSettings outOfRange = settings(7, [](TransitionSettings& s) {
        s.cellWidth = 0;
        s.cellHeight = 5000;
        s.speedVariance = 1000;
        s.wind = -40;
        s.movingXMap.source = 99;
        s.delayMap.repeatX = 0;
    });
    const TransitionSettings diagonals = settings(8, [](TransitionSettings& s) {
        s.movingXMap = SourceMap{11, 1, 5, 5, 1, 1};   // Diag 2 S
        s.movingYMap = SourceMap{9, 0, 2, 7, 0, 0};    // Diag 1 S
        s.delayMap = SourceMap{5, 1, 1, 1, 0, 0};      // Green2
        s.orderFlags = 2;
        s.cellWidth = 1;
        s.cellHeight = 1;
    });
    return {
        {"defaults_start", 64, 48, 0, 0, 30, 0, true, defaults},
        {"defaults_middle", 64, 48, 0, 14, 30, 0, true, defaults},
        {"no_host_settings", 64, 48, 0, 9, 30, 0, false, defaultSettings()},
        {"bands_reverse_order", 80, 40, 0, 17, 40, 0, true, bands},
        {"gravity_and_wind_high_rowbytes_bits", 72, 36, 0x4000, 22, 25, 0, true, windy},
        {"clip_channel_maps", 64, 48, 0, 11, 24, 0, true, clipMaps},
        {"gradients_past_the_end", 50, 30, 0, 40, 30, 0, true, gradients},
        {"late_big_cells_last_frame", 66, 44, 0, 59, 60, 0, true, lateBigCells},
        {"out_of_range_values", 40, 24, 0, 5, 12, 0, true, outOfRange},
        {"interleaved_even", 64, 32, 0, 12, 30, 0x100, true, diagonals},
        {"interleaved_odd", 64, 32, 0, 13, 30, 0x200, true, clipMaps},
        {"interleaved_odd_width_no_settings", 45, 30, 0, 7, 20, 0x300, false, defaultSettings()},
    };
}

inline int64_t frameWords(const FrameCase& c) { return int64_t{c.width} * c.rows; }

// Image A, image B and what the destination holds before the call; every
// word differs from its neighbours and from the other frames' words.
inline std::vector<uint32_t> casePicture(const FrameCase& c, uint32_t tag) {
    std::vector<uint32_t> v(static_cast<std::size_t>(frameWords(c)));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = (tag << 24) ^ static_cast<uint32_t>(i * 2654435761u) ^ static_cast<uint32_t>(c.position * 40503u);
    return v;
}
constexpr uint32_t imageATag = 0xA1, imageBTag = 0xB2, destinationTag = 0xD3;

// FNV-1a over the bytes of a frame.
inline uint64_t frameHash(const std::vector<uint32_t>& words) {
    uint64_t hash = 14695981039346656037ull;
    for (uint32_t w : words)
        for (int n = 0; n < 4; ++n) hash = (hash ^ ((w >> (8 * n)) & 0xFF)) * 1099511628211ull;
    return hash;
}

// frame_hashes.txt: one "name hash" line per case, the hash in hex.
inline std::map<std::string, uint64_t> readFrameHashes(const char* path) {
    std::map<std::string, uint64_t> hashes;
    std::ifstream in(path);
    std::string name, hex;
    while (in >> name >> hex) hashes[name] = std::stoull(hex, nullptr, 16);
    return hashes;
}

inline std::string frameHashLine(const char* name, uint64_t hash) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(name) + " " + hex;
}

}  // namespace glimmer::testing

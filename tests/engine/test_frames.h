// Frames and settings for the engine's tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "transition_settings.h"

namespace glimmer::testing {

// A frame of distinct, recognisable pixels: the word says where it came from.
inline std::vector<uint32_t> patternFrame(int64_t words, uint32_t tag) {
    std::vector<uint32_t> v(static_cast<size_t>(words));
    for (size_t i = 0; i < v.size(); ++i) v[i] = (tag << 24) | (static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu);
    return v;
}

// Settings anywhere in their ranges, and now and then outside them.
inline TransitionSettings randomSettings(std::mt19937& rng, bool inRange = true) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TransitionSettings s = defaultSettings();
    s.cellFlags = pick(0, 1);
    s.orderFlags = pick(0, 3);
    s.speedVariance = pick(0, 255);
    s.speedNoise = pick(0, 255);
    s.xySpeedDifference = pick(0, 255);
    s.centerX = pick(0, 256);
    s.centerY = pick(0, 256);
    s.minimumSpeed = pick(0, 255);
    s.timelineLinearity = pick(0, 255);
    s.gravity = pick(0, 3) == 0 ? pick(0, 255) : 0;
    s.wind = pick(0, 3) == 0 ? pick(0, 255) : 128;
    s.delay = pick(0, 255);
    s.delayNoise = pick(0, 255);
    s.lifeMinimum = pick(0, 255);
    s.lifeMaximum = pick(0, 255);
    s.cellWidth = pick(0, 2) == 0 ? 1 : pick(1, 9);
    s.cellHeight = pick(0, 2) == 0 ? 1 : pick(1, 9);
    for (SourceMap* m : {&s.movingXMap, &s.movingYMap, &s.delayMap})
        *m = SourceMap{pick(0, 14), pick(0, 1), pick(1, 16), pick(1, 16), pick(0, 1), pick(0, 1)};
    for (auto& b : s.reserved168) b = static_cast<uint8_t>(pick(0, 255));
    if (!inRange) {
        const int32_t wild[] = {-1, 0, 257, 4097, -100000, 1 << 30, INT32_MIN, INT32_MAX};
        int32_t* fields = &s.cellFlags;
        for (int i = 0; i < 3; ++i) fields[pick(0, 40)] = wild[pick(0, 7)];
    }
    return s;
}

}  // namespace glimmer::testing

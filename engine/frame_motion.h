// The motion model: per-frame values and per-element formulas.
//
// prepareFrameMotion computes, once per frame, everything that depends only
// on the settings, the position, the transition's length and the frame size:
// the shaped clock, delay and life scales, a 512-entry signed speed table and
// the time scale that turns an element's age into distance. The renderer then
// applies the four small formulas below to every element.
//
// All arithmetic is IEEE double. The factors 1/255, 0.9/255, 1/256, 1/64,
// 0.125 and 0.25 are double constants that are multiplied, never divided by,
// and every formula is evaluated left to right as written, so results are
// reproducible to the last bit on every platform that uses SSE2 doubles.
#pragma once

#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

constexpr double factor1by255 = 0.00392156862745098;
constexpr double factor09by255 = 0.0035294117647058825;
constexpr double factor1by256 = 0.00390625;
constexpr double factor1by64 = 0.015625;

struct FrameMotion {
    double clock;             // shaped and stretched transition clock, in frames
    double stretch;           // clock divisor, 1 to 8
    double delayScale;
    double maxDelay;          // longest possible start delay
    double lifeRange;
    double lifeBase;
    double latestEnd;         // latest moment any element can still be alive
    double delayNoiseWeight;
    double delayMapWeight;
    double speedNoiseWeight;
    double speedMapWeight;
    double yShare;            // share of the speed applied vertically
    double xShare;            // share applied horizontally
    double gravityAccel;
    double windAccel;
    double xIndexBase;        // 384 - centerX
    double yIndexBase;        // centerY + 128
    double speedBase;
    double speedVariance;     // the setting, as the table's step factor
    double speedTable[512];   // speeds for indices -256..255, stored from -256
    double span;              // motion frames left after the longest delay
    double timeScale;         // age-to-motion-time factor

    // Speed at a table index; the index is clamped to -256..255 so that
    // out-of-range settings never read outside the table.
    double speedAt(int64_t index) const {
        if (index < -256) index = -256;
        if (index > 255) index = 255;
        return speedTable[index + 256];
    }
};

// Fills `motion` for one frame. Answers false when no motion is possible
// (gravity or wind active with no frames left to move in); the renderer then
// leaves the destination as it is.
bool prepareFrameMotion(const TransitionSettings& settings, int32_t position, int32_t total,
                        int32_t width, int32_t rows, FrameMotion& motion);

// Start delay in frames from a random byte r and a Delay map value m.
inline double elementDelay(const FrameMotion& f, int32_t r, double m) {
    return (r * f.delayNoiseWeight + m * f.delayMapWeight) * f.delayScale;
}

// Life in frames from a random byte r.
inline double elementLife(const FrameMotion& f, int32_t r) {
    return r * f.lifeRange * factor1by255 + f.lifeBase;
}

// Speed-table index of a weighted mix: trunc(mix) - 256, kept within
// -256..255. The bounds are tested in double so that no conversion sees a
// value outside int32 (or NaN) when the settings are out of range.
inline int32_t speedIndexOfMix(double mix) {
    if (!(mix > -1.0)) return -256;
    if (mix >= 512.0) return 255;
    return static_cast<int32_t>(mix) - 256;
}

// Speed-table index from a centred random byte r (-128..127), a Moving map
// value m and the axis base; always within -256..255.
inline int32_t speedIndex(const FrameMotion& f, int32_t r, double m, double base) {
    return speedIndexOfMix(r * f.speedNoiseWeight + (m - 128) * f.speedMapWeight + base);
}

// Distance travelled after motion time tau along one axis.
inline double displacement(double v, double tau, double share, double accel) {
    return v * tau * share + accel * (tau * tau);
}

}  // namespace glimmer

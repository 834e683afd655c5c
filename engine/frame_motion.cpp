#include "frame_motion.h"

#include <cmath>

namespace glimmer {
namespace {

// Root of A t^2 + b t = E that is a number >= 0, the '+' root first.
bool solveTimeScale(double A, double b, double E, double& t) {
    const double D = b * b + 4 * E * A;
    if (D < 0) return false;
    t = (-b + std::sqrt(D)) / (2 * A);
    if (t >= 0) return true;
    t = (-b - std::sqrt(D)) / (2 * A);
    return t >= 0;
}

double transitionClock(int32_t timelineLinearity, int32_t position, int32_t total) {
    if (position == 0) return 0.0;  // whatever k is: never 0 x infinity
    const double k = (127.0 - timelineLinearity) * factor1by64;
    const double ratio = total > 1 ? static_cast<double>(position) / (static_cast<double>(total) - 1)
                                   : static_cast<double>(position) / static_cast<double>(total);
    return std::pow(ratio, k) * position;
}

}  // namespace

bool prepareFrameMotion(const TransitionSettings& s, int32_t position, int32_t total,
                        int32_t width, int32_t rows, FrameMotion& f) {
    const double t = total;
    f.clock = transitionClock(s.timelineLinearity, position, total);

    f.delayScale = static_cast<double>(s.delay) * t * factor1by255 * factor09by255;
    f.maxDelay = f.delayScale * 255;
    f.lifeRange = static_cast<double>(s.lifeMaximum) * t * factor1by255;
    f.lifeBase = static_cast<double>(s.lifeMinimum) * t * factor1by256;
    f.latestEnd = f.maxDelay + f.lifeRange + f.lifeBase + 1;

    f.delayNoiseWeight = s.delayNoise * factor1by255;
    f.delayMapWeight = (255.0 - s.delayNoise) * factor1by255;
    f.speedNoiseWeight = s.speedNoise * factor1by255;
    f.speedMapWeight = (255.0 - s.speedNoise) * factor1by255;
    f.yShare = s.xySpeedDifference * factor1by255;
    f.xShare = (255.0 - s.xySpeedDifference) * factor1by255;
    f.gravityAccel = s.gravity * 0.125;
    f.windAccel = (128.0 - s.wind) * 0.25;
    f.xIndexBase = 384.0 - s.centerX;
    f.yIndexBase = s.centerY + 128.0;
    f.speedBase = (s.speedVariance == 0 && s.minimumSpeed == 0) ? 1.0 : s.minimumSpeed;

    // The renderer's vector path computes these entries the same way
    // rather than looking them up.
    f.speedVariance = s.speedVariance;
    for (int j = 0; j < 256; ++j) {
        f.speedTable[256 + j] = static_cast<double>(j + 1) * f.speedVariance * factor1by255 + f.speedBase;
        f.speedTable[255 - j] = -f.speedTable[256 + j];
    }

    f.stretch = 1.0;
    if (f.latestEnd < t) {
        f.stretch = t / f.latestEnd;
        if (f.stretch > 8) f.stretch = 8;
        f.clock = f.clock / f.stretch;
    }

    f.span = t - f.maxDelay;
    if (f.span >= 1) f.span = f.span - 1;

    double tY, tX;
    if (f.gravityAccel == 0) {
        tY = rows / (f.span * f.speedTable[256] * f.yShare + 0.0001);
    } else {
        const double A = f.span * f.span * f.gravityAccel;
        // The most negative vertical speed that speedIndex can return.
        const double b = f.span * f.speedAt(static_cast<int64_t>(s.centerY) - 256) * f.yShare;
        if (!solveTimeScale(A, b, rows, tY)) return false;
    }
    if (f.windAccel == 0) {
        tX = width / (f.span * f.speedTable[256] * f.xShare + 0.0001);
    } else {
        const double A = f.span * f.span * f.windAccel;
        // The most negative horizontal speed for wind toward column 0, the
        // most positive one for wind toward the last column.
        const int64_t index = f.windAccel > 0 ? -static_cast<int64_t>(s.centerX)
                                              : 255 - static_cast<int64_t>(s.centerX);
        const double b = f.span * f.speedAt(index) * f.xShare;
        const double E = f.windAccel > 0 ? static_cast<double>(width) : -static_cast<double>(width);
        if (!solveTimeScale(A, b, E, tX)) return false;
    }
    f.timeScale = tX > tY ? tY : tX;
    return true;
}

}  // namespace glimmer

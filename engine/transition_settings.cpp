#include "transition_settings.h"

#include <cstring>

namespace glimmer {

void fillDefaultSettings(TransitionSettings& s) {
    s.recordSize = static_cast<int32_t>(transitionSettingsSize);
    s.cellFlags = 0;
    s.reserved8 = 0;
    s.reserved12 = 0;
    s.reserved16 = 0;
    s.orderFlags = 0;
    s.holdFlags = 3;
    s.speedVariance = 105;
    s.speedNoise = 0;
    s.xySpeedDifference = 118;
    s.centerX = 127;
    s.centerY = 127;
    s.minimumSpeed = 25;
    s.timelineLinearity = 127;
    s.gravity = 0;
    s.wind = 128;
    s.delay = 65;
    s.delayNoise = 20;
    s.lifeMinimum = 255;
    s.lifeMaximum = 255;
    s.cellWidth = 2;
    s.cellHeight = 2;
    s.movingXMap = SourceMap{8, 0, 1, 1, 0, 0};
    s.movingYMap = SourceMap{10, 0, 1, 1, 0, 0};
    s.delayMap = SourceMap{9, 0, 2, 2, 1, 1};
}

TransitionSettings defaultSettings() {
    TransitionSettings s;
    std::memset(&s, 0, sizeof s);
    fillDefaultSettings(s);
    return s;
}

}  // namespace glimmer

// Frame rates and times as the command line gives them.
//
// A rate is a fraction: "25", "30000/1001", or a decimal ("29.97" is taken
// as the 30000/1001 it stands for, as are 23.976, 59.94 and 119.88). A time
// is seconds ("1.5", "1.5s") or frames ("36f"), counted at a rate known
// only later.
#pragma once

#include <cstdint>
#include <string>

namespace glimmer::tool {

struct FrameRate {
    int64_t numerator = 25;
    int64_t denominator = 1;

    double perSecond() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
    // "25" or "30000/1001", as ffmpeg takes it.
    std::string text() const;
    // "29.97 frames/s", for messages.
    std::string description() const;
};

// Throws a usage ToolError naming `option` for anything but a rate above 0
// and up to 1000 frames a second.
FrameRate parseFrameRate(const std::string& option, const std::string& text);

// The common rate nearest to `perSecond`: 23.976, 24, 25, 29.97, 30, 50,
// 59.94 or 60. A variable-rate clip's average (27.11 frames/s) is no rate
// anyone means to make.
FrameRate nearestCommonRate(double perSecond);

struct TimeValue {
    bool inFrames = false;
    double seconds = 0;
    int64_t frames = 0;

    // The whole frames this time spans at `rate`, rounded to the nearest.
    int64_t framesAt(const FrameRate& rate) const;
    double secondsAt(const FrameRate& rate) const;
    // "1.5 s" or "36 frames", for messages.
    std::string text() const;
};

// Throws a usage ToolError naming `option` unless the text is a time of at
// least 0 (above 0 when `positive`).
TimeValue parseTime(const std::string& option, const std::string& text, bool positive);

// Seconds for messages: "4.96 s".
std::string secondsText(double seconds);

}  // namespace glimmer::tool

#include "commands/time_values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

constexpr int64_t fastestRate = 1000;

// Decimals that stand for the NTSC fractions.
struct KnownRate {
    const char* text;
    FrameRate rate;
};
constexpr KnownRate ntscRates[] = {{"23.976", {24000, 1001}}, {"23.98", {24000, 1001}}, {"29.97", {30000, 1001}},
                                   {"59.94", {60000, 1001}},  {"47.952", {48000, 1001}}, {"119.88", {120000, 1001}}};

bool parseWhole(const std::string& text, int64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

// "29.97" as 2997/100: digits only, one point at most.
bool parseDecimal(const std::string& text, int64_t& numerator, int64_t& denominator) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || fraction.size() > 6) return false;
    int64_t w = 0, f = 0;
    if (!whole.empty() && !parseWhole(whole, w)) return false;
    if (!fraction.empty() && !parseWhole(fraction, f)) return false;
    denominator = 1;
    for (std::size_t i = 0; i < fraction.size(); ++i) denominator *= 10;
    numerator = w * denominator + f;
    return true;
}

}  // namespace

std::string FrameRate::text() const {
    return denominator == 1 ? std::to_string(numerator) : std::to_string(numerator) + "/" + std::to_string(denominator);
}

std::string FrameRate::description() const {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g frames/s", perSecond());
    return text;
}

FrameRate parseFrameRate(const std::string& option, const std::string& text) {
    for (const KnownRate& known : ntscRates)
        if (text == known.text) return known.rate;
    int64_t numerator = 0, denominator = 1;
    const std::size_t slash = text.find('/');
    const bool read = slash == std::string::npos
                          ? parseDecimal(text, numerator, denominator)
                          : parseWhole(text.substr(0, slash), numerator) && parseWhole(text.substr(slash + 1), denominator);
    if (!read || denominator == 0 || numerator == 0 || numerator > fastestRate * denominator)
        throw usageError(option + " takes frames a second above 0 and up to " + std::to_string(fastestRate) +
                         " (25, 29.97, 30000/1001), not '" + text + "'");
    const int64_t common = std::gcd(numerator, denominator);
    return {numerator / common, denominator / common};
}

FrameRate nearestCommonRate(double perSecond) {
    static const FrameRate common[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1},
                                       {50, 1},       {60000, 1001}, {60, 1}};
    FrameRate best = common[0];
    for (const FrameRate& rate : common)
        if (std::fabs(rate.perSecond() - perSecond) < std::fabs(best.perSecond() - perSecond)) best = rate;
    return best;
}

int64_t TimeValue::framesAt(const FrameRate& rate) const {
    if (inFrames) return frames;
    return std::llround(seconds * rate.perSecond());
}

double TimeValue::secondsAt(const FrameRate& rate) const {
    return inFrames ? static_cast<double>(frames) / rate.perSecond() : seconds;
}

std::string TimeValue::text() const {
    if (inFrames) return std::to_string(frames) + (frames == 1 ? " frame" : " frames");
    char text[32];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

TimeValue parseTime(const std::string& option, const std::string& text, bool positive) {
    TimeValue time;
    const std::string problem = option + " takes seconds (1.5, 1.5s) or frames (36f)" +
                                (positive ? " above 0" : "") + ", not '" + text + "'";
    if (!text.empty() && text.back() == 'f') {
        time.inFrames = true;
        if (!parseWhole(text.substr(0, text.size() - 1), time.frames) || (positive && time.frames == 0))
            throw usageError(problem);
        return time;
    }
    const std::string number = !text.empty() && text.back() == 's' ? text.substr(0, text.size() - 1) : text;
    errno = 0;
    char* end = nullptr;
    time.seconds = std::strtod(number.c_str(), &end);
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos || errno != 0 || *end != '\0' || !std::isfinite(time.seconds) ||
        time.seconds < 0 || (positive && time.seconds <= 0) || time.seconds > 1e7)
        throw usageError(problem);
    return time;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

}  // namespace glimmer::tool

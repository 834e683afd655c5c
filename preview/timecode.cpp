#include "timecode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int durationField = 10;
constexpr int previewField = 37;

void putField(std::string& text, int at, int32_t frames, int32_t framesPerSecond) {
    char timecode[timecodeBufferSize];
    const bool formatted = FormatTimecode(frames, framesPerSecond, timecode);
    const std::size_t length = formatted ? std::strlen(timecode) : 0;
    for (int i = 0; i < timecodeFieldWidth; ++i)
        text[at + i] = static_cast<std::size_t>(i) < length ? timecode[i] : ' ';
}

}  // namespace

bool FormatTimecode(int32_t frames, int32_t framesPerSecond, char (&text)[timecodeBufferSize]) {
    text[0] = '\0';
    if (framesPerSecond <= 0) return false;
    int32_t seconds = frames / framesPerSecond;
    const int32_t ff = frames % framesPerSecond;
    int32_t mm = 0;
    int32_t hh = 0;
    if (seconds >= 60) {
        mm = seconds / 60;
        seconds %= 60;
        if (mm >= 60) {
            hh = mm / 60;
            mm %= 60;
        }
    }
    // Room for four int32 values of any size, separators and the zero.
    char full[4 * 12 + 4];
    std::snprintf(full, sizeof full, "%1i:%2i:%2i:%2i", static_cast<int>(hh), static_cast<int>(mm),
                  static_cast<int>(seconds), static_cast<int>(ff));
    for (int position : {2, 5, 8})
        if (full[position] == ' ') full[position] = '0';
    const std::size_t kept = std::min<std::size_t>(std::strlen(full), timecodeBufferSize - 1);
    std::memcpy(text, full, kept);
    text[kept] = '\0';
    return true;
}

TimeReadout::TimeReadout()
    : m_text("Duration:" + std::string(17, ' ') + "\n" + "Preview:" + std::string(19, ' ')) {}

void TimeReadout::Update(int32_t total, int32_t previewPosition, int32_t framesPerSecond) {
    putField(m_text, durationField, total, framesPerSecond);
    putField(m_text, previewField, previewPosition, framesPerSecond);
}

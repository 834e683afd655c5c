// Durations and positions as hours:minutes:seconds:frames, and the
// dialog's two-line readout of them.
#pragma once

#include <cstdint>
#include <string>

constexpr int timecodeBufferSize = 16;
constexpr int timecodeFieldWidth = 10;

// Writes the timecode of `frames` at `framesPerSecond`, for example
// "0:01:05:07". A result longer than the buffer is cut. A rate of 0 or
// below has no timecodes: the text is empty and the answer false.
bool FormatTimecode(int32_t frames, int32_t framesPerSecond, char (&text)[timecodeBufferSize]);

// "Duration: <timecode>" and "Preview:  <timecode>" in one 54-character
// text with a line feed between, each timecode in a 10-character field.
class TimeReadout {
public:
    static constexpr int length = 54;

    TimeReadout();
    // Both fields stay blank when the rate has no timecodes.
    void Update(int32_t total, int32_t previewPosition, int32_t framesPerSecond);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

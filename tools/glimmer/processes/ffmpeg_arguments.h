// The words glimmer hands ffmpeg to read a clip: where to start, how to
// count the frames of a picture sequence or a still, and the filter chain
// that brings every input to the output's rate, size and pixel format.
// The decoders and the join's encoder build their inputs here, so both
// pick the same frames and fit them the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inputs/media_probe.h"
#include "commands/time_values.h"

namespace glimmer::tool {

enum class FitMode { letterbox, crop, stretch, blur };

// "letterbox" (black bars), "crop", "stretch" or "blur" (the picture over
// an enlarged, blurred copy of itself); false for anything else.
bool parseFitMode(const std::string& text, FitMode& mode);

struct OutputFrames {
    int32_t width = 0, rows = 0;
    FitMode fit = FitMode::letterbox;
    FrameRate rate;
};

// "-ss S -i PATH" and what the kind of input needs before -i: a still
// repeats at the output rate, a sequence counts its pictures at that rate,
// and VP8/VP9 with alpha is read by libvpx, which keeps the alpha.
std::vector<std::string> clipInputArguments(const std::string& path, const MediaInfo& info, double startSeconds,
                                            const FrameRate& rate);

// Rate, fit and conversion to `pixelFormat` for a filter graph. YUV formats
// get `yuvMatrix` ("bt709", "smpte170m") in limited range; inputs are read
// with the matrix and range they are tagged with.
std::string clipFilterChain(const MediaInfo& info, const OutputFrames& output, const std::string& pixelFormat,
                            const std::string& yuvMatrix);
// The same in two steps: "fps=R," for a moving input ("" for a still), and
// the fit and conversion.
std::string rateFilter(const MediaInfo& info, const OutputFrames& output);
// A time for an ffmpeg option or filter: seconds, to the microsecond.
std::string secondsArgument(double seconds);
// Sizes are fitted by the display size (width x SAR), so anamorphic video
// is not squeezed; the result has square pixels. `label` keeps the inner
// links of a blur fit apart when one graph fits twice.
std::string fitFilterChain(const OutputFrames& output, const std::string& pixelFormat, const std::string& yuvMatrix,
                           const std::string& label = "fit");

}  // namespace glimmer::tool

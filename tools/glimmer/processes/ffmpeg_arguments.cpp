#include "processes/ffmpeg_arguments.h"

#include <cstdio>

namespace glimmer::tool {
std::string secondsArgument(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

bool parseFitMode(const std::string& text, FitMode& mode) {
    if (text == "letterbox") mode = FitMode::letterbox;
    else if (text == "crop") mode = FitMode::crop;
    else if (text == "stretch") mode = FitMode::stretch;
    else return false;
    return true;
}

std::vector<std::string> clipInputArguments(const std::string& path, const MediaInfo& info, double startSeconds,
                                            const FrameRate& rate) {
    std::vector<std::string> words;
    if (info.still) words = {"-loop", "1", "-framerate", rate.text()};
    else if (info.sequence) words = {"-framerate", rate.text()};
    if (!info.still && startSeconds > 0) words.insert(words.end(), {"-ss", secondsArgument(startSeconds)});
    words.insert(words.end(), {"-i", path});
    return words;
}

std::string rateFilter(const MediaInfo& info, const OutputFrames& output) {
    return info.still ? "" : "fps=" + output.rate.text() + ",";
}

std::string fitFilterChain(const OutputFrames& output, const std::string& pixelFormat, const std::string& yuvMatrix) {
    const std::string size = std::to_string(output.width) + ":" + std::to_string(output.rows);
    std::string colour = ":in_color_matrix=auto:in_range=auto";
    if (pixelFormat.rfind("yuv", 0) == 0) colour += ":out_color_matrix=" + yuvMatrix + ":out_range=tv";
    std::string chain;
    switch (output.fit) {
    case FitMode::letterbox:
        chain = "scale=" + size + ":force_original_aspect_ratio=decrease" + colour + ",pad=" + size +
                ":(ow-iw)/2:(oh-ih)/2:color=black";
        break;
    case FitMode::crop:
        chain = "scale=" + size + ":force_original_aspect_ratio=increase" + colour + ",crop=" + size;
        break;
    case FitMode::stretch:
        chain = "scale=" + size + colour;
        break;
    }
    return chain + ",setsar=1,format=" + pixelFormat;
}

std::string clipFilterChain(const MediaInfo& info, const OutputFrames& output, const std::string& pixelFormat,
                            const std::string& yuvMatrix) {
    return rateFilter(info, output) + fitFilterChain(output, pixelFormat, yuvMatrix);
}

}  // namespace glimmer::tool

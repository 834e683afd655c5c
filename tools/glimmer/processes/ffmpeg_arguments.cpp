#include "processes/ffmpeg_arguments.h"

#include <algorithm>
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
    else if (text == "blur") mode = FitMode::blur;
    else return false;
    return true;
}

std::vector<std::string> clipInputArguments(const std::string& path, const MediaInfo& info, double startSeconds,
                                            const FrameRate& rate) {
    std::vector<std::string> words;
    if (info.still) words = {"-loop", "1", "-framerate", rate.text()};
    else if (info.sequence) words = {"-framerate", rate.text()};
    if (!info.still && startSeconds > 0) words.insert(words.end(), {"-ss", secondsArgument(startSeconds)});
    if (info.alpha && info.codec == "vp9") words.insert(words.end(), {"-c:v", "libvpx-vp9"});
    if (info.alpha && info.codec == "vp8") words.insert(words.end(), {"-c:v", "libvpx"});
    words.insert(words.end(), {"-i", path});
    return words;
}

std::string rateFilter(const MediaInfo& info, const OutputFrames& output) {
    return info.still ? "" : "fps=" + output.rate.text() + ",";
}

namespace {

// The scaled size that fits (`pick` min) or covers (max) the output by the
// display aspect ratio, rounded as ffmpeg's force_original_aspect_ratio
// rounds, so square pixels come out as they always did.
std::string aspectScale(const OutputFrames& output, const char* pick, const std::string& colour) {
    const std::string w = std::to_string(output.width), h = std::to_string(output.rows);
    return std::string("scale=w='") + pick + "(" + w + ",round(" + h + "*dar))':h='" + pick + "(" + h + ",round(" + w + "/dar))'" + colour;
}

}  // namespace

std::string fitFilterChain(const OutputFrames& output, const std::string& pixelFormat, const std::string& yuvMatrix,
                           const std::string& label) {
    const std::string size = std::to_string(output.width) + ":" + std::to_string(output.rows);
    std::string colour = ":in_color_matrix=auto:in_range=auto";
    if (pixelFormat.rfind("yuv", 0) == 0) colour += ":out_color_matrix=" + yuvMatrix + ":out_range=tv";
    const std::string centred = "(ow-iw)/2:(oh-ih)/2";
    std::string chain;
    switch (output.fit) {
    case FitMode::letterbox:
        chain = aspectScale(output, "min", colour) + ",setsar=1,pad=" + size + ":" + centred + ":color=black";
        break;
    case FitMode::crop:
        chain = aspectScale(output, "max", colour) + ",setsar=1,crop=" + size;
        break;
    case FitMode::stretch:
        chain = "scale=" + size + colour;
        break;
    case FitMode::blur: {
        // The background is blurred small and scaled up: a blur at full size
        // costs more than the rest of the chain together.
        const std::string small = std::to_string(std::max(2, output.width / 8 / 2 * 2)) + ":" +
                                  std::to_string(std::max(2, output.rows / 8 / 2 * 2));
        chain = "split[" + label + "f][" + label + "b];[" + label + "b]" + aspectScale(output, "max", colour) +
                ",setsar=1,crop=" + size + ",scale=" + small + ",boxblur=4:2,scale=" + size + ",setsar=1[" + label +
                "g];[" + label + "f]" + aspectScale(output, "min", colour) + ",setsar=1[" + label + "p];[" + label +
                "g][" + label + "p]overlay=(W-w)/2:(H-h)/2";
        break;
    }
    }
    return chain + ",setsar=1,format=" + pixelFormat;
}

std::string clipFilterChain(const MediaInfo& info, const OutputFrames& output, const std::string& pixelFormat,
                            const std::string& yuvMatrix) {
    return rateFilter(info, output) + fitFilterChain(output, pixelFormat, yuvMatrix);
}

}  // namespace glimmer::tool

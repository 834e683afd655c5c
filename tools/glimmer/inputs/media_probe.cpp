#include "inputs/media_probe.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

using Fields = std::map<std::string, std::string>;

// ffprobe's "flat" lines, key=value with the value in quotes or bare.
Fields parseFlat(const std::string& text) {
    Fields fields;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            std::string value = line.substr(equals + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            fields[line.substr(0, equals)] = value;
        }
        start = end + 1;
    }
    return fields;
}

std::string field(const Fields& fields, const std::string& key) {
    const auto found = fields.find(key);
    return found == fields.end() ? "" : found->second;
}

double number(const std::string& text, double otherwise) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value) ? value : otherwise;
}

// "30000/1001" or "16:15"; false for "0/0" and "N/A".
bool ratio(const std::string& text, int64_t& numerator, int64_t& denominator) {
    const std::size_t split = text.find_first_of("/:");
    if (split == std::string::npos) return false;
    numerator = std::strtoll(text.substr(0, split).c_str(), nullptr, 10);
    denominator = std::strtoll(text.substr(split + 1).c_str(), nullptr, 10);
    return numerator > 0 && denominator > 0;
}

}  // namespace

bool isSequencePattern(const std::string& path) {
    const std::size_t percent = path.find('%');
    return percent != std::string::npos && path.find('d', percent) != std::string::npos;
}

MediaProbe::MediaProbe(const std::string& path)
    : path_(path),
      probe_("ffprobe",
             {"-v", "error", "-show_entries",
              "format=format_name,duration:stream=codec_type,codec_name,pix_fmt,width,height,sample_aspect_ratio,"
              "r_frame_rate,avg_frame_rate,duration,nb_frames:stream_tags=alpha_mode:stream_side_data=rotation",
              "-of", "flat", path},
             ChildPipes{false, true, false}, "cannot read '" + path + "'") {}

std::string MediaProbe::answer() {
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = readFully(probe_.output(), buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    if (!probe_.finish())
        throw ToolError("'" + path_ + "' is not a picture or video that ffmpeg can read (" + probe_.complaint() + ")");
    return text;
}

MediaInfo probeMedia(const std::string& path) { return MediaProbe(path).result(); }

bool hasSoundStream(const std::string& path, const std::string& what) {
    ChildProcess probe("ffprobe", {"-v", "error", "-select_streams", "a", "-show_entries", "stream=codec_type", "-of", "csv=p=0", path},
                       ChildPipes{false, true, false}, "cannot read " + what + " '" + path + "'");
    std::string text;
    char buffer[1024];
    for (std::size_t n; (n = readFully(probe.output(), buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    if (!probe.finish()) throw ToolError("cannot read " + what + " '" + path + "': " + probe.complaint());
    return text.find("audio") != std::string::npos;
}

MediaInfo MediaProbe::result() {
    const Fields fields = parseFlat(answer());
    MediaInfo info;
    std::string video;
    for (int i = 0; !field(fields, "streams.stream." + std::to_string(i) + ".codec_type").empty(); ++i) {
        const std::string prefix = "streams.stream." + std::to_string(i) + ".";
        const std::string type = field(fields, prefix + "codec_type");
        if (type == "audio") info.hasAudio = true;
        if (type == "video" && video.empty() && number(field(fields, prefix + "width"), 0) > 0) video = prefix;
    }
    if (video.empty()) throw ToolError("'" + path_ + "' has no picture: ffprobe finds no video stream in it");

    double width = number(field(fields, video + "width"), 0), rows = number(field(fields, video + "height"), 0);
    int64_t sarWidth = 1, sarRows = 1;
    if (ratio(field(fields, video + "sample_aspect_ratio"), sarWidth, sarRows) && sarWidth != sarRows)
        width = std::round(width * static_cast<double>(sarWidth) / static_cast<double>(sarRows));
    const double rotation = number(field(fields, video + "side_data_list.side_data.0.rotation"), 0);
    if (std::fmod(std::fabs(rotation), 180.0) == 90.0) std::swap(width, rows);
    info.width = static_cast<int32_t>(std::min(width, 1e9));
    info.rows = static_cast<int32_t>(std::min(rows, 1e9));

    int64_t numerator = 0, denominator = 0, baseNumerator = 0, baseDenominator = 0;
    const bool base = ratio(field(fields, video + "r_frame_rate"), baseNumerator, baseDenominator);
    if (ratio(field(fields, video + "avg_frame_rate"), numerator, denominator)) {
        info.rate = FrameRate{numerator, denominator};
        // Phones and screen recorders stamp frames as they come: the average
        // then differs from the stream's base rate.
        const double average = info.rate.perSecond();
        info.variableRate = base && std::fabs(average - static_cast<double>(baseNumerator) / baseDenominator) > 0.01 * average;
    } else if (base) {
        info.rate = FrameRate{baseNumerator, baseDenominator};
    }
    info.codec = field(fields, video + "codec_name");
    const std::string pixelFormat = field(fields, video + "pix_fmt");
    for (const char* withAlpha : {"yuva", "rgba", "bgra", "argb", "abgr", "gbrap", "ya8", "ya16"})
        info.alpha = info.alpha || pixelFormat.rfind(withAlpha, 0) == 0;
    // ffmpeg's own VP8/VP9 decoders drop the alpha that WebM carries beside
    // the picture; the file says it is there with an ALPHA_MODE tag.
    if ((info.codec == "vp8" || info.codec == "vp9") && field(fields, video + "tags.alpha_mode") == "1") info.alpha = true;
    info.duration = number(field(fields, video + "duration"), number(field(fields, "format.duration"), -1));

    const std::string format = field(fields, "format.format_name");
    info.sequence = format == "image2" && isSequencePattern(path_);
    const bool pictureFormat = format == "image2" || (format.size() > 5 && format.rfind("_pipe") == format.size() - 5);
    const double frames = number(field(fields, video + "nb_frames"), -1);
    info.still = (pictureFormat && !info.sequence) || frames == 1 ||
                 (info.duration >= 0 && info.duration * info.rate.perSecond() < 1.5 && !info.sequence);
    return info;
}

}  // namespace glimmer::tool

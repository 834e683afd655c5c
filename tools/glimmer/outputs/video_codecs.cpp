#include "outputs/video_codecs.h"

#include <cstring>
#include <sstream>

#include "outputs/output_file.h"

namespace glimmer::tool {
namespace {

const std::vector<VideoCodec>& codecs() {
    static const std::vector<VideoCodec> table = {
        {"libx264", "h264 x264 avc", "mp4 mov mkv matroska nut", "yuv420p", 51, 18, true, true, {}},
        {"libx265", "hevc h265 x265", "mp4 mov mkv matroska nut", "yuv420p", 51, 22, true, true,
         {"-tag:v", "hvc1", "-x265-params", "log-level=error"}},
        {"libvpx-vp9", "vp9", "webm mkv matroska nut", "yuv420p", 63, 32, false, true,
         {"-b:v", "0", "-row-mt", "1", "-cpu-used", "4"}},
        {"libaom-av1", "av1 aom", "mp4 webm mkv matroska nut", "yuv420p", 63, 32, false, true,
         {"-b:v", "0", "-row-mt", "1", "-cpu-used", "6"}},
        // Lossless, alpha kept.
        {"ffv1", "", "mkv matroska nut", "bgra", -1, 0, false, false, {}},
        {"rawvideo", "raw", "nut", "rgba", -1, 0, false, false, {}},
        // ProRes 4444 keeps alpha in a .mov.
        {"prores_ks", "prores", "mov mkv matroska", "yuva444p10le", -1, 0, false, false,
         {"-profile:v", "4444", "-vendor", "apl0"}},
        {"gif", "", "gif", "rgb24", -1, 0, false, false, {"-loop", "0"}},
    };
    return table;
}

bool listed(const char* list, const std::string& word) {
    std::istringstream words(list);
    for (std::string w; words >> w;)
        if (w == word) return true;
    return false;
}

}  // namespace

const VideoCodec* alphaCodec(const std::string& container) {
    if (container == "mov") return findCodec("prores_ks");
    if (container == "webm") return findCodec("libvpx-vp9");
    return nullptr;
}

std::string containerOfPath(const std::string& path) {
    const std::string extension = fileExtension(path);
    for (const char* container : {"mp4", "mov", "webm", "mkv", "gif"})
        if (extension == std::string(".") + container) return container;
    return "";
}

std::string containerOfFormat(const std::string& format) {
    if (format == "rgba" || format == "nut" || format == "matroska") return format;
    return "";
}

const VideoCodec* defaultCodec(const std::string& container) {
    if (container == "mp4" || container == "mov") return findCodec("libx264");
    if (container == "webm") return findCodec("libvpx-vp9");
    if (container == "mkv" || container == "matroska") return findCodec("ffv1");
    if (container == "gif") return findCodec("gif");
    if (container == "nut") return findCodec("rawvideo");
    return nullptr;
}

const VideoCodec* findCodec(const std::string& name) {
    for (const VideoCodec& c : codecs())
        if (name == c.name || listed(c.aliases, name)) return &c;
    return nullptr;
}

bool codecFitsContainer(const VideoCodec& codec, const std::string& container) {
    return listed(codec.containers, container);
}

std::string codecsOf(const std::string& container) {
    std::string names;
    for (const VideoCodec& c : codecs())
        if (codecFitsContainer(c, container)) names += (names.empty() ? "" : ", ") + std::string(c.name);
    return names;
}

std::string audioCodecOf(const std::string& container) {
    if (container == "mp4" || container == "mov") return "aac";
    if (container == "webm") return "libopus";
    if (container == "mkv" || container == "matroska") return "flac";
    if (container == "nut") return "pcm_s16le";
    return "";
}

std::string muxerOf(const std::string& container) {
    if (container == "mkv") return "matroska";
    if (container == "rgba") return "rawvideo";
    return container;
}

}  // namespace glimmer::tool

#include "sequence_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

#include "png_io.h"
#include "tool_error.h"

namespace glimmer::tool {
namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && !isFolder(part) && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            throw ToolError("cannot make folder '" + part + "': " + std::strerror(errno));
        if (slash == std::string::npos) break;
    }
}

bool isFolderPath(const std::string& path) { return (!path.empty() && path.back() == '/') || isFolder(path); }

PngSequenceWriter::PngSequenceWriter(std::string folder, int32_t frames, int compression)
    : folder_(std::move(folder)), digits_(4), compression_(compression) {
    while (!folder_.empty() && folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    makeFolders(folder_);
    for (int32_t limit = 10000; frames > limit && digits_ < 10; limit *= 10) ++digits_;
}

std::string PngSequenceWriter::framePath(int32_t position) const {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%0*d.png", digits_, position);
    return (folder_ == "/" ? "" : folder_) + "/" + name;
}

void PngSequenceWriter::take(int32_t position, const Picture& frame) {
    writePng(framePath(position), frame, compression_);
}

}  // namespace glimmer::tool

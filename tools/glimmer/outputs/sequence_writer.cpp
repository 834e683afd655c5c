#include "outputs/sequence_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "processes/interrupt_cleanup.h"
#include "common/png_io.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// "frame-" then at least four digits then ".png": the names glimmer gives.
bool isFrameName(const std::string& name) {
    const std::size_t digits = name.size() >= 14 ? name.size() - 10 : 0;
    return digits >= 4 && name.rfind("frame-", 0) == 0 && name.compare(name.size() - 4, 4, ".png") == 0 &&
           name.find_first_not_of("0123456789", 6) == 6 + digits;
}

void removeEarlierFrames(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (isFrameName(name) && unlink((folder + "/" + name).c_str()) != 0 && errno != ENOENT) {
            const std::string reason = std::strerror(errno);
            closedir(dir);
            throw ToolError("cannot remove '" + folder + "/" + name + "' of an earlier render: " + reason);
        }
    }
    closedir(dir);
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
    : folder_(std::move(folder)), frames_(frames), digits_(4), compression_(compression) {
    while (!folder_.empty() && folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    makeFolders(folder_);
    for (int32_t limit = 10000; frames > limit && digits_ < 10; limit *= 10) ++digits_;
    removeEarlierFrames(folder_);
    guardSequence(folder_ == "/" ? "" : folder_, digits_);
}

PngSequenceWriter::~PngSequenceWriter() {
    forgetSequence();
    if (!committed_)
        for (int32_t p = 0; p < frames_; ++p) unlink(framePath(p).c_str());
}

std::string PngSequenceWriter::framePath(int32_t position) const {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%0*d.png", digits_, position);
    return (folder_ == "/" ? "" : folder_) + "/" + name;
}

void PngSequenceWriter::take(int32_t position, const Picture& frame) {
    writePng(framePath(position), frame, compression_);
    sequenceFrameWritten(position);
}

void PngSequenceWriter::commit() {
    committed_ = true;
    forgetSequence();
}

}  // namespace glimmer::tool

#include "outputs/output_file.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "processes/interrupt_cleanup.h"
#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Devices, pipes and sockets: renaming over one would replace it (as root,
// /dev/null itself), and writing into one is not a file anyone keeps.
bool isSpecialTarget(const std::string& path) {
    struct stat info;
    if (path.rfind("/dev/", 0) == 0) return true;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

}  // namespace

std::string fileExtension(const std::string& path) {
    const std::string name = nameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return "";
    std::string extension = name.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

void checkOutputFolder(const std::string& target) {
    if (isSpecialTarget(target))
        throw ToolError("cannot write '" + target + "': not a regular file (--out - writes to standard output)");
    const std::string folder = folderOf(target);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0)
        throw ToolError("cannot write '" + target + "': folder '" + folder + "' does not exist");
    if (!S_ISDIR(info.st_mode)) throw ToolError("cannot write '" + target + "': '" + folder + "' is not a folder");
}

void refuseOutputOverInput(const std::string& target, const std::vector<std::pair<std::string, std::string>>& inputs) {
    struct stat out;
    if (target == "-" || stat(target.c_str(), &out) != 0) return;
    for (const auto& input : inputs) {
        struct stat in;
        if (input.first.empty() || stat(input.first.c_str(), &in) != 0) continue;
        const bool same = in.st_dev == out.st_dev && in.st_ino == out.st_ino;
        struct stat folder;
        const bool frameInFolder = S_ISDIR(out.st_mode) && nameOf(input.first).rfind("frame-", 0) == 0 &&
                                   stat(folderOf(input.first).c_str(), &folder) == 0 && folder.st_dev == out.st_dev &&
                                   folder.st_ino == out.st_ino;
        if (same || frameInFolder)
            throw ToolError("--out '" + target + "' would replace " + input.second + " '" + input.first + "'" +
                            (same && input.first != target ? " (the same file by another path)" : "") +
                            "; write the output somewhere else");
    }
}

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    if (isFolder(target_)) throw ToolError("cannot write '" + target_ + "': it is a folder");
    checkOutputFolder(target_);
    // Threads of one process write several outputs at once: the counter
    // keeps their temporary names apart. The extension stays last because
    // ffmpeg chooses the container by it.
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target_);
    writePath_ = (folder == "/" ? "" : folder) + "/." + nameOf(target_) + ".tmp" +
                 std::to_string(getpid()) + "-" + std::to_string(counter++) + fileExtension(target_);
    guard_ = guardFile(writePath_);
}

OutputFile::~OutputFile() {
    if (!committed_) std::remove(writePath_.c_str());
    forgetFile(guard_);
}

void OutputFile::commit() {
    if (std::rename(writePath_.c_str(), target_.c_str()) != 0)
        throw ToolError("cannot write '" + target_ + "': " + std::strerror(errno));
    committed_ = true;
    forgetFile(guard_);
    guard_ = -1;
}

}  // namespace glimmer::tool

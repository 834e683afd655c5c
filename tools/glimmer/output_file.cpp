#include "output_file.h"

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include "tool_error.h"

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

// Renaming over a device or a pipe would replace it (as root, /dev/null
// itself), so such targets are written in place.
bool isSpecialFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Temporary files being written, so that an interrupt (Ctrl-C, a kill)
// removes them too instead of leaving large hidden files behind.
std::array<std::atomic<char*>, 64> pendingFiles{};

void removePendingFiles(int signalNumber) {
    for (std::atomic<char*>& slot : pendingFiles)
        if (char* path = slot.load()) unlink(path);  // unlink is safe in a signal handler
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

char* registerPendingFile(const std::string& path) {
    static std::once_flag handlersInstalled;
    std::call_once(handlersInstalled, [] {
        for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, removePendingFiles);
    });
    char* copy = strdup(path.c_str());
    for (std::atomic<char*>& slot : pendingFiles) {
        char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, copy)) return copy;
    }
    return copy;  // more outputs at once than slots: this one is not guarded
}

void unregisterPendingFile(char* path) {
    for (std::atomic<char*>& slot : pendingFiles) {
        char* expected = path;
        if (slot.compare_exchange_strong(expected, nullptr)) break;
    }
    std::free(path);
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
    const std::string folder = folderOf(target);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0)
        throw ToolError("cannot write '" + target + "': folder '" + folder + "' does not exist");
    if (!S_ISDIR(info.st_mode)) throw ToolError("cannot write '" + target + "': '" + folder + "' is not a folder");
}

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {
    if (isFolder(target_)) throw ToolError("cannot write '" + target_ + "': it is a folder");
    checkOutputFolder(target_);
    if (isSpecialFile(target_)) {
        inPlace_ = true;
        writePath_ = target_;
        return;
    }
    // Threads of one process write several outputs at once: the counter
    // keeps their temporary names apart. The extension stays last because
    // ffmpeg chooses the container by it.
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target_);
    writePath_ = (folder == "/" ? "" : folder) + "/." + nameOf(target_) + ".tmp" +
                 std::to_string(getpid()) + "-" + std::to_string(counter++) + fileExtension(target_);
    pending_ = registerPendingFile(writePath_);
}

OutputFile::~OutputFile() {
    if (!committed_ && !inPlace_) std::remove(writePath_.c_str());
    if (pending_ != nullptr) unregisterPendingFile(pending_);
}

void OutputFile::commit() {
    if (!inPlace_ && std::rename(writePath_.c_str(), target_.c_str()) != 0)
        throw ToolError("cannot write '" + target_ + "': " + std::strerror(errno));
    committed_ = true;
    if (pending_ != nullptr) unregisterPendingFile(pending_);
    pending_ = nullptr;
}

}  // namespace glimmer::tool

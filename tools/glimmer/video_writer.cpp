#include "video_writer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tool_error.h"

extern char** environ;

namespace glimmer::tool {
namespace {

std::vector<std::string> codecArguments(const std::string& extension) {
    if (extension == ".mp4")
        // H.264 in 4:2:0 needs even sizes: odd ones get one padding line.
        return {"-c:v", "libx264", "-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p",
                "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-movflags", "+faststart"};
    if (extension == ".webm")
        return {"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-row-mt", "1", "-cpu-used", "4",
                "-pix_fmt", "yuv420p"};
    if (extension == ".mkv") return {"-c:v", "ffv1", "-pix_fmt", "bgra"};
    // One palette for the whole clip: the pictures do not change colours,
    // only places.
    return {"-filter_complex", "split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse=dither=bayer:bayer_scale=3",
            "-loop", "0"};
}

bool writeAll(int fd, const void* data, std::size_t bytes) {
    const char* at = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t n = ::write(fd, at, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

// The last non-empty line ffmpeg printed, which names its complaint.
std::string lastLine(int fd) {
    std::string text;
    char buffer[4096];
    if (lseek(fd, 0, SEEK_SET) != 0) return "";
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    const std::size_t newline = text.find_last_of("\r\n");
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

}  // namespace

bool isVideoPath(const std::string& path) {
    const std::string extension = fileExtension(path);
    return extension == ".mp4" || extension == ".webm" || extension == ".mkv" || extension == ".gif";
}

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

VideoWriter::VideoWriter(const std::string& path, int32_t width, int32_t rows, int framesPerSecond)
    : output_(path), width_(width), rows_(rows) {
    const std::string ffmpeg = findProgram("ffmpeg");
    if (ffmpeg.empty()) throw ToolError("cannot write '" + path + "': ffmpeg is not installed (no ffmpeg on PATH)");

    char reportName[] = "/tmp/glimmer-ffmpeg-XXXXXX";
    report_ = mkstemp(reportName);
    if (report_ < 0) throw ToolError("cannot start ffmpeg: " + std::string(std::strerror(errno)));
    unlink(reportName);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw ToolError("cannot start ffmpeg: " + std::string(std::strerror(errno)));
    pipe_ = pipeEnds[1];

    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
                                          "-f", "rawvideo", "-pix_fmt", "rgba",
                                          "-s", std::to_string(width) + "x" + std::to_string(rows),
                                          "-framerate", std::to_string(framesPerSecond), "-i", "pipe:0"};
    for (std::string& a : codecArguments(fileExtension(path))) arguments.push_back(std::move(a));
    arguments.push_back(output_.path());
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, report_, STDERR_FILENO);
    const int spawned = posix_spawn(&child_, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (spawned != 0) {
        child_ = -1;
        throw ToolError("cannot start '" + ffmpeg + "': " + std::strerror(spawned));
    }
}

VideoWriter::~VideoWriter() {
    if (child_ > 0) {
        // Unfinished: stop ffmpeg before the OutputFile removes its file.
        kill(child_, SIGTERM);
        stopFfmpeg();
    }
    if (pipe_ >= 0) close(pipe_);
    if (report_ >= 0) close(report_);
}

int VideoWriter::stopFfmpeg() {
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    return status;
}

void VideoWriter::failWithFfmpegReport(const std::string& what) {
    const int status = stopFfmpeg();
    std::string reason = lastLine(report_);
    if (reason.empty())
        reason = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status)) : "killed by a signal";
    throw ToolError(what + " '" + output_.target() + "': " + reason);
}

void VideoWriter::take(int32_t, const Picture& frame) {
    // ffmpeg wants the top line first; the engine keeps it last.
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    for (int32_t r = rows_ - 1; r >= 0; --r)
        if (!writeAll(pipe_, frame.row(r), rowBytes)) failWithFfmpegReport("ffmpeg stopped while writing");
}

void VideoWriter::finish() {
    const int status = stopFfmpeg();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string reason = lastLine(report_);
        if (reason.empty()) reason = "ffmpeg failed";
        throw ToolError("ffmpeg could not write '" + output_.target() + "': " + reason);
    }
    output_.commit();
}

}  // namespace glimmer::tool

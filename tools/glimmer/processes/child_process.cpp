#include "processes/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "processes/interrupt_cleanup.h"
#include "common/tool_error.h"

extern char** environ;

namespace glimmer::tool {
namespace {

// A frame of 1080p is 8 MB: bigger pipes take it in far fewer switches
// between the programs. The system may give less; that only costs speed.
constexpr int dataPipeBytes = 1 << 20;

struct PipeEnds {
    int read = -1, write = -1;
};

// ffmpeg allocates frame-sized buffers all the time, and on some virtual
// machines faulting them in page by page is a large part of its work.
// glibc backs large blocks with transparent huge pages when asked (2.35 and
// later; older ones ignore the word). A hugetlb setting of the user's stays.
std::vector<std::string> childEnvironment() {
    const std::string name = "GLIBC_TUNABLES=", hugePages = "glibc.malloc.hugetlb=1";
    std::vector<std::string> variables;
    bool named = false;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        std::string text = *variable;
        if (text.rfind(name, 0) == 0) {
            named = true;
            if (text.find("glibc.malloc.hugetlb") == std::string::npos)
                text += (text.size() == name.size() ? "" : ":") + hugePages;
        }
        variables.push_back(std::move(text));
    }
    if (!named) variables.push_back(name + hugePages);
    return variables;
}

PipeEnds makePipe(const std::string& context, bool forData) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw ToolError(context + ": " + std::strerror(errno));
    if (forData) fcntl(ends[0], F_SETPIPE_SZ, dataPipeBytes);
    return {ends[0], ends[1]};
}

void closeIfOpen(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// The child's descriptors 0 to 4 are made by dup2 one after the other: a
// source that is itself one of those numbers would be overwritten before
// its turn. Sources are moved above them first.
void moveAboveChildDescriptors(int& fd) {
    if (fd < 0 || fd > 4) return;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 5);
    if (moved < 0) return;
    close(fd);
    fd = moved;
}

std::string installAdvice(const std::string& program) {
    const std::string package = program == "ffprobe" ? "ffmpeg" : program;
    return program + " is not installed (no '" + program + "' on PATH); install " + package +
           ", on Debian or Ubuntu with 'apt install " + package + "'";
}

}  // namespace

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/bin:/bin";
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

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments, ChildPipes pipes,
                           const std::string& context) {
    const std::string path = findProgram(program);
    if (path.empty()) throw ToolError(context + ": " + installAdvice(program));

    char reportName[] = "/tmp/glimmer-report-XXXXXX";
    report_ = mkostemp(reportName, O_CLOEXEC);
    if (report_ < 0) throw ToolError(context + ": " + std::strerror(errno));
    unlink(reportName);
    PipeEnds in, out, third, fourth;
    try {
        if (pipes.input) in = makePipe(context, true);
        if (pipes.output) out = makePipe(context, true);
        if (pipes.third) third = makePipe(context, true);
        if (pipes.fourth) fourth = makePipe(context, true);
    } catch (...) {
        for (int* fd : {&in.read, &in.write, &out.read, &out.write, &third.read, &third.write, &fourth.read, &fourth.write})
            closeIfOpen(*fd);
        throw;
    }

    for (int* fd : {&report_, &in.read, &out.write, &third.write, &fourth.read}) moveAboveChildDescriptors(*fd);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = childEnvironment();
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipes.input) posix_spawn_file_actions_adddup2(&actions, in.read, STDIN_FILENO);
    else posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (pipes.output) posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    if (pipes.third) posix_spawn_file_actions_adddup2(&actions, third.write, 3);
    if (pipes.fourth) posix_spawn_file_actions_adddup2(&actions, fourth.read, 4);
    posix_spawn_file_actions_adddup2(&actions, report_, STDERR_FILENO);
    // Its own process group: a Ctrl-C at the terminal reaches glimmer, which
    // ends the children itself. Signals come back to their defaults, and
    // none is blocked, whatever glimmer does with them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    int spawned;
    {
        InterruptsHeld held;
        spawned = posix_spawn(&child_, path.c_str(), &actions, &attributes, argv.data(), envp.data());
        if (spawned == 0) guardChild(child_);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    for (int* fd : {&in.read, &out.write, &third.write, &fourth.read}) closeIfOpen(*fd);
    input_ = in.write;
    output_ = out.read;
    third_ = third.read;
    fourth_ = fourth.write;
    if (spawned != 0) {
        child_ = -1;
        const std::string reason = std::strerror(spawned);
        for (int* fd : {&input_, &output_, &third_, &fourth_, &report_}) closeIfOpen(*fd);
        throw ToolError(context + ": cannot start '" + path + "': " + reason);
    }
}

ChildProcess::~ChildProcess() {
    if (child_ > 0) stop();
    for (int* fd : {&input_, &output_, &third_, &fourth_, &report_}) closeIfOpen(*fd);
}

void ChildProcess::closeInput() { closeIfOpen(input_); }

void ChildProcess::closeFourth() { closeIfOpen(fourth_); }

bool ChildProcess::finish() {
    closeInput();
    if (child_ > 0) {
        while (waitpid(child_, &status_, 0) < 0 && errno == EINTR) {
        }
        forgetChild(child_);
        child_ = -1;
    }
    return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}

void ChildProcess::stop() {
    if (child_ > 0) kill(child_, SIGKILL);
    finish();
}

std::string ChildProcess::complaint() const {
    std::string text;
    char buffer[4096];
    if (report_ >= 0 && lseek(report_, 0, SEEK_SET) == 0)
        for (ssize_t n; (n = ::read(report_, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    const std::size_t newline = text.find_last_of("\r\n");
    if (newline != std::string::npos) text = text.substr(newline + 1);
    if (!text.empty()) return text;
    if (WIFEXITED(status_)) return "exit status " + std::to_string(WEXITSTATUS(status_));
    return "killed by signal " + std::to_string(WTERMSIG(status_));
}

bool writeFully(int fd, const void* data, std::size_t bytes) {
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

std::size_t readFully(int fd, void* data, std::size_t bytes) {
    char* at = static_cast<char*>(data);
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::read(fd, at + got, bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

}  // namespace glimmer::tool

#include "processes/interrupt_cleanup.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

namespace glimmer::tool {
namespace {

constexpr int interruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::array<std::atomic<char*>, 64> guardedFiles{};
std::array<std::atomic<pid_t>, 32> guardedChildren{};

// The sequence's folder and digits are set before any frame is written and
// cleared after the last; the handler reads them only while `sequenceFrames`
// is above zero.
char sequenceFolder[4096];
std::atomic<int> sequenceDigits{0};
std::atomic<int32_t> sequenceFrames{0};

// "FOLDER/frame-" then `position` in `digits` digits, then ".png", without
// anything a signal handler may not call.
void formatFramePath(char* out, std::size_t size, int32_t position, int digits) {
    static const char middle[] = "/frame-";
    std::size_t at = 0;
    for (const char* p = sequenceFolder; *p != '\0' && at + 1 < size; ++p) out[at++] = *p;
    for (const char* p = middle; *p != '\0' && at + 1 < size; ++p) out[at++] = *p;
    char number[12];
    int length = 0;
    for (int32_t n = position; length < digits || n > 0; n /= 10) number[length++] = static_cast<char>('0' + n % 10);
    while (length > 0 && at + 1 < size) out[at++] = number[--length];
    for (const char* p = ".png"; *p != '\0' && at + 1 < size; ++p) out[at++] = *p;
    out[at] = '\0';
}

void cleanUpAndDie(int signalNumber) {
    for (std::atomic<pid_t>& slot : guardedChildren)
        if (const pid_t child = slot.load(); child > 0) kill(child, SIGKILL);
    // Gone before glimmer is: whoever waits for glimmer finds no child left.
    for (std::atomic<pid_t>& slot : guardedChildren)
        if (const pid_t child = slot.load(); child > 0) waitpid(child, nullptr, 0);
    for (std::atomic<char*>& slot : guardedFiles)
        if (char* path = slot.load()) unlink(path);
    const int32_t frames = sequenceFrames.load();
    char path[sizeof sequenceFolder + 32];
    for (int32_t p = 0; p < frames; ++p) {
        formatFramePath(path, sizeof path, p, sequenceDigits.load());
        unlink(path);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void installHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int s : interruptSignals) std::signal(s, cleanUpAndDie);
    });
}

}  // namespace

int guardFile(const std::string& path) {
    installHandlers();
    char* copy = strdup(path.c_str());
    for (std::size_t i = 0; i < guardedFiles.size(); ++i) {
        char* empty = nullptr;
        if (guardedFiles[i].compare_exchange_strong(empty, copy)) return static_cast<int>(i);
    }
    std::free(copy);
    return -1;  // more outputs at once than slots: this one is not guarded
}

void forgetFile(int token) {
    if (token < 0) return;
    std::free(guardedFiles[static_cast<std::size_t>(token)].exchange(nullptr));
}

void guardChild(pid_t child) {
    installHandlers();
    for (std::atomic<pid_t>& slot : guardedChildren) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, child)) return;
    }
}

void forgetChild(pid_t child) {
    for (std::atomic<pid_t>& slot : guardedChildren) {
        pid_t expected = child;
        if (slot.compare_exchange_strong(expected, 0)) return;
    }
}

void guardSequence(const std::string& folder, int digits) {
    installHandlers();
    sequenceFrames = 0;
    std::snprintf(sequenceFolder, sizeof sequenceFolder, "%s", folder.c_str());
    sequenceDigits = digits;
}

// Frames may be finished out of order; the handler removes every position
// below the highest finished one, and unlink of a missing name is harmless.
void sequenceFrameWritten(int32_t position) {
    int32_t frames = sequenceFrames.load();
    while (frames < position + 1 && !sequenceFrames.compare_exchange_weak(frames, position + 1)) {
    }
}

void forgetSequence() { sequenceFrames = 0; }

InterruptsHeld::InterruptsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : interruptSignals) sigaddset(&held, s);
    pthread_sigmask(SIG_BLOCK, &held, &saved_);
}

InterruptsHeld::~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

}  // namespace glimmer::tool

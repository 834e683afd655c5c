// What an interrupt (Ctrl-C, SIGTERM, SIGHUP) must undo before glimmer
// dies: ffmpeg children still running, temporary files being written, and
// the frames of a sequence not yet complete. The handler ends the children,
// removes the files and then dies of the same signal, so a kill is never
// reported as success.
//
// Everything here is safe to call from several threads; the handler itself
// only kills, unlinks and formats names into fixed buffers.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include <signal.h>
#include <sys/types.h>

namespace glimmer::tool {

// A file that the handler removes while it is guarded. Answers a token for
// forgetFile.
int guardFile(const std::string& path);
void forgetFile(int token);

// A child process that the handler kills while it is guarded.
void guardChild(pid_t child);
void forgetChild(pid_t child);

// The frames of a sequence being written: FOLDER/frame-%0*d.png for the
// positions below `written`. One sequence at a time.
void guardSequence(const std::string& folder, int digits);
void sequenceFrameWritten(int32_t position);
void forgetSequence();

// Blocks the interrupting signals in this thread while it lives: a child
// started meanwhile is guarded before the handler can miss it.
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    sigset_t saved_;
};

// A thread that leaves interrupts to the main thread, which starts every
// child: the handler then never runs between a child's start and its guard.
template <typename Work>
std::thread workerThread(Work&& work) {
    InterruptsHeld held;
    return std::thread(std::forward<Work>(work));
}

}  // namespace glimmer::tool

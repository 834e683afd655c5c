// Renders with melt as a user or an editor's render job would, and reads
// back the raw RGBA frames its avformat consumer wrote (top row first).
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "common/picture.h"

namespace glimmer::tool {

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A picture as raw RGBA output holds it: top row first, where the engine's
// row order puts it last.
inline std::string topFirstBytes(const Picture& p) {
    std::string bytes;
    for (int32_t r = p.rows - 1; r >= 0; --r) bytes.append(reinterpret_cast<const char*>(p.row(r)), std::size_t(p.width) * 4);
    return bytes;
}

// The consumer property that makes melt render every frame in its consumer's
// own thread. With any other real_time (the avformat consumer's default is
// -1: one worker thread) MLT 7.12 hands frames between threads in a way that
// can lose the signal that a frame is ready: the consumer then waits for ever
// before its first frame (or any later one), and a melt stopped by a signal
// in that state exits 0 having written nothing. A busy machine makes it
// likely, since it needs the consumer's thread to be held up between its test
// for a rendered frame and its wait, while the worker finishes every queued
// frame. In one thread there is no hand-over to lose.
constexpr char meltRenderInOneThread[] = "real_time=0";

// How often a render that wrote nothing, and exited 0 or hung, is run again.
// MLT 7.12's avformat consumer starts its thread before it marks itself
// running, and the thread tests that mark once it has opened the output: a
// starting thread held up for those few milliseconds (a busy machine, one
// run in twenty here) leaves a consumer that stops before its first frame,
// and melt exits 0 with an empty file. Where the thread has even ended
// before the mark is set, the consumer stays marked running with no thread,
// and melt waits for it for ever (its only threads then are its main one,
// asleep in its wait, and Qt's event queue). The same render run again is
// not held up the same way; a project melt cannot load stays empty every
// time, and fails.
constexpr int meltAttemptsOnEmptyOutput = 3;

// The renders here take under a second; a melt still running after this
// long with nothing written is the hang above.
constexpr int meltBoundSeconds = 30;

// Runs `command` (a shell command line that starts melt, its output going
// to `raw`) in `folder`, bounded to meltBoundSeconds, and answers the frames.
// The command must be one program with its arguments, as run-bounded runs
// it without a shell.
// melt reports success even when it rendered nothing (a project it could
// not load prints the usage and exits 0), so an empty output fails here by
// name, with melt's log, instead of as a size mismatch later.
inline std::string renderWithMelt(const std::string& folder, const std::string& command, const std::string& raw) {
    const std::string log = raw + ".log";
    // run-bounded, beside this header, leaves a hung melt's stacks in the log.
    const std::string here = __FILE__;
    const std::string bounded = here.substr(0, here.find_last_of('/') + 1) + "run-bounded";
    const std::string line = "cd '" + folder + "' && '" + bounded + "' " + std::to_string(meltBoundSeconds) + " " + command + " > '" + log + "' 2>&1";
    std::string frames;
    int attempt = 0, exitStatus = 0;
    const int hung = 124;  // run-bounded's status, as timeout's
    while (frames.empty() && (exitStatus == 0 || exitStatus == hung) && attempt++ < meltAttemptsOnEmptyOutput) {
        std::remove(raw.c_str());
        const int status = std::system(line.c_str());
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        frames = fileBytes(raw);
    }
    EXPECT_EQ(exitStatus, 0) << (exitStatus == hung ? "melt did not finish in " + std::to_string(meltBoundSeconds) +
                                                          " seconds\n"
                                                    : "")
                             << fileBytes(log);
    EXPECT_FALSE(frames.empty()) << "melt wrote no frames to " << raw << " in " << meltAttemptsOnEmptyOutput
                                 << " runs; its log:\n" << fileBytes(log);
    return frames;
}

}  // namespace glimmer::tool

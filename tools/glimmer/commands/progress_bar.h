// A progress bar on standard error: frames done, frames per second, time
// left, and at the end what was written. Drawn only when standard error is
// a terminal and not silenced, so logs and pipes stay clean. Safe to call
// from several threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

namespace glimmer::tool {

class ProgressBar {
public:
    ProgressBar(int64_t frames, bool quiet);
    void frameDone();
    // `done` frames are finished in all (an encoder's count); never goes back.
    void framesDone(int64_t done);
    // Ends the bar's line, with `summary` ("wrote x.mp4: ...") in place of
    // the bar when given; the destructor ends it without.
    void finish(const std::string& summary = "");
    ~ProgressBar() { finish(); }

private:
    void update(int64_t done);
    void draw();

    using Clock = std::chrono::steady_clock;
    int64_t frames_;
    int64_t done_ = 0;
    bool shown_;
    bool finished_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    std::mutex mutex_;
};

}  // namespace glimmer::tool

// A progress bar on standard error: frames done, frames per second, time
// left. Drawn only when standard error is a terminal and not silenced, so
// logs and pipes stay clean. Safe to call from several job threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace glimmer::tool {

class ProgressBar {
public:
    ProgressBar(int32_t frames, bool quiet);
    void frameDone();
    // Ends the bar's line; the destructor does it too.
    void finish();
    ~ProgressBar() { finish(); }

private:
    void draw(bool last);

    using Clock = std::chrono::steady_clock;
    int32_t frames_;
    int32_t done_ = 0;
    bool shown_;
    bool finished_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    std::mutex mutex_;
};

}  // namespace glimmer::tool

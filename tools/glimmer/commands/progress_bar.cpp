#include "commands/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace glimmer::tool {

ProgressBar::ProgressBar(int64_t frames, bool quiet)
    : frames_(frames), shown_(!quiet && isatty(STDERR_FILENO) == 1), start_(Clock::now()), lastDrawn_(start_) {}

void ProgressBar::frameDone() {
    if (!shown_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    update(done_ + 1);
}

void ProgressBar::framesDone(int64_t done) {
    if (!shown_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (done > done_) update(done);
}

void ProgressBar::update(int64_t done) {
    done_ = done;
    const Clock::time_point now = Clock::now();
    // A redraw per frame would flood a slow terminal at small sizes.
    if (!finished_ && now - lastDrawn_ >= std::chrono::milliseconds(100)) {
        lastDrawn_ = now;
        draw();
    }
}

void ProgressBar::finish(const std::string& summary) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!shown_ || finished_) return;
    finished_ = true;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    if (!summary.empty()) std::fprintf(stderr, "\rglimmer: %s in %.1f s\033[K\n", summary.c_str(), seconds);
    else if (done_ > 0) std::fputc('\n', stderr);
    std::fflush(stderr);
}

void ProgressBar::draw() {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    const int width = 30;
    const int filled = frames_ > 0 ? static_cast<int>(std::min(done_, frames_) * width / frames_) : width;
    const std::string bar = std::string(filled, '#') + std::string(width - filled, '-');
    const int left = rate > 0 ? static_cast<int>((frames_ - done_) / rate + 0.5) : 0;
    std::fprintf(stderr, "\r%6lld/%lld [%s] %6.1f frames/s  %d:%02d left\033[K", static_cast<long long>(done_),
                 static_cast<long long>(frames_), bar.c_str(), rate, left / 60, left % 60);
    std::fflush(stderr);
}

}  // namespace glimmer::tool

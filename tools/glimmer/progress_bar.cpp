#include "progress_bar.h"

#include <cstdio>
#include <string>

#include <unistd.h>

namespace glimmer::tool {

ProgressBar::ProgressBar(int32_t frames, bool quiet)
    : frames_(frames), shown_(!quiet && isatty(STDERR_FILENO) == 1), start_(Clock::now()), lastDrawn_(start_) {}

void ProgressBar::frameDone() {
    if (!shown_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    const Clock::time_point now = Clock::now();
    // A redraw per frame would flood a slow terminal at small sizes.
    if (done_ == frames_ || now - lastDrawn_ >= std::chrono::milliseconds(100)) {
        lastDrawn_ = now;
        draw(done_ == frames_);
    }
}

void ProgressBar::finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!shown_ || finished_) return;
    finished_ = true;
    if (done_ > 0) std::fputc('\n', stderr);
}

void ProgressBar::draw(bool last) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    const int width = 30;
    const int filled = frames_ > 0 ? static_cast<int>(int64_t{done_} * width / frames_) : width;
    const std::string bar = std::string(filled, '#') + std::string(width - filled, '-');
    const int left = rate > 0 ? static_cast<int>((frames_ - done_) / rate + 0.5) : 0;
    std::fprintf(stderr, "\r%6d/%d [%s] %6.1f frames/s  %d:%02d left\033[K", done_, frames_, bar.c_str(), rate,
                 left / 60, left % 60);
    if (last) std::fprintf(stderr, "\r%6d/%d [%s] %6.1f frames/s  %.1f s\033[K", done_, frames_, bar.c_str(),
                           rate, seconds);
    std::fflush(stderr);
}

}  // namespace glimmer::tool

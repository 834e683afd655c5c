#include "inputs/frame_pipe_queue.h"

#include <unistd.h>

#include "processes/child_process.h"
#include "processes/interrupt_cleanup.h"

namespace glimmer::tool {

void drainPipe(int fd) {
    std::vector<char> scratch(1 << 16);
    while (readFully(fd, scratch.data(), scratch.size()) == scratch.size()) {
    }
}

FramePipeQueue::FramePipeQueue(int fd, std::size_t frameBytes, int64_t wanted, std::size_t room)
    : fd_(fd), frameBytes_(frameBytes), wanted_(wanted), room_(room) {
    reader_ = workerThread([this] { readFrames(); });
}

FramePipeQueue::~FramePipeQueue() {
    cancel();
    reader_.join();
}

void FramePipeQueue::readFrames() {
    for (int64_t n = 0; n < wanted_; ++n) {
        std::vector<uint8_t> frame;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return cancelled_ || frames_.size() < room_; });
            if (cancelled_) break;
            if (!spare_.empty()) {
                frame = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        frame.resize(frameBytes_);
        if (readFully(fd_, frame.data(), frameBytes_) != frameBytes_) break;
        std::lock_guard<std::mutex> lock(mutex_);
        frames_.push_back(std::move(frame));
        changed_.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    drainPipe(fd_);
}

bool FramePipeQueue::pop(std::vector<uint8_t>& frame) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || !frames_.empty() || ended_; });
    if (cancelled_ || frames_.empty()) return false;
    spare_.push_back(std::move(frame));
    frame = std::move(frames_.front());
    frames_.pop_front();
    changed_.notify_all();
    return true;
}

void FramePipeQueue::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

}  // namespace glimmer::tool

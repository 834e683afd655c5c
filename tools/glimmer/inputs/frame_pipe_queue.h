// Frames read from a pipe by a thread of their own into a small queue.
//
// A decoder that feeds the encoder and the render jobs from one ffmpeg
// writes on two pipes, and ffmpeg writes a frame or two on one pipe before
// it goes on with the other. Reading each pipe on its own thread, with a
// few frames of room, lets it go on whichever pipe the work waits for.
// Frames past the wanted ones are read and dropped, so ffmpeg can finish.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace glimmer::tool {

class FramePipeQueue {
public:
    FramePipeQueue(int fd, std::size_t frameBytes, int64_t wanted, std::size_t room);
    // Waits for the thread, which ends when the pipe does: end its writer
    // first.
    ~FramePipeQueue();
    FramePipeQueue(const FramePipeQueue&) = delete;
    FramePipeQueue& operator=(const FramePipeQueue&) = delete;

    // The next frame into `frame`; false when the pipe ended before it, or
    // after cancel().
    bool pop(std::vector<uint8_t>& frame);
    void cancel();

private:
    void readFrames();

    int fd_;
    std::size_t frameBytes_;
    int64_t wanted_;
    std::size_t room_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> frames_;
    std::vector<std::vector<uint8_t>> spare_;
    bool ended_ = false;
    bool cancelled_ = false;
    std::thread reader_;
};

// Reads and drops what is left on a pipe until its writer closes it.
void drainPipe(int fd);

}  // namespace glimmer::tool

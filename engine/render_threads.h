// A few threads that render parts of one frame together.
//
// Made once by a host adapter and kept for its life: starting threads per
// frame would cost more than some frames take. The thread that calls run()
// does a share of the work itself, so a pool of one has no thread at all.
// The plug-in never makes one: it renders on its host's thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace glimmer {

class RenderThreads {
public:
    // count is the number of threads that work, the caller's included;
    // below 1 it is taken as 1.
    explicit RenderThreads(int32_t count);
    ~RenderThreads();
    RenderThreads(const RenderThreads&) = delete;
    RenderThreads& operator=(const RenderThreads&) = delete;

    int32_t count() const { return count_; }

    // Calls task(context, k) once for every k in 0..count()-1, k = 0 on the
    // calling thread, and returns when all have returned. One run at a time.
    void run(void (*task)(void* context, int32_t k), void* context);

    // Calls task(context, k) for every k in 1..count()-1 on the pool's own
    // threads and returns at once, so that the caller can do other work
    // meanwhile; the next run() or wait() returns only after them. Answers
    // false, and calls nothing, for a pool of one.
    bool startOthers(void (*task)(void* context, int32_t k), void* context);
    void wait();

private:
    void serve(int32_t k);
    void hand(void (*task)(void*, int32_t), void* context);

    int32_t count_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable started_, finished_;
    void (*task_)(void*, int32_t) = nullptr;
    void* context_ = nullptr;
    uint64_t generation_ = 0;
    int32_t running_ = 0;
    bool stopping_ = false;
};

// The processor's thread count, at least 1.
int32_t processorThreads();

}  // namespace glimmer

#include "render_threads.h"

namespace glimmer {

RenderThreads::RenderThreads(int32_t count) : count_(count < 1 ? 1 : count) {
    workers_.reserve(static_cast<size_t>(count_ - 1));
    for (int32_t k = 1; k < count_; ++k) workers_.emplace_back([this, k] { serve(k); });
}

RenderThreads::~RenderThreads() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    started_.notify_all();
    for (std::thread& t : workers_) t.join();
}

// Hands the task to the pool's threads once they are done with the last.
void RenderThreads::hand(void (*task)(void*, int32_t), void* context) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [this] { return running_ == 0; });
        task_ = task;
        context_ = context;
        running_ = count_ - 1;
        ++generation_;
    }
    started_.notify_all();
}

void RenderThreads::run(void (*task)(void*, int32_t), void* context) {
    if (count_ > 1) hand(task, context);
    task(context, 0);
    wait();
}

bool RenderThreads::startOthers(void (*task)(void*, int32_t), void* context) {
    if (count_ == 1) return false;
    hand(task, context);
    return true;
}

void RenderThreads::wait() {
    if (count_ == 1) return;
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return running_ == 0; });
}

void RenderThreads::serve(int32_t k) {
    uint64_t seen = 0;
    for (;;) {
        void (*task)(void*, int32_t);
        void* context;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            started_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            task = task_;
            context = context_;
        }
        task(context, k);
        std::lock_guard<std::mutex> lock(mutex_);
        if (--running_ == 0) finished_.notify_all();
    }
}

int32_t processorThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int32_t>(n);
}

}  // namespace glimmer

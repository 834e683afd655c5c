#include "plan/frame_jobs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "frame_setup.h"
#include "parallel_render.h"
#include "processes/interrupt_cleanup.h"
#include "commands/progress_bar.h"

namespace glimmer::tool {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// What the jobs share: the failure that stops them and the time they spent.
struct JobState {
    const MovingTransition& transition;
    std::mutex mutex;
    std::condition_variable changed;
    std::exception_ptr failure;
    bool stopped = false;
    JobTimes times;

    explicit JobState(const MovingTransition& t) : transition(t) {}

    void fail(std::exception_ptr error) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!failure) failure = error;
            stopped = true;
            changed.notify_all();
        }
        // Jobs waiting for a decoded frame wake up too.
        transition.imageA->cancel();
        transition.imageB->cancel();
    }
    void addTimes(const JobTimes& t) {
        std::lock_guard<std::mutex> lock(mutex);
        times.renderSeconds += t.renderSeconds;
        times.waitSeconds += t.waitSeconds;
        times.consumeSeconds += t.consumeSeconds;
    }
};

// Frame `position` of both sides, rendered into `frame`.
// A job's threads, made with interrupts held so that they leave them to the
// main thread as the jobs do.
std::unique_ptr<ParallelRenderer> frameThreads(int threads) {
    InterruptsHeld held;
    return std::make_unique<ParallelRenderer>(threads);
}

void renderPosition(const MovingTransition& t, int32_t position, Picture& frame, ParallelRenderer& renderer,
                    JobTimes& times) {
    Clock::time_point start = Clock::now();
    const Picture& a = t.imageA->acquire(position);
    const Picture& b = t.imageB->acquire(position);
    times.waitSeconds += secondsSince(start);
    start = Clock::now();
    const FrameRequest request{a.pixels.data(), b.pixels.data(), frame.pixels.data(), frame.rows,
                               frame.width * 4,  position,      t.total,             false};
    runFrameSetup(request, t.settings, renderer);
    t.imageA->release(position);
    t.imageB->release(position);
    times.renderSeconds += secondsSince(start);
}

void renderUnordered(const MovingTransition& transition, int32_t frames, int jobs, int threadsEach,
                     FrameConsumer& consumer, ProgressBar& progress, JobState& state) {
    std::atomic<int32_t> next{0};
    std::atomic<bool> stop{false};
    auto job = [&] {
        Picture frame(transition.width, transition.rows);
        JobTimes times;
        try {
            const auto renderer = frameThreads(threadsEach);
            for (int32_t position = next++; position < frames && !stop; position = next++) {
                renderPosition(transition, position, frame, *renderer, times);
                const Clock::time_point start = Clock::now();
                consumer.take(position, frame);
                times.consumeSeconds += secondsSince(start);
                progress.frameDone();
            }
        } catch (...) {
            stop = true;
            state.fail(std::current_exception());
        }
        state.addTimes(times);
    };
    std::vector<std::thread> threads;
    for (int i = 1; i < jobs; ++i) threads.push_back(workerThread(job));
    job();
    for (std::thread& t : threads) t.join();
}

// Jobs render ahead into a ring of slots; this thread hands the slots to
// the consumer in order. A job claims position p only once p - slots has
// been delivered, so it never overwrites a frame still waiting.
void renderOrdered(const MovingTransition& transition, int32_t frames, int jobs, int threadsEach,
                   FrameConsumer& consumer, ProgressBar& progress, JobState& state) {
    const int32_t slotCount = std::max(2, 2 * jobs);
    std::vector<Picture> slots(static_cast<std::size_t>(slotCount), Picture(transition.width, transition.rows));
    std::vector<char> ready(static_cast<std::size_t>(slotCount), 0);
    int32_t claimed = 0, delivered = 0;

    auto job = [&] {
        JobTimes times;
        try {
            const auto renderer = frameThreads(threadsEach);
            for (;;) {
                int32_t position;
                {
                    std::unique_lock<std::mutex> lock(state.mutex);
                    state.changed.wait(lock, [&] {
                        return state.stopped || claimed >= frames || claimed < delivered + slotCount;
                    });
                    if (state.stopped || claimed >= frames) break;
                    position = claimed++;
                }
                renderPosition(transition, position, slots[static_cast<std::size_t>(position % slotCount)], *renderer,
                               times);
                std::lock_guard<std::mutex> lock(state.mutex);
                ready[static_cast<std::size_t>(position % slotCount)] = 1;
                state.changed.notify_all();
            }
        } catch (...) {
            state.fail(std::current_exception());
        }
        state.addTimes(times);
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < jobs; ++i) threads.push_back(workerThread(job));

    JobTimes times;
    try {
        for (int32_t position = 0; position < frames; ++position) {
            const std::size_t slot = static_cast<std::size_t>(position % slotCount);
            {
                std::unique_lock<std::mutex> lock(state.mutex);
                state.changed.wait(lock, [&] { return state.stopped || ready[slot] != 0; });
                if (state.stopped) break;
            }
            const Clock::time_point start = Clock::now();
            consumer.take(position, slots[slot]);
            times.consumeSeconds += secondsSince(start);
            progress.frameDone();
            std::lock_guard<std::mutex> lock(state.mutex);
            ready[slot] = 0;
            ++delivered;
            state.changed.notify_all();
        }
    } catch (...) {
        state.fail(std::current_exception());
    }
    for (std::thread& t : threads) t.join();
    state.addTimes(times);
}

}  // namespace

void renderTransitionFrame(const Transition& transition, int32_t position, Picture& frame, int threads) {
    const FrameRequest request{transition.imageA->pixels.data(),
                               transition.imageB->pixels.data(),
                               frame.pixels.data(),
                               frame.rows,
                               frame.width * 4,
                               position,
                               transition.total,
                               false};
    runFrameSetup(request, transition.settings, *frameThreads(threads));
}

void printJobTimes(const char* what, const JobTimes& times, int32_t frames, int jobs, const char* writing) {
    auto processorSeconds = [](int who) {
        rusage use;
        getrusage(who, &use);
        return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
    };
    std::fprintf(stderr,
                 "glimmer: %d %s in %.2f s (%.1f frames/s) with %d job%s; rendering %.2f s, waiting for decoded "
                 "frames %.2f s, %s %.2f s (summed over the threads); processor time: glimmer %.2f s, ffmpeg %.2f s\n",
                 frames, what, times.wallSeconds, frames / times.wallSeconds, jobs, jobs == 1 ? "" : "s",
                 times.renderSeconds, times.waitSeconds, writing, times.consumeSeconds, processorSeconds(RUSAGE_SELF),
                 processorSeconds(RUSAGE_CHILDREN));
}

JobTimes renderFrames(const MovingTransition& transition, int32_t frames, int jobs, FrameConsumer& consumer,
                      ProgressBar& progress, int threadsEach) {
    const Clock::time_point start = Clock::now();
    JobState state(transition);
    jobs = std::clamp(jobs, 1, std::max(1, frames));
    if (consumer.needsOrder())
        renderOrdered(transition, frames, jobs, threadsEach, consumer, progress, state);
    else
        renderUnordered(transition, frames, jobs, threadsEach, consumer, progress, state);
    if (state.failure) std::rethrow_exception(state.failure);
    state.times.wallSeconds = secondsSince(start);
    return state.times;
}

JobTimes renderFrames(const Transition& transition, int32_t frames, int jobs, FrameConsumer& consumer,
                      ProgressBar& progress, int threadsEach) {
    StillSide a(*transition.imageA), b(*transition.imageB);
    const MovingTransition moving{&a, &b, transition.settings, transition.total, transition.imageA->width,
                                  transition.imageA->rows};
    return renderFrames(moving, frames, jobs, consumer, progress, threadsEach);
}

}  // namespace glimmer::tool

#include "plan/frame_jobs.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <vector>

#include "commands/progress_bar.h"
#include "inputs/sample_pictures.h"

namespace glimmer::tool {
namespace {

struct Recorder : FrameConsumer {
    bool ordered;
    int32_t failAt = -1;
    std::mutex mutex;
    std::vector<int32_t> order;
    std::vector<PixelWords> frames;

    Recorder(bool ordered_, int32_t count) : ordered(ordered_), frames(static_cast<std::size_t>(count)) {}
    bool needsOrder() const override { return ordered; }
    void take(int32_t position, const Picture& frame) override {
        if (position == failAt) throw std::runtime_error("consumer failed");
        std::lock_guard<std::mutex> lock(mutex);
        order.push_back(position);
        frames[static_cast<std::size_t>(position)] = frame.pixels;
    }
};

struct Pair {
    Picture a = makeSunsetPicture(48, 27);
    Picture b = makeMosaicPicture(48, 27);
};

TEST(FrameJobs, EveryJobCountGivesTheFramesOfOneByOneRendering) {
    Pair pair;
    TransitionSettings settings = defaultSettings();
    settings.gravity = 30;
    const int32_t frames = 13;
    const Transition transition{&pair.a, &pair.b, settings, frames};
    std::vector<PixelWords> expected;
    for (int32_t p = 0; p < frames; ++p) {
        Picture frame(48, 27);
        renderTransitionFrame(transition, p, frame);
        expected.push_back(frame.pixels);
    }
    EXPECT_NE(expected.front(), expected.back());
    for (bool ordered : {false, true})
        for (int jobs : {1, 2, 3, 8, 40}) {
            Recorder recorder(ordered, frames);
            ProgressBar progress(frames, true);
            renderFrames(transition, frames, jobs, recorder, progress);
            EXPECT_EQ(recorder.frames, expected) << "jobs " << jobs << (ordered ? " ordered" : "");
            ASSERT_EQ(recorder.order.size(), static_cast<std::size_t>(frames));
            if (ordered) {
                for (int32_t p = 0; p < frames; ++p) EXPECT_EQ(recorder.order[static_cast<std::size_t>(p)], p);
            }
        }
}

TEST(FrameJobs, AConsumerFailureStopsTheJobsAndComesBack) {
    Pair pair;
    const Transition transition{&pair.a, &pair.b, defaultSettings(), 200};
    for (bool ordered : {false, true}) {
        Recorder recorder(ordered, 200);
        recorder.failAt = 5;
        ProgressBar progress(200, true);
        EXPECT_THROW(renderFrames(transition, 200, 3, recorder, progress), std::runtime_error);
        EXPECT_LT(recorder.order.size(), 200u) << "the jobs went on after the failure";
    }
}

}  // namespace
}  // namespace glimmer::tool

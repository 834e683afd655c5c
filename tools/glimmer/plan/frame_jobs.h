// Rendering the frames of a transition on several jobs at once.
//
// Frames are independent, so each job renders whole frames into a buffer of
// its own through runFrameSetup, the one frame routine every caller shares;
// the output is the same whatever the number of jobs. Position k takes
// frame k of each side. A consumer that needs the frames in order (a video
// pipe) gets them from a small reorder window of two buffers a job, so
// memory stays at a few frames a job however long the transition is.
#pragma once

#include <cstdint>

#include "common/picture.h"
#include "inputs/side_frames.h"
#include "transition_settings.h"

namespace glimmer::tool {

class ProgressBar;

// Two stills.
struct Transition {
    const Picture* imageA;
    const Picture* imageB;
    TransitionSettings settings;
    int32_t total;  // length of the transition in frames
};

// Two sides that may move; every picture they give has the frame's size.
struct MovingTransition {
    SideFrames* imageA;
    SideFrames* imageB;
    TransitionSettings settings;
    int32_t total;
    int32_t width, rows;
};

// Renders one frame into `frame`, which must have the pictures' size, on
// `threads` threads.
void renderTransitionFrame(const Transition& transition, int32_t position, Picture& frame, int threads = 1);

// Threads for each of `jobs` frames at once out of `threads` in all: the
// two never multiply past the larger of them.
inline int threadsPerJob(int threads, int jobs) { return threads / jobs > 1 ? threads / jobs : 1; }

class FrameConsumer {
public:
    virtual ~FrameConsumer() = default;
    // True when take() must see positions 0, 1, 2, ... one at a time.
    virtual bool needsOrder() const = 0;
    // Takes one rendered frame. Without order it is called from the job
    // threads, several at once, and must be safe for that.
    virtual void take(int32_t position, const Picture& frame) = 0;
};

struct JobTimes {
    double wallSeconds = 0;
    double renderSeconds = 0;   // summed over the jobs
    double waitSeconds = 0;     // jobs waiting for decoded frames, summed
    double consumeSeconds = 0;  // writing or encoding, summed over the threads that did it
};

// --timing: "glimmer: 50 frames in 2.00 s (25.0 frames/s) with 2 jobs; ...",
// with the processor time of glimmer and of its ffmpeg children.
void printJobTimes(const char* what, const JobTimes& times, int32_t frames, int jobs, const char* writing);

// Renders positions 0 .. frames - 1 of the transition and hands each to the
// consumer. The first exception of a job, a side or the consumer stops the
// rest and is rethrown here.
// Each job renders its frames on `threadsEach` threads.
JobTimes renderFrames(const MovingTransition& transition, int32_t frames, int jobs, FrameConsumer& consumer,
                      ProgressBar& progress, int threadsEach = 1);
JobTimes renderFrames(const Transition& transition, int32_t frames, int jobs, FrameConsumer& consumer,
                      ProgressBar& progress, int threadsEach = 1);

}  // namespace glimmer::tool
